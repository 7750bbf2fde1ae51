// Saving, opening and deleting site files through the controller, with every question,
// message and please-wait step, and the page list export.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/search_center.h"
#include "store/qdb_errors.h"
#include "store/site_layout.h"
#include "tests/support/qdb_test_files.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn {
namespace {

using testing::ReadFileBytes;
using testing::ScriptedUserPort;
using testing::WriteFileBytes;
using Strings = std::vector<std::string>;

constexpr char kUnsavedQuestion[] =
    "The current Ferrowyn! site is unsaved. Would you like to save it now?";
constexpr char kDeleteWarning[] =
    "Warning! The site which you are trying to delete is currently open.  Are you sure you "
    "wish to continue?";
constexpr char kNoData[] = "This site has no data to save. Please retrieve again.";
const std::string kSaving =
    "show Saving...|Ferrowyn! is now saving the current site. Depending on the size of your "
    "site, this process may take a few minutes.|100";
const std::string kLoading =
    "show Loading...|Ferrowyn! is now processing your stored site. Depending on the size of "
    "your site, this process may take a few minutes.|100";

const std::string kStart = "http://site.test/";
// A page URL with a blank inside and one at its end.
const std::string kBlanks = "http://site.test/a b.htm ";
const std::string kDeep = "http://site.test/c.htm";
const std::string kOther = "http://other.test/x.htm";

// Site operations that are the controller's own, with every call noted.
class WatchingOperations : public SearchOperations {
 public:
  Strings calls;
  bool opensitedialog(Tsearchmain& main, const std::string& path) override {
    calls.push_back("opensitedialog " + path);
    return SearchOperations::opensitedialog(main, path);
  }
  bool savesitedialog(Tsearchmain& main) override {
    calls.push_back("savesitedialog");
    return SearchOperations::savesitedialog(main);
  }
};

// What the views and the store show of a site.
struct SiteViews {
  Strings pages;  // URL, tab, title
  Strings map;    // a tab per level, the URL, "|" and the image
  Strings mail;
  int pagecount = 0;
  bool operator==(const SiteViews&) const = default;
};

void PrintTo(const SiteViews& views, std::ostream* out) {
  for (const auto* list : {&views.pages, &views.map, &views.mail}) {
    for (const std::string& line : *list) *out << line << " / ";
    *out << "; ";
  }
  *out << views.pagecount;
}

class SiteFilesTest : public ::testing::Test {
 protected:
  SiteFilesTest()
      : programdir_(dir_.path().toStdString()),
        data_(programdir_ + "/data/"),
        store_(programdir_ + "/settings.ini") {
    std::filesystem::create_directories(data_);
    live_.datadir = data_;
    Make();
  }

  Tsearchmain& Make(Strings arguments = {}) {
    main_.reset();  // the old one writes its stores back before "temp" is emptied
    main_ = std::make_unique<Tsearchmain>(port_, store_, programdir_, live_, ops_,
                                          std::move(arguments));
    return *main_;
  }

  // A retrieved, unsaved site of three pages on the scratch store, as a crawl leaves it.
  void Crawled() {
    Tsearchmain& main = *main_;
    StartNewStores(main.QDB(), main.urldb(), data_, 64);
    for (const std::string& url : {kStart, kBlanks, kDeep}) {
      main.QDB().AddItem(" page " + url + "\r\n", DisplayKey(url));
      main.QDB().AddItem(" query " + url + "\r\n", QueryKey(url));
      main.QDB().Commit();
    }
    SiteMapModel& map = main.mainview();
    const SiteMapNode top = map.AddTopLevelNode(kStart, kStartPageImage);
    const SiteMapNode blanks = map.AddChildNode(top, kBlanks, kPageImage);
    map.AddChildNode(blanks, kDeep, kPageImage);
    map.AddChildNode(top, kOther, kPageImage);
    main.urllistview().AddRow(kStart, "Fish = Chips");
    main.urllistview().AddRow(kBlanks, "Two\r\nLines");
    main.urllistview().AddRow(kDeep, "Deep");
    main.mailview().SetLines({"ann@site.test", "Bob@Site.test"});
    main.state().siteloaded = true;
    main.state().siteurl = kStart;
  }

  SiteViews Views() const {
    SiteViews views;
    for (const PageListRow& row : main_->urllistview().Rows()) {
      views.pages.push_back(row.Url + "\t" + row.Title);
    }
    const SiteMapModel& map = main_->mainview();
    std::function<void(SiteMapNode, int)> walk = [&](SiteMapNode parent, int depth) {
      for (SiteMapNode node : map.Children(parent)) {
        views.map.push_back(std::string(depth, '\t') + map.Text(node) + "|" +
                            std::to_string(map.ImageIndex(node)));
        walk(node, depth + 1);
      }
    };
    walk(kNoNode, 0);
    views.mail = main_->mailview().Lines();
    views.pagecount = StoredPageCount(main_->QDB());
    return views;
  }

  // Saves the crawled site as `name` in the data directory.
  void Save(const std::string& name) {
    port_.ExpectFile(FileDialogRequest::kSave, data_ + name);
    port_.ExpectInformation("Site \"" + name + "\" has been saved.");
    ASSERT_TRUE(main_->savesitedialog());
  }
  // A saved site file of the crawled site, and the controller fresh again.
  std::string SavedSite(const std::string& name) {
    Crawled();
    Save(name);
    Make();
    port_.events_clear();
    return data_ + name;
  }
  std::string Record(const std::string& key) {
    if (!main_->QDB().FindKey(key)) return "<none>";
    return main_->QDB().GetItem();
  }
  // A site file made with the store directly: three pages and the list records given.
  std::string HandMade(const std::string& name, const std::vector<Strings>& records) {
    const std::string path = data_ + name;
    TQDB qdb;
    qdb.SetFileName(path);
    for (const std::string& url : {kStart, kDeep}) {
      qdb.AddItem(" page\r\n", DisplayKey(url));
      qdb.AddItem(" query\r\n", QueryKey(url));
    }
    for (const Strings& record : records) qdb.AddItem(record[1], record[0]);
    qdb.SetFileName("");
    return path;
  }
  // The last file dialog shown.
  FileDialogRequest LastFileDialog() const {
    for (auto it = port_.prompts().rbegin(); it != port_.prompts().rend(); ++it) {
      if (it->kind == testing::PromptKind::kFile) return it->file;
    }
    ADD_FAILURE() << "no file dialog";
    return {};
  }
  void ExpectState(const std::string& sitename, bool sitesaved, bool siteloaded) {
    EXPECT_EQ(main_->state().sitename, sitename);
    EXPECT_EQ(main_->state().caption, "Ferrowyn! - " + sitename);
    EXPECT_EQ(main_->state().sitesaved, sitesaved);
    EXPECT_EQ(main_->state().siteloaded, siteloaded);
    EXPECT_EQ(main_->state().cursor, Cursor::kNormal);
  }

  QTemporaryDir dir_;
  std::string programdir_;
  std::string data_;
  SettingsStore store_;
  LiveSettings live_;
  // Declared before the controller, which it outlives.
  struct Port : ScriptedUserPort {
    void events_clear() { cleared_ = events().size(); }
    Strings Events() const { return Strings(events().begin() + cleared_, events().end()); }
    size_t cleared_ = 0;
  } port_;
  WatchingOperations ops_;
  std::unique_ptr<Tsearchmain> main_;
};

const SiteViews kCrawledViews{
    {kStart + "\tFish = Chips", kBlanks + "\tTwo\r\nLines", kDeep + "\tDeep"},
    {kStart + "|1", "\t" + kBlanks + "|0", "\t\t" + kDeep + "|0", "\t" + kOther + "|0"},
    {"ann@site.test", "Bob@Site.test"},
    3};

TEST_F(SiteFilesTest, SavingWritesTheListRecordsAndMovesTheStoreOntoTheSiteFile) {
  Crawled();
  ASSERT_EQ(Views(), kCrawledViews);
  main_->state().querysitename = "Untitled";
  port_.ExpectFile(FileDialogRequest::kSave, data_ + "shop");
  port_.ExpectInformation("Site \"shop.fwb\" has been saved.");
  EXPECT_TRUE(main_->savesitedialog());

  const std::string path = data_ + "shop.fwb";
  ExpectState("shop.fwb", true, true);
  EXPECT_EQ(main_->state().querysitename, "shop.fwb");
  EXPECT_EQ(main_->QDB().FileName(), path);
  EXPECT_EQ(main_->QDB().Count(), 9);
  EXPECT_EQ(port_.Events(), (Strings{kSaving, "progress 15", "progress 35", "progress 55",
                                     "progress 75", "progress 85", "progress 100", "close"}));
  const FileDialogRequest dialog = LastFileDialog();
  EXPECT_EQ(dialog.mode, FileDialogRequest::kSave);
  EXPECT_EQ(dialog.title, "Save");
  EXPECT_EQ(dialog.filter, "Ferrowyn! Files (*.fwb)|*.fwb");
  EXPECT_EQ(dialog.initial_directory, data_);
  EXPECT_EQ(dialog.file_name, "");
  EXPECT_EQ(dialog.default_extension, "");
  EXPECT_TRUE(dialog.overwrite_prompt);

  // A title spread over two lines is kept on its one line of the record.
  EXPECT_EQ(Record("WEBLIST"),
            "[URL]\r\nURL=" + kStart + "\r\nTitle=Fish = Chips\r\n[URL]\r\nURL=" + kBlanks +
                "\r\nTitle=Two  Lines\r\n[URL]\r\nURL=" + kDeep + "\r\nTitle=Deep\r\n");
  EXPECT_EQ(Record("EMAIL"), "ann@site.test\r\nBob@Site.test\r\n");
  EXPECT_EQ(Record("WEBMAP"),
            kStart + "\r\n\t" + kBlanks + "\r\n\t\t" + kDeep + "\r\n\t" + kOther + "\r\n");

  // Saving again only reports; nothing is written and no dialog shows.
  port_.ExpectInformation("Site \"shop.fwb\" has been saved to disk.");
  main_->SaveSite1Click();
  EXPECT_EQ(main_->QDB().Count(), 9);
  EXPECT_EQ(ops_.calls, Strings{});
}

TEST_F(SiteFilesTest, OpeningRebuildsEveryViewAndTheStateAndLeavesTheFileAsItWas) {
  const std::string path = SavedSite("shop.fwb");
  const std::string bytes = ReadFileBytes(path);
  main_->queryqueue().AddCrawledPage("old", "http://old.test/", {});
  main_->state().queryprepared = true;

  port_.ExpectInformation("Site \"shop.fwb\" has been loaded.");
  EXPECT_TRUE(main_->opensitedialog(path));

  SiteViews expected = kCrawledViews;
  expected.pages[1] = kBlanks + "\tTwo  Lines";
  EXPECT_EQ(Views(), expected);
  ExpectState("shop.fwb", true, true);
  EXPECT_EQ(main_->state().siteurl, kStart);
  EXPECT_EQ(main_->state().fields.URL.text, kStart);
  EXPECT_FALSE(main_->state().queryprepared);
  const QueryQueue& queue = main_->queryqueue();
  EXPECT_TRUE(queue.preparedcopy.empty() && queue.querypending.empty());
  EXPECT_EQ(port_.Events(),
            (Strings{kLoading, "progress 5", "progress 10", "progress 20", "progress 55",
                     "progress 65", "progress 75", "progress 100", "close"}));
  // The page whose URL holds blanks is found under its key.
  EXPECT_EQ(Record(DisplayKey(kBlanks)), " page " + kBlanks + "\r\n");

  // Nothing changed: closing the store leaves the file as it was.
  main_.reset();
  EXPECT_EQ(ReadFileBytes(path), bytes);

  // Saving an opened site only reports it.
  Make();
  port_.ExpectInformation("Site \"shop.fwb\" has been loaded.");
  main_->opensitedialog(path);
  port_.ExpectInformation("Site \"shop.fwb\" has been saved to disk.");
  main_->SaveSite1Click();
  EXPECT_EQ(ops_.calls, Strings{});
}

TEST_F(SiteFilesTest, ALongPageListAdvancesTheBarOnceForEveryThirtiethOfItsLines) {
  Tsearchmain& main = *main_;
  StartNewStores(main.QDB(), main.urldb(), data_, 64);
  main.QDB().AddItem("x", DisplayKey(kStart));
  // 400 rows are 1,200 lines: a step every 40 lines, 30 steps.
  for (int i = 0; i < 400; ++i) main.urllistview().AddRow(kStart + std::to_string(i), "t");
  Save("long.fwb");
  Make();
  port_.events_clear();
  port_.ExpectInformation("Site \"long.fwb\" has been loaded.");
  main_->opensitedialog(data_ + "long.fwb");
  Strings expected{kLoading, "progress 5", "progress 10", "progress 20"};
  for (int i = 21; i <= 50; ++i) expected.push_back("progress " + std::to_string(i));
  for (const char* step : {"progress 55", "progress 65", "progress 75", "progress 100", "close"}) {
    expected.push_back(step);
  }
  EXPECT_EQ(port_.Events(), expected);
  EXPECT_EQ(main_->urllistview().RowCount(), 400);
  EXPECT_EQ(Views().map, Strings{});
}

TEST_F(SiteFilesTest, TheExtensionIsTakenOutOfTheChosenNameOnceAndPutAtItsEnd) {
  std::filesystem::create_directories(data_ + "old.fwb.d");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain", "plain.fwb"},         {"plain.fwb", "plain.fwb"},
      {"my.fwb.site", "my.site.fwb"}, {"twice.fwb.fwb", "twice.fwb.fwb"},
      {"upper.FWB", "upper.FWB.fwb"}, {"old.fwb.d/inside", "old.fwb.d/inside.fwb"},
  };
  for (const auto& [chosen, saved] : cases) {
    Make();
    Crawled();
    const std::string name = std::filesystem::path(saved).filename().string();
    port_.ExpectFile(FileDialogRequest::kSave, data_ + chosen);
    port_.ExpectInformation("Site \"" + name + "\" has been saved.");
    EXPECT_TRUE(main_->savesitedialog()) << chosen;
    EXPECT_EQ(main_->QDB().FileName(), data_ + saved) << chosen;
    EXPECT_EQ(main_->state().sitename, name) << chosen;
  }
}

TEST_F(SiteFilesTest, AFailedWriteLeavesTheSiteUnsavedSoThatItCanBeSavedAgain) {
  const std::string nowhere = data_ + "no/such/dir/shop.fwb";
  std::string refusal;
  {
    TQDB probe;
    probe.SetFileName(data_ + "probe.fwt");
    probe.AddItem("x", "x");
    try {
      probe.SaveAs(nowhere);
    } catch (const EQDBError& error) {
      refusal = error.what();
    }
  }
  ASSERT_FALSE(refusal.empty());

  Crawled();
  const std::string scratch = main_->QDB().FileName();
  port_.ExpectFile(FileDialogRequest::kSave, nowhere);
  port_.ExpectError(refusal);
  EXPECT_FALSE(main_->savesitedialog());
  ExpectState("Untitled", false, true);
  EXPECT_EQ(main_->state().querysitename, "");
  EXPECT_EQ(main_->QDB().FileName(), scratch);
  EXPECT_EQ(main_->QDB().Count(), 6);
  EXPECT_EQ(port_.Events(), (Strings{kSaving, "progress 15", "progress 35", "progress 55",
                                     "progress 75", "close"}));

  Save("shop.fwb");
  EXPECT_EQ(main_->QDB().Count(), 9);
  Make();
  port_.ExpectInformation("Site \"shop.fwb\" has been loaded.");
  EXPECT_TRUE(main_->opensitedialog(data_ + "shop.fwb"));
}

TEST_F(SiteFilesTest, EachCommandIsRefusedWhileTransfersAreActive) {
  Crawled();
  main_->elapsedtimer().start();
  port_.ExpectError("You cannot save a site while transfers are active.");
  main_->SaveSite1Click();
  port_.ExpectError("You cannot open a site while transfers are active.");
  main_->OpenSite1Click();
  port_.ExpectError("You cannot delete a site while transfers are active.");
  main_->EraseSite1Click();
  EXPECT_EQ(ops_.calls, Strings{});
  EXPECT_EQ(Views(), kCrawledViews);
}

TEST_F(SiteFilesTest, AnEmptyStoreHasNothingToSave) {
  port_.ExpectError(kNoData);
  main_->SaveSite1Click();
  EXPECT_EQ(ops_.calls, Strings{"savesitedialog"});
  EXPECT_EQ(port_.prompts().size(), 1u);
}

TEST_F(SiteFilesTest, CancellingAnyQuestionLeavesEverythingAsItWas) {
  const std::string path = SavedSite("shop.fwb");
  Crawled();
  const std::string scratch = main_->QDB().FileName();

  // The save dialog.
  port_.ExpectFile(FileDialogRequest::kSave, std::nullopt);
  EXPECT_FALSE(main_->savesitedialog());
  // The unsaved-site question when opening.
  port_.ExpectMessage(MessageKind::kQuestion, kUnsavedQuestion, Answer::kCancel);
  EXPECT_FALSE(main_->opensitedialog(path));
  // No, then the open dialog cancelled.
  port_.ExpectMessage(MessageKind::kQuestion, kUnsavedQuestion, Answer::kNo);
  port_.ExpectFile(FileDialogRequest::kOpen, std::nullopt);
  main_->OpenSite1Click();
  // Yes saves first, here cancelled too, and then the open dialog comes.
  port_.ExpectMessage(MessageKind::kQuestion, kUnsavedQuestion, Answer::kYes);
  port_.ExpectFile(FileDialogRequest::kSave, std::nullopt);
  port_.ExpectFile(FileDialogRequest::kOpen, std::nullopt);
  main_->OpenSite1Click();
  const FileDialogRequest open = LastFileDialog();
  EXPECT_EQ(open.title, "Open");
  EXPECT_EQ(open.filter, "Ferrowyn! Files (*.fwb)|*.fwb");
  EXPECT_EQ(open.initial_directory, data_);
  EXPECT_EQ(open.file_name, "");
  EXPECT_EQ(open.default_extension, ".fwb");
  // The delete dialog.
  port_.ExpectFile(FileDialogRequest::kOpen, std::nullopt);
  main_->EraseSite1Click();
  const FileDialogRequest erase = LastFileDialog();
  EXPECT_EQ(erase.title, "Delete");
  EXPECT_EQ(erase.filter, "Ferrowyn! Files (*.fwb)|*.fwb");
  EXPECT_EQ(erase.initial_directory, data_);
  EXPECT_EQ(erase.default_extension, "");

  EXPECT_EQ(Views(), kCrawledViews);
  EXPECT_EQ(main_->QDB().FileName(), scratch);
  EXPECT_EQ(main_->QDB().Count(), 6);
  ExpectState("Untitled", false, true);
  EXPECT_EQ(port_.Events(), Strings{});
  EXPECT_EQ(ops_.calls, (Strings{"opensitedialog ", "opensitedialog ", "savesitedialog"}));
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(SiteFilesTest, YesToTheUnsavedQuestionSavesTheCrawlBeforeTheOtherSiteOpens) {
  const std::string other = SavedSite("other.fwb");
  Crawled();
  port_.ExpectMessage(MessageKind::kQuestion, kUnsavedQuestion, Answer::kYes);
  port_.ExpectFile(FileDialogRequest::kSave, data_ + "mine");
  port_.ExpectInformation("Site \"mine.fwb\" has been saved.");
  port_.ExpectInformation("Site \"other.fwb\" has been loaded.");
  EXPECT_TRUE(main_->opensitedialog(other));
  ExpectState("other.fwb", true, true);
  // The crawl went to its own file with its own lists.
  Make();
  port_.ExpectInformation("Site \"mine.fwb\" has been loaded.");
  main_->opensitedialog(data_ + "mine.fwb");
  EXPECT_EQ(Views().map.size(), 4u);
}

TEST_F(SiteFilesTest, AMissingListRecordIsReportedAndTheRestOfTheSiteOpens) {
  const std::string full = SavedSite("full.fwb");
  port_.ExpectInformation("Site \"full.fwb\" has been loaded.");
  main_->opensitedialog(full);
  const std::string partial =
      HandMade("partial.fwb", {{"WEBLIST", "[URL]\r\nURL=" + kDeep + "\r\nTitle=a=b\r\n"}});
  port_.events_clear();

  port_.ExpectError("There was an error while trying to load site \"partial.fwb\"");
  EXPECT_FALSE(main_->opensitedialog(partial));
  // No view keeps the previous site's rows.
  EXPECT_EQ(Views(), (SiteViews{{kDeep + "\ta=b"}, {}, {}, 2}));
  ExpectState("partial.fwb", true, true);
  EXPECT_EQ(port_.Events(), (Strings{kLoading, "progress 5", "progress 10", "progress 20",
                                     "progress 55", "progress 65", "close"}));
}

TEST_F(SiteFilesTest, PlaceholderRecordsOpenAsEmptyLists) {
  const std::string path = HandMade("empty.fwb", {{"WEBLIST", "PLACEHOLDER\r\n"},
                                                  {"EMAIL", "PLACEHOLDER\r\n"},
                                                  {"WEBMAP", "PLACEHOLDER\r\n"}});
  port_.ExpectInformation("Site \"empty.fwb\" has been loaded.");
  EXPECT_TRUE(main_->opensitedialog(path));
  EXPECT_EQ(Views(), (SiteViews{{}, {}, {}, 2}));
  EXPECT_EQ(main_->state().siteurl, "");
}

TEST_F(SiteFilesTest, AFileThatDoesNotOpenAsASiteLeavesNoSiteOpenAndTheFileUnchanged) {
  const std::string good = SavedSite("good.fwb");
  const std::string malformed =
      HandMade("malformed.fwb", {{"WEBLIST", "PLACEHOLDER\r\n"},
                                 {"EMAIL", "PLACEHOLDER\r\n"},
                                 {"WEBMAP", kStart + "\r\n\t\t" + kDeep + "\r\n"}});
  const std::string garbage = data_ + "garbage.fwb";
  WriteFileBytes(garbage, "this is no store file");

  for (const std::string& path : {malformed, garbage}) {
    SCOPED_TRACE(path);
    port_.ExpectInformation("Site \"good.fwb\" has been loaded.");
    main_->opensitedialog(good);
    const std::string bytes = ReadFileBytes(path);
    port_.events_clear();

    port_.ExpectError("There was an error while trying to load Ferrowyn! site " + path + ".");
    EXPECT_FALSE(main_->opensitedialog(path));
    ExpectState("Untitled", false, false);
    EXPECT_EQ(Views(), SiteViews{});
    EXPECT_EQ(main_->QDB().FileName(), "");
    EXPECT_EQ(port_.Events().back(), "close");
    EXPECT_EQ(ReadFileBytes(path), bytes);
    // Nothing can be saved into the file that failed.
    port_.ExpectError(kNoData);
    main_->SaveSite1Click();
  }
}

TEST_F(SiteFilesTest, ANameTypedInTheOpenDialogThatDoesNotExistOpensAnEmptySite) {
  const std::string ghost = data_ + "ghost.fwb";
  port_.ExpectFile(FileDialogRequest::kOpen, ghost);
  port_.ExpectError("There was an error while trying to load site \"ghost.fwb\"");
  main_->OpenSite1Click();
  ExpectState("ghost.fwb", true, true);
  EXPECT_EQ(main_->QDB().FileName(), ghost);
  EXPECT_EQ(main_->QDB().Count(), 0);
  EXPECT_EQ(ops_.calls, Strings{"opensitedialog "});
}

TEST_F(SiteFilesTest, AReadOnlySiteIsNeverRewrittenAndDoesNotMakeTheNextSiteReadOnly) {
  const std::string locked = SavedSite("locked.fwb");
  const std::string other = SavedSite("other.fwb");
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
  const std::string bytes = ReadFileBytes(locked);
  struct stat before {};
  ASSERT_EQ(::stat(locked.c_str(), &before), 0);

  port_.ExpectInformation("Site \"locked.fwb\" has been loaded.");
  EXPECT_TRUE(main_->opensitedialog(locked));
  EXPECT_TRUE(main_->QDB().ReadOnly());
  port_.ExpectInformation("Site \"other.fwb\" has been loaded.");
  EXPECT_TRUE(main_->opensitedialog(other));
  EXPECT_FALSE(main_->QDB().ReadOnly());

  struct stat after {};
  ASSERT_EQ(::stat(locked.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(ReadFileBytes(locked), bytes);
}

TEST_F(SiteFilesTest, TheCommandLineSiteOpensAtStart) {
  const std::string path = SavedSite("start.fwb");
  Make({path});
  port_.ExpectInformation("Site \"start.fwb\" has been loaded.");
  main_->Timer1Timer();
  EXPECT_EQ(ops_.calls, Strings{"opensitedialog " + path});
  ExpectState("start.fwb", true, true);
  EXPECT_EQ(Views().pagecount, 3);
}

TEST_F(SiteFilesTest, DeletingTheOpenSiteAsksClosesItAndLeavesNoSite) {
  const std::string path = SavedSite("shop.fwb");
  port_.ExpectInformation("Site \"shop.fwb\" has been loaded.");
  main_->opensitedialog(path);
  main_->state().queryprepared = true;

  // No keeps it.
  port_.ExpectFile(FileDialogRequest::kOpen, path);
  port_.ExpectMessage(MessageKind::kQuestion, kDeleteWarning, Answer::kNo);
  main_->EraseSite1Click();
  EXPECT_TRUE(std::filesystem::exists(path));
  ExpectState("shop.fwb", true, true);
  const Message& question = port_.prompts().back().message;
  EXPECT_EQ(question.buttons, MessageButtons::kYesNo);
  EXPECT_FALSE(question.close_box);

  port_.ExpectFile(FileDialogRequest::kOpen, path);
  port_.ExpectMessage(MessageKind::kQuestion, kDeleteWarning, Answer::kYes);
  port_.ExpectInformation("\"shop.fwb\" has been removed from the system.");
  main_->EraseSite1Click();
  EXPECT_FALSE(std::filesystem::exists(path));
  ExpectState("Untitled", false, false);
  EXPECT_FALSE(main_->state().queryprepared);
  EXPECT_EQ(Views(), SiteViews{});
  EXPECT_EQ(main_->QDB().FileName(), "");

  port_.ExpectError(kNoData);
  main_->SaveSite1Click();
}

TEST_F(SiteFilesTest, DeletingAnotherFileLeavesTheOpenSiteAndAFailureNamesThePath) {
  const std::string path = SavedSite("shop.fwb");
  const std::string old = SavedSite("old.fwb");
  port_.ExpectInformation("Site \"shop.fwb\" has been loaded.");
  main_->opensitedialog(path);

  port_.ExpectFile(FileDialogRequest::kOpen, old);
  port_.ExpectInformation("\"old.fwb\" has been removed from the system.");
  main_->EraseSite1Click();
  EXPECT_FALSE(std::filesystem::exists(old));

  // A directory with something in it cannot be removed.
  const std::string stuck = data_ + "stuck.fwb";
  std::filesystem::create_directories(stuck + "/inside");
  port_.ExpectFile(FileDialogRequest::kOpen, stuck);
  port_.ExpectError("There was an error while trying to remove \"" + stuck + "\" from the system.");
  main_->EraseSite1Click();

  ExpectState("shop.fwb", true, true);
  EXPECT_EQ(Views().pagecount, 3);
}

TEST_F(SiteFilesTest, ASiteOfTheSameNameInAnotherDirectoryStillClosesTheOpenOne) {
  const std::string path = SavedSite("shop.fwb");
  port_.ExpectInformation("Site \"shop.fwb\" has been loaded.");
  main_->opensitedialog(path);
  std::filesystem::create_directories(data_ + "elsewhere");
  const std::string twin = data_ + "elsewhere/shop.fwb";
  WriteFileBytes(twin, "x");

  port_.ExpectFile(FileDialogRequest::kOpen, twin);
  port_.ExpectMessage(MessageKind::kQuestion, kDeleteWarning, Answer::kYes);
  port_.ExpectInformation("\"shop.fwb\" has been removed from the system.");
  main_->EraseSite1Click();
  EXPECT_FALSE(std::filesystem::exists(twin));
  EXPECT_TRUE(std::filesystem::exists(path));
  ExpectState("Untitled", false, false);
}

TEST_F(SiteFilesTest, TheExportWritesEveryRowWithItsTitleEscaped) {
  port_.ExpectError("There are no URLs to save in the current site.");
  main_->SaveURLList1Click();

  Crawled();
  main_->urllistview().AddRow("http://evil.test/\"><script>", "<script>alert(1)</script> & co");
  main_->state().sitename = "shop.fwb";
  port_.ExpectFile(FileDialogRequest::kSave, std::nullopt);
  main_->SaveURLList1Click();
  const std::string out = data_ + "list.htm";
  EXPECT_FALSE(std::filesystem::exists(out));

  WriteFileBytes(out, "previous");
  port_.ExpectFile(FileDialogRequest::kSave, out);
  port_.ExpectInformation("URL List saved successfully.");
  main_->SaveURLList1Click();
  const FileDialogRequest dialog = LastFileDialog();
  EXPECT_EQ(dialog.title, "Save");
  EXPECT_TRUE(dialog.overwrite_prompt);
  EXPECT_EQ(dialog.filter, "HTML Files |*.htm;*.html");
  EXPECT_EQ(dialog.default_extension, ".htm");
  EXPECT_EQ(dialog.initial_directory, data_);

  const std::string page = ReadFileBytes(out);
  const std::size_t date = page.find("Date/Time: ");
  const std::size_t date_end = page.find("</B></H3>\r\n", date);
  ASSERT_NE(date_end, std::string::npos);
  EXPECT_EQ(page.substr(0, date),
            "<HTML>\r\n<HEAD>\r\n<TITLE>Ferrowyn! URL Export</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
            "<H3><B>Ferrowyn! URL Export<BR>\r\nSite Name: shop.fwb<BR>\r\n");
  EXPECT_EQ(page.substr(date_end),
            "</B></H3>\r\n<HR><H4>\r\n"
            "<A HREF=\"http://site.test/\">Fish = Chips</A><BR>\r\n"
            "<A HREF=\"http://site.test/a b.htm \">Two\r\nLines</A><BR>\r\n"
            "<A HREF=\"http://site.test/c.htm\">Deep</A><BR>\r\n"
            "<A HREF=\"http://evil.test/&quot;><script>\">&lt;script&gt;alert(1)&lt;/script&gt; "
            "&amp; co</A><BR>\r\n"
            "</H4><HR>\r\n<H5><CENTER>Generated by Ferrowyn!&#153;<BR>\r\n"
            "A search tool by Castrel Software</CENTER></H5>\r\n</BODY></HTML>\r\n");

  // A file that cannot be written.
  port_.ExpectFile(FileDialogRequest::kSave, data_ + "missing/dir/list.htm");
  port_.ExpectError("There was an error while saving URL List.");
  main_->SaveURLList1Click();
}

}  // namespace
}  // namespace ferrowyn
