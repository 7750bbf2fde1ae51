// The main window driven as a user drives it: typing into the fields, pressing the
// buttons and keys, reading what the controls show. Messages go to a scripted port.
#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <chrono>
#include <memory>

#include "gui/program.h"
#include "tests/support/http_test_server.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn::gui {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestServer;
using testing::ScriptedResponse;
using testing::ScriptedUserPort;
using Strings = std::vector<std::string>;

constexpr char kRetrieved[] = "Specified site has been retrieved.";
constexpr char kStoppedByUser[] = "Web download has been stopped due to user intervention.";
const std::string kLongName = std::string(160, 'x') + ".htm";

std::string Page(const std::string& title, const std::string& body) {
  return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// Four pages: the start page links to the other three, one of them with a name too
// long for the slot view's Action column.
void ServeSite(HttpTestServer& server) {
  server.Serve("/", ScriptedResponse::Page(Page(
                        "Home", "alpha <a href=\"a.htm\">a</a> <a href=\"b.htm\">b</a> <a href=\"" +
                                    kLongName + "\">long</a>")));
  server.Serve("/a.htm", ScriptedResponse::Page(Page("Page A", "alpha beta alpha")));
  server.Serve("/b.htm", ScriptedResponse::Page(Page("Page B", "gamma")));
  server.Serve("/" + kLongName, ScriptedResponse::Page(Page("Long", "delta")));
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : programdir_(dir_.path().toStdString()) {
    // A user who switched Getting Started off: nothing covers the window at start-up.
    SettingsStore(programdir_ + "/settings.ini").Write("Defaults", "ShowFirst", "On");
    program_ = std::make_unique<Program>(port_, SettingsStore(programdir_ + "/settings.ini"),
                                         programdir_, Strings{}, dir_.path() + "/help");
    program_->controller().SetFreeSpace([] { return std::optional<std::uint64_t>(1ull << 40); });
    window().show();
    window().activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
    // The start timer runs once; let it pass so that it does not run mid-test.
    EXPECT_TRUE(Wait([this] { return !program_->controller().Timer1().isActive(); }));
  }
  ~MainWindowTest() override {
    // Nothing may be left running or unsaved when the window goes.
    Wait([this] { return !Running(); });
  }

  MainWindow& window() { return program_->window(); }
  template <typename T>
  T* Find(const char* name) {
    T* widget = window().findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QComboBox* URL() { return Find<QComboBox>("URL"); }
  QComboBox* Keywords() { return Find<QComboBox>("querysearch"); }
  QPushButton* SearchButton() { return Find<QPushButton>("searchbtn"); }
  std::string Label(const char* name) { return Find<QLabel>(name)->text().toStdString(); }

  static bool Wait(const std::function<bool()>& done) { return HttpTestServer::WaitFor(done, 30s); }
  bool Running() { return program_->controller().crawlrunning(); }
  bool Idle() { return !Running() && !program_->controller().crawl().AnyWorkerRunning(); }

  // Replaces a field's text by typing, as a user does.
  static void Type(QComboBox* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
  }
  // The texts the slot view shows in its Action column, row by row.
  Strings SlotTexts() {
    const QAbstractItemModel* model = Find<QTreeView>("slotview")->model();
    Strings texts;
    for (int row = 0; row < model->rowCount(); ++row) {
      texts.push_back(model->index(row, 0).data().toString().toStdString() + "|" +
                      model->index(row, 1).data().toString().toStdString());
    }
    return texts;
  }
  Strings Rows(const char* view) {
    const QAbstractItemModel* model = Find<QTreeView>(view)->model();
    Strings rows;
    for (int row = 0; row < model->rowCount(); ++row) {
      std::string line;
      for (int column = 0; column < model->columnCount(); ++column) {
        line += (column ? "|" : "") + model->index(row, column).data().toString().toStdString();
      }
      rows.push_back(line);
    }
    return rows;
  }

  // Types the start URL, presses Enter and waits for the end, recording the slot
  // view's rows every time one changes.
  void Crawl(const std::string& url) {
    port_.ExpectInformation(kRetrieved);
    const QAbstractItemModel* slotmodel = Find<QTreeView>("slotview")->model();
    QObject::connect(slotmodel, &QAbstractItemModel::dataChanged, &window(),
                     [this] { slotrows_.push_back(SlotTexts()); });
    Type(URL(), QString::fromStdString(url));
    QTest::keyClick(URL(), Qt::Key_Return);
    ASSERT_TRUE(Wait([this] { return Idle() && port_.pending() == 0; }));
  }

  QTemporaryDir dir_;
  std::string programdir_;
  ScriptedUserPort port_;
  HttpTestServer server_;
  std::unique_ptr<Program> program_;
  std::vector<Strings> slotrows_;
};

TEST_F(MainWindowTest, CrawlsTheTypedUrlShowingSlotRowsWhileItRunsAndTheSiteAfterwards) {
  ServeSite(server_);
  const std::string start = server_.Url("/");
  Crawl(start.substr(7));  // typed without "http://": the window puts it in front

  EXPECT_EQ(URL()->currentText().toStdString(), start);
  // While it ran, the slot rows said what each slot did; the long name was cut to
  // what fits in the page list's font, with "..." behind it.
  bool retrieving = false;
  std::string cut;
  for (const Strings& rows : slotrows_) {
    for (const std::string& row : rows) {
      if (row.rfind("  Search ", 0) != 0) continue;
      const std::string action = row.substr(row.find('|') + 1);
      if (action == "Retrieving " + start) retrieving = true;
      if (action.starts_with("Retrieving ") && action.ends_with("...")) cut = action;
    }
  }
  EXPECT_TRUE(retrieving);
  ASSERT_FALSE(cut.empty());
  const QFontMetrics metrics = Find<QTreeView>("urllistview")->fontMetrics();
  const QString kept = QString::fromStdString(cut.substr(0, cut.size() - 3));
  const QString full = QString::fromStdString("Retrieving " + server_.Url("/" + kLongName));
  EXPECT_TRUE(full.startsWith(kept));
  EXPECT_LE(metrics.horizontalAdvance(kept), 510);
  EXPECT_GT(metrics.horizontalAdvance(full.left(kept.size() + 1)), 510);

  // Afterwards: the rows are idle again, the counters and the site map page show the site.
  EXPECT_EQ(SlotTexts(),
            (Strings{"  Search 1:|Inactive", "  Search 2:|Inactive", "  Search 3:|Inactive",
                     "  Search 4:|Inactive", "  Query 1:|Inactive", "  Query 2:|Inactive",
                     "  Query 3:|Inactive", "  Query 4:|Inactive"}));
  EXPECT_EQ(Label("numproc"), "4");
  EXPECT_EQ(SearchButton()->text().toStdString(), "Ferrowyn!");
  EXPECT_EQ(window().windowTitle().toStdString(), "Ferrowyn! - Untitled");
  QTest::mouseClick(Find<QToolButton>("ToolbarButton974"), Qt::LeftButton);
  EXPECT_TRUE(Find<QTreeView>("urllistview")->isVisible());
  Strings pages = Rows("urllistview");
  Strings expected{start + "|Home", server_.Url("/" + kLongName) + "|Long",
                   server_.Url("/a.htm") + "|Page A", server_.Url("/b.htm") + "|Page B"};
  std::sort(pages.begin(), pages.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(pages, expected);
  EXPECT_EQ(Rows("mainview"), (Strings{start}));

  // The same URL again, with keywords and Enter in the keyword field: a query of the
  // stored site, not a new crawl.
  QTest::mouseClick(Find<QToolButton>("ToolbarButton975"), Qt::LeftButton);
  port_.ExpectInformation("Query completed.");
  Type(Keywords(), "alpha");
  QTest::keyClick(Keywords(), Qt::Key_Return);
  ASSERT_TRUE(Wait([this] { return port_.pending() == 0; }));
  Strings results = Rows("querylist");
  std::sort(results.begin(), results.end());
  EXPECT_EQ(results, (Strings{server_.Url("/a.htm") + "|2|alpha", start + "|1|alpha"}));
  EXPECT_EQ(Label("hits"), "3");
  EXPECT_EQ(server_.Requests().size(), 4u);
  EXPECT_EQ(SearchButton()->text().toStdString(), "Ferrowyn!");

  // Unsaved: closing asks, and Cancel keeps the window open.
  port_.ExpectMessage(MessageKind::kQuestion,
                      "The current Ferrowyn! site is unsaved. Would you like to save it now?",
                      Answer::kCancel);
  EXPECT_FALSE(window().close());
  EXPECT_TRUE(window().isVisible());
}

TEST_F(MainWindowTest, RefusesWhatCannotRunBesideACrawlAndHaltsIt) {
  server_.Serve("/", ScriptedResponse::Page(Page("Home", "endless")).Stall());
  Type(URL(), QString::fromStdString(server_.Url("/")));
  QTest::keyClick(URL(), Qt::Key_Return);
  ASSERT_TRUE(Wait([this] { return Running() && server_.Requests().size() == 1; }));
  EXPECT_EQ(SearchButton()->text().toStdString(), "Halt Search");

  port_.ExpectError("A transfer is already active. Please abort the transfer and try again.");
  QTest::keyClick(URL(), Qt::Key_Return);
  port_.ExpectError(
      "A transfer is already active. Please abort the current transfer and try again.");
  QTest::keyClick(Keywords(), Qt::Key_Enter);
  port_.ExpectError("A search is already active.");
  QTest::keyClick(Keywords(), Qt::Key_S, Qt::ControlModifier);
  port_.ExpectError("You cannot access Setup while a transfer or a query is active.");
  Find<QAction>("Setup1")->trigger();

  // Closing, answered No: the crawl goes on.
  port_.ExpectMessage(MessageKind::kQuestion,
                      "A transfer is active. Are you sure you wish to abort and exit Ferrowyn!?",
                      Answer::kNo);
  EXPECT_FALSE(window().close());
  EXPECT_TRUE(window().isVisible());
  EXPECT_TRUE(Running());
  EXPECT_EQ(port_.pending(), 0u);

  port_.ExpectInformation(kStoppedByUser);
  QTest::mouseClick(SearchButton(), Qt::LeftButton);
  ASSERT_TRUE(Wait([this] { return Idle() && port_.pending() == 0; }));
  EXPECT_EQ(SearchButton()->text().toStdString(), "Ferrowyn!");
  EXPECT_TRUE(SearchButton()->isEnabled());
  // The hourglass of the halt is gone again.
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, ClosingDuringACrawlAnsweredYesHaltsItAndThenCloses) {
  server_.Serve("/", ScriptedResponse::Page(Page("Home", "endless")).Stall());
  Type(URL(), QString::fromStdString(server_.Url("/")));
  QTest::mouseClick(SearchButton(), Qt::LeftButton);
  ASSERT_TRUE(Wait([this] { return Running() && server_.Requests().size() == 1; }));

  port_.ExpectMessage(MessageKind::kQuestion,
                      "A transfer is active. Are you sure you wish to abort and exit Ferrowyn!?",
                      Answer::kYes);
  window().close();
  // The window goes once the crawl has ended, without asking about the unsaved site.
  ASSERT_TRUE(Wait([this] { return !window().isVisible(); }));
  EXPECT_TRUE(Idle());
}

TEST_F(MainWindowTest, RefusesAnEmptyOrBareUrlAndAHaltWithNothingRunning) {
  port_.ExpectError("You must first enter a URL to search.");
  Type(URL(), "");
  QTest::keyClick(URL(), Qt::Key_Return);
  port_.ExpectError("You must enter a valid URL to search.");
  Type(URL(), "HTTP://");
  QTest::mouseClick(SearchButton(), Qt::LeftButton);
  port_.ExpectInformation("No transfers are currently active.");
  QTest::keyClick(URL(), Qt::Key_H, Qt::ControlModifier);
  // The help page is missing: one message, from the help window.
  port_.ExpectError("There was an error while trying to load the help file.");
  QTest::mouseClick(Find<QToolButton>("ToolbarButton972"), Qt::LeftButton);
  EXPECT_EQ(port_.pending(), 0u);
  EXPECT_EQ(port_.prompts().size(), 4u);
  EXPECT_FALSE(Running());
}

TEST_F(MainWindowTest, TheSiteMapPageHasItsOwnMenuAndShortcuts) {
  QTest::mouseClick(Find<QToolButton>("ToolbarButton974"), Qt::LeftButton);
  ASSERT_TRUE(Find<QTreeView>("mainview")->isVisible());
  // "&Halt Search" belongs to the search page's menu: Ctrl+H does nothing here.
  EXPECT_TRUE(port_.prompts().empty());

  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20),
                          window().mapToGlobal(QPoint(20, 20)));
  QApplication::sendEvent(Find<QTreeView>("mainview")->viewport(), &click);
  ASSERT_NE(QApplication::activePopupWidget(), nullptr);
  // The views have their own pop-up menus.
  EXPECT_EQ(QApplication::activePopupWidget()->objectName().toStdString(), "PopupMenuMainView");
  QApplication::activePopupWidget()->close();

  QTest::mouseClick(Find<QToolButton>("ToolbarButton975"), Qt::LeftButton);
  port_.ExpectInformation("No transfers are currently active.");
  QTest::keyClick(Keywords(), Qt::Key_H, Qt::ControlModifier);
  QApplication::sendEvent(Find<QTreeView>("querylist")->viewport(), &click);
  ASSERT_NE(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(QApplication::activePopupWidget()->objectName().toStdString(), "querypopup");
  QApplication::activePopupWidget()->close();
}

TEST_F(MainWindowTest, TheWindowOpensWhereItWasClosedWithHintsAsTheyWereLeft) {
  EXPECT_EQ(Keywords()->toolTip().toStdString(), "Phrase searches should be in quotation marks.");
  Find<QAction>("EnableHints1")->trigger();
  EXPECT_TRUE(Keywords()->toolTip().isEmpty());
  window().setGeometry(40, 30, 700, 500);
  ASSERT_TRUE(window().close());

  program_.reset();
  program_ = std::make_unique<Program>(port_, SettingsStore(programdir_ + "/settings.ini"),
                                       programdir_, Strings{}, dir_.path() + "/help");
  window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
  EXPECT_EQ(window().geometry(), QRect(40, 30, 700, 500));
  EXPECT_TRUE(Keywords()->toolTip().isEmpty());
  EXPECT_FALSE(Find<QAction>("EnableHints1")->isChecked());
}

}  // namespace
}  // namespace ferrowyn::gui
