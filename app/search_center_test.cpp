// The search center's creation, showing, start timer and closing.
#include "app/search_center.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QEventLoop>
#include <filesystem>
#include <fstream>

#include "tests/support/process_runner.h"
#include "tests/support/search_center_fixture.h"

namespace ferrowyn::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class SearchCenterStartTest : public SearchCenterFixture {
 protected:
  // Runs the event loop until Timer1 has fired (or five seconds have passed).
  void RunTimer1() {
    QEventLoop loop;
    QObject::connect(&main_->Timer1(), &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
  }
};

TEST_F(SearchCenterStartTest, CreationEmptiesTempAndConfiguresStoresAndClients) {
  const fs::path temp = fs::path(programdir_) / "temp";
  // Working directories of a run that is gone and of one that still runs.
  const fs::path gone = temp / ("ferrowyn-" + std::to_string(EndedProcessId()) + "-a1b2c3");
  const fs::path running = temp / ("ferrowyn-" + std::to_string(::getppid()) + "-a1b2c3");
  for (const fs::path& dir : {temp / "keep", gone, running}) {
    fs::create_directories(dir);
    std::ofstream(dir / "inner.tmp") << "in a folder";
  }
  std::ofstream(temp / "stale.tmp") << "left over";

  Tsearchmain& main = Make();

  EXPECT_FALSE(fs::exists(temp / "stale.tmp"));
  EXPECT_TRUE(fs::exists(temp / "keep" / "inner.tmp"));  // only the folder's own files go
  EXPECT_FALSE(fs::exists(gone));
  EXPECT_TRUE(fs::exists(running / "inner.tmp"));
  EXPECT_EQ(main.tempdir(), temp.string());
  // The stores work in a directory of this run's own inside "temp", gone with the window.
  const fs::path working = TQDB::TempDirectory();
  EXPECT_EQ(working.parent_path(), temp);
  EXPECT_TRUE(
      working.filename().string().starts_with("ferrowyn-" + std::to_string(::getpid()) + "-"));
  EXPECT_TRUE(fs::is_directory(working));
  for (TQDB* store : {&main.QDB(), &main.urldb()}) {
    EXPECT_TRUE(store->Compression());
    EXPECT_FALSE(store->ReadOnly());
    EXPECT_TRUE(store->SaveOnClose());
    EXPECT_TRUE(store->ExpandedFileNames());
    EXPECT_EQ(store->FileName(), "");
  }
  EXPECT_EQ(main.QDB().CacheSize(), 0);
  EXPECT_EQ(main.urldb().CacheSize(), 1024);
  for (int slot = 1; slot <= 4; ++slot) EXPECT_EQ(main.httpclient(slot).Tag, slot);
  EXPECT_THROW(main.httpclient(0), std::out_of_range);
  EXPECT_THROW(main.httpclient(5), std::out_of_range);

  EXPECT_FALSE(main.state().siteloaded);
  EXPECT_FALSE(main.state().queryactive);
  EXPECT_FALSE(main.crawlrunning());
  EXPECT_EQ(main.state().fields.URL.text, "http://");
  EXPECT_EQ(main.state().searchbtn.caption, "Ferrowyn!");
  EXPECT_EQ(main.state().clearbtn.caption, "Clear Search");
}

TEST_F(SearchCenterStartTest, CreationMakesAMissingTempDirectory) {
  Make();
  EXPECT_TRUE(fs::is_directory(fs::path(programdir_) / "temp"));
}

TEST_F(SearchCenterStartTest, SlotViewHasEightFixedRowsThatCannotBeSelected) {
  SlotViewModel& view = Make().slotview();
  ASSERT_EQ(view.rowCount(), 8);
  ASSERT_EQ(view.columnCount(), 2);
  const char* names[] = {"  Search 1:", "  Search 2:", "  Search 3:", "  Search 4:",
                         "  Query 1:",  "  Query 2:",  "  Query 3:",  "  Query 4:"};
  for (int row = 0; row < 8; ++row) {
    EXPECT_EQ(view.index(row, 0).data().toString().toStdString(), names[row]);
    EXPECT_EQ(view.index(row, 1).data().toString().toStdString(), "Inactive");
    EXPECT_EQ(view.index(row, 0).data(SlotViewModel::kImageIndexRole).toInt(), row < 4 ? 0 : 1);
    EXPECT_FALSE(view.flags(view.index(row, 1)) & Qt::ItemIsSelectable);
  }
  view.SetSearchAction(2, "Retrieving http://a/");
  view.SetQueryAction(4, "Searching");
  EXPECT_EQ(view.index(1, 1).data().toString().toStdString(), "Retrieving http://a/");
  EXPECT_EQ(view.index(7, 1).data().toString().toStdString(), "Searching");
  EXPECT_EQ(view.SearchAction(2), "Retrieving http://a/");
  EXPECT_EQ(view.QueryAction(1), "Inactive");
  EXPECT_THROW(view.SetQueryAction(5, "x"), std::out_of_range);
  EXPECT_EQ(SlotViewModel::Background(false), (Rgb{0x00, 0x80, 0xC0}));
  EXPECT_EQ(SlotViewModel::Background(true), (Rgb{0x00, 0x00, 0x80}));
}

TEST_F(SearchCenterStartTest, ShowLoadsSettingsResetsTheViewsAndStartsTimer1) {
  store_.WriteList("History", {"http://one.test/", "http://two.test/"});
  store_.WriteList("QueryHistory", {"alpha"});
  store_.Write("Defaults", "SearchBar", "2");
  store_.WriteInteger("Position", "Top", 40);
  Tsearchmain& main = Make();
  main.state().numproc = "12";
  main.state().elapsedview = "00:03:00";
  main.state().caption = "Ferrowyn! - old";
  main.state().FindAgain1.enabled = true;
  main.state().lowerpage = LowerPage::kRetrievalProgress;
  main.mainview().AddTopLevelNode("http://a/", kStartPageImage);
  main.querylist().AppendRow("http://a/", "1", "x");
  std::vector<bool> hints;
  QObject::connect(&main, &Tsearchmain::hintsChanged, [&](bool on) { hints.push_back(on); });

  main.FormShow();

  const SearchCenterState& state = main.state();
  EXPECT_EQ(state.caption, "Ferrowyn! - Untitled");
  EXPECT_EQ(state.sitename, "Untitled");
  EXPECT_FALSE(state.FindAgain1.enabled);
  EXPECT_EQ(state.activepage, MainPage::kSearch);
  EXPECT_EQ(state.lowerpage, LowerPage::kQueryResults);
  EXPECT_EQ(state.numproc, "0");
  EXPECT_EQ(state.elapsedview, "00:00:00");
  EXPECT_EQ(main.mainview().rowCount(), 0);
  EXPECT_EQ(main.querylist().rowCount(), 0);
  EXPECT_EQ(state.fields.URL.items, (Strings{"http://one.test/", "http://two.test/"}));
  EXPECT_EQ(state.fields.URL.text, "http://");
  EXPECT_EQ(state.fields.querysearch.items, (Strings{"alpha"}));
  EXPECT_EQ(live_.searchbar, 2);
  EXPECT_EQ(state.windowposition.top, 40);
  EXPECT_FALSE(state.windowposition.left.has_value());
  EXPECT_EQ(hints, std::vector<bool>{true});
  EXPECT_TRUE(main.Timer1().isActive());
  EXPECT_TRUE(main.Timer1().isSingleShot());
  EXPECT_EQ(main.Timer1().interval(), 100);
  EXPECT_TRUE(ops_.calls.empty());  // nothing happens before the timer fires
}

TEST_F(SearchCenterStartTest, ABadProxyPasswordIsReportedAndStartUpGoesOn) {
  store_.Write("Defaults", "Proxy", "On");
  store_.Write("Defaults", "ProxyPassword", "zz");
  Tsearchmain& main = Make();
  port_.ExpectError("\"zz\" is not a valid hexadecimal value.");
  main.FormShow();
  EXPECT_TRUE(main.Timer1().isActive());
}

TEST_F(SearchCenterStartTest, ASettingsFileThatIsNotARegularFileIsReportedAndStartUpGoesOn) {
  const std::string path = programdir_ + "/settings.ini";
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  Tsearchmain& main = Make();
  port_.ExpectError("The settings file \"" + path + "\" is not a regular file.");
  main.FormShow();
  EXPECT_TRUE(main.Timer1().isActive());
}

TEST_F(SearchCenterStartTest, Timer1ShowsGettingStartedUnlessSwitchedOff) {
  Make().FormShow();
  RunTimer1();
  EXPECT_FALSE(main_->Timer1().isActive());
  EXPECT_EQ(ops_.calls, (Strings{"ShowGettingStarted unchecked"}));

  ops_.calls.clear();
  store_.Write("Defaults", "ShowFirst", "On");
  main_->FormShow();
  RunTimer1();
  EXPECT_TRUE(ops_.calls.empty());
}

TEST_F(SearchCenterStartTest, Timer1OpensTheSiteFileNamedOnTheCommandLine) {
  const std::string site = programdir_ + "/saved.fwb";
  std::ofstream(site) << "site";
  Make({site, "ignored"}).FormShow();
  RunTimer1();
  EXPECT_EQ(ops_.calls, (Strings{"opensitedialog " + site}));
}

TEST_F(SearchCenterStartTest, Timer1IgnoresAnArgumentThatIsNoFile) {
  Make({programdir_ + "/missing.fwb"}).FormShow();
  RunTimer1();
  EXPECT_EQ(ops_.calls, (Strings{"ShowGettingStarted unchecked"}));

  ops_.calls.clear();
  Make({programdir_}).FormShow();  // a directory is not a site file
  RunTimer1();
  EXPECT_EQ(ops_.calls, (Strings{"ShowGettingStarted unchecked"}));
}

TEST_F(SearchCenterStartTest, ClearviewEmptiesEveryViewAndCounter) {
  Tsearchmain& main = Make();
  SearchCenterState& state = main.state();
  state.hits = "3";
  state.pages = "Live";
  state.pagesavl = "2";
  state.numproc = "Live";
  state.bytestran = "10.25";
  state.elapsedview = "01:02:03";
  main.mainview().AddTopLevelNode("http://a/", kStartPageImage);
  main.urllistview().AddRow("http://a/", "A");
  main.mailview().SetLines({"a@b.test"});
  main.querylist().AppendRow("http://a/", "", "");

  main.clearview();

  EXPECT_EQ(main.mainview().rowCount() + main.urllistview().rowCount() +
                main.mailview().rowCount() + main.querylist().rowCount(),
            0);
  EXPECT_EQ(main.querylist().headerData(2, Qt::Horizontal).toString().toStdString(), "Found");
  EXPECT_EQ(main.urllistview().headerData(1, Qt::Horizontal).toString().toStdString(), "Title");
  for (const std::string* counter :
       {&state.hits, &state.pages, &state.pagesavl, &state.numproc, &state.bytestran}) {
    EXPECT_EQ(*counter, "0");
  }
  EXPECT_EQ(state.elapsedview, "00:00:00");
}

// --- Closing.

class SearchCenterCloseTest : public SearchCenterFixture {
 protected:
  const WindowGeometry geometry_{11, 22, 640, 480};
};

TEST_F(SearchCenterCloseTest, DuringACrawlNoKeepsTheCrawlGoing) {
  Make();
  StartCrawl();
  port_.ExpectMessage(MessageKind::kQuestion,
                      "A transfer is active. Are you sure you wish to abort and exit Ferrowyn!?",
                      Answer::kNo);

  EXPECT_EQ(main_->FormClose(geometry_), CloseAction::kKeepOpen);

  const Message& question = port_.prompts().back().message;
  EXPECT_EQ(question.buttons, MessageButtons::kYesNo);
  EXPECT_FALSE(question.close_box);
  EXPECT_EQ(ops_.calls, (Strings{"suspend", "resume"}));
  EXPECT_TRUE(main_->crawlrunning());
  EXPECT_FALSE(main_->state().stopped);
  EXPECT_FALSE(main_->state().closepending);
  EXPECT_EQ(main_->state().cursor, Cursor::kNormal);
  EXPECT_EQ(store_.ReadInteger("Position", "Top"), 11);
  EXPECT_EQ(store_.ReadInteger("Position", "Height"), 480);
}

TEST_F(SearchCenterCloseTest, DuringACrawlYesHaltsAndClosesWhenTheCrawlEnds) {
  Make();
  StartCrawl();
  port_.ExpectMessage(MessageKind::kQuestion,
                      "A transfer is active. Are you sure you wish to abort and exit Ferrowyn!?",
                      Answer::kYes);

  EXPECT_EQ(main_->FormClose(geometry_), CloseAction::kCloseWhenCrawlEnds);

  EXPECT_EQ(ops_.calls, (Strings{"suspend", "resume", "finalterminate"}));
  EXPECT_TRUE(main_->state().stopped);
  EXPECT_TRUE(main_->state().closepending);
  EXPECT_FALSE(main_->state().searchbtn.enabled);

  // The crawl has ended (the clock stops); closing again asks nothing, even for
  // the unsaved site the user chose to abandon.
  LoadSite(2);
  main_->elapsedtimer().stop();
  EXPECT_EQ(main_->FormClose(geometry_), CloseAction::kClose);
  EXPECT_EQ(main_->QDB().FileName(), "");
}

TEST_F(SearchCenterCloseTest, DuringAHaltClosesWithoutAsking) {
  Make();
  StartCrawl();
  main_->state().searchbtn.enabled = false;
  EXPECT_EQ(main_->FormClose(geometry_), CloseAction::kCloseWhenCrawlEnds);
  EXPECT_TRUE(main_->state().closepending);
  EXPECT_TRUE(ops_.calls.empty());
}

TEST_F(SearchCenterCloseTest, AnUnsavedSiteIsOfferedForSaving) {
  const char* kUnsaved = "The current Ferrowyn! site is unsaved. Would you like to save it now?";
  Make();
  LoadSite(3);
  port_.ExpectMessage(MessageKind::kQuestion, kUnsaved, Answer::kCancel);
  main_->setcursor(Cursor::kHourglass);
  EXPECT_EQ(main_->FormClose(geometry_), CloseAction::kKeepOpen);
  EXPECT_EQ(port_.prompts().back().message.buttons, MessageButtons::kYesNoCancel);
  EXPECT_EQ(main_->state().cursor, Cursor::kNormal);
  EXPECT_NE(main_->QDB().FileName(), "");

  port_.ExpectMessage(MessageKind::kQuestion, kUnsaved, Answer::kYes);
  EXPECT_EQ(main_->FormClose(geometry_), CloseAction::kClose);
  EXPECT_EQ(ops_.calls, (Strings{"savesitedialog"}));

  // Detaching wrote the store back to its file.
  EXPECT_EQ(main_->QDB().FileName(), "");
  TQDB reopened;
  reopened.SetFileName(programdir_ + "/data/temp.fwt");
  EXPECT_EQ(reopened.Count(), 3);
}

TEST_F(SearchCenterCloseTest, NoQuestionForANamedOrEmptySite) {
  Make();
  EXPECT_EQ(main_->FormClose(geometry_), CloseAction::kClose);  // nothing in the store

  LoadSite(1);
  main_->state().sitename = "mysite";
  EXPECT_EQ(main_->FormClose(geometry_), CloseAction::kClose);
  EXPECT_TRUE(ops_.calls.empty());

  LoadSite(0);
  main_->state().sitename = "Untitled";
  port_.ExpectMessage(MessageKind::kQuestion,
                      "The current Ferrowyn! site is unsaved. Would you like to save it now?",
                      Answer::kNo);
  EXPECT_EQ(main_->FormClose(geometry_), CloseAction::kClose);  // the record added above
  EXPECT_TRUE(ops_.calls.empty());
}

}  // namespace
}  // namespace ferrowyn::testing
