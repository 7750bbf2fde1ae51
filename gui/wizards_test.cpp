// The wizards and Getting Started driven as a user drives them, over the real main
// window: each page's refusals with their exact messages, and the crawl or query that
// the final button starts. Messages go to a scripted port.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <memory>

#include "gui/build_wizard.h"
#include "gui/getting_started.h"
#include "gui/help_window.h"
#include "gui/main_window.h"
#include "gui/program.h"
#include "gui/query_wizard.h"
#include "gui/window_test_helpers.h"
#include "tests/support/http_test_server.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn::gui {
namespace {

using namespace std::chrono_literals;
using ferrowyn::gui::testing::ButtonNamed;
using ferrowyn::testing::HttpTestServer;
using ferrowyn::testing::ScriptedResponse;
using ferrowyn::testing::ScriptedUserPort;
using Strings = std::vector<std::string>;

constexpr char kRetrieved[] = "Specified site has been retrieved.";

// Three levels: the start page, a page it links to (with a mail address), and a page
// only that one links to.
void ServeSite(HttpTestServer& server) {
  server.Serve("/", ScriptedResponse::Page("<title>Home</title>alpha <a href=\"a.htm\">a</a>"));
  server.Serve("/a.htm", ScriptedResponse::Page("<title>A</title>alpha beta alpha <a "
                                                "href=\"mailto:desk@site.test\">m</a> <a "
                                                "href=\"deep.htm\">deep</a>"));
  server.Serve("/deep.htm", ScriptedResponse::Page("<title>Deep</title>gamma"));
}

class WizardsTest : public ::testing::Test {
 protected:
  WizardsTest() : programdir_(dir_.path().toStdString()), settings_(programdir_ + "/settings.ini") {
    ServeSite(server_);
  }
  ~WizardsTest() override {
    Wait([this] { return Idle(); });
  }

  // A start of the program: the main window shown and its start timer passed.
  void Start(bool showgettingstarted = false) {
    if (!showgettingstarted && program_ == nullptr) settings_.Write("Defaults", "ShowFirst", "On");
    program_.reset();
    program_ =
        std::make_unique<Program>(port_, settings_, programdir_, Strings{}, dir_.path() + "/help");
    program_->controller().SetFreeSpace([] { return std::optional<std::uint64_t>(1ull << 40); });
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    ASSERT_TRUE(Wait([this] { return !program_->controller().Timer1().isActive(); }));
  }

  MainWindow& window() { return program_->window(); }
  Tsearchmain& main() { return program_->controller(); }
  static bool Wait(const std::function<bool()>& done) { return HttpTestServer::WaitFor(done, 30s); }
  bool Idle() {
    return program_ == nullptr || (!main().crawlrunning() && !main().crawl().AnyWorkerRunning() &&
                                   !main().state().queryactive);
  }

  // The shown window of this class, after its menu item was chosen.
  template <typename T>
  T* Open(const char* item) {
    window().findChild<QAction*>(QString::fromLatin1(item))->trigger();
    return Shown<T>();
  }
  template <typename T>
  static T* Shown() {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* window = qobject_cast<T*>(widget); window != nullptr && window->isVisible())
        return window;
    return nullptr;
  }
  template <typename T>
  static T* Control(QWidget* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  static void Type(QLineEdit* field, const QString& text) {
    field->clear();
    QTest::keyClicks(field, text);
  }
  static void Type(QComboBox* box, const QString& text) { Type(box->lineEdit(), text); }
  static void Click(QWidget* window, const char* caption) {
    QTest::mouseClick(ButtonNamed(window, QString::fromLatin1(caption)), Qt::LeftButton);
  }
  // Clicks a check box or radio button on its box, as a user does.
  static void Tick(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  static std::string Page(QWidget* wizard) {
    return Control<QStackedWidget>(wizard, "notebook")->currentWidget()->objectName().toStdString();
  }
  Strings Rows(const char* view) {
    const QAbstractItemModel* model =
        window().findChild<QTreeView*>(QString::fromLatin1(view))->model();
    Strings rows;
    for (int row = 0; row < model->rowCount(); ++row) {
      std::string line;
      for (int column = 0; column < model->columnCount(); ++column)
        line += (column ? "|" : "") + model->index(row, column).data().toString().toStdString();
      rows.push_back(line);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  QTemporaryDir dir_;
  std::string programdir_;
  SettingsStore settings_;
  ScriptedUserPort port_;
  HttpTestServer server_;
  std::unique_ptr<Program> program_;
};

TEST_F(WizardsTest, BasicBuildChecksEachPageThenCrawlsToTheChosenDepth) {
  Start();
  main().live().mailaddr = true;
  QPointer<QWidget> wizard = Open<Tbasicbuildform>("BasicBuild1");
  ASSERT_NE(wizard, nullptr);
  EXPECT_FALSE(window().isEnabled());
  EXPECT_EQ(wizard->windowTitle().toStdString(), "Basic Build Wizard");

  // The help window opened from the wizard can be used while the main window cannot.
  QDir(dir_.path()).mkpath("help");
  QFile topic(dir_.path() + "/help/1023.htm");
  ASSERT_TRUE(topic.open(QIODevice::WriteOnly) && topic.write("<title>Basic Build</title>") > 0);
  topic.close();
  Click(wizard, "Help");
  EXPECT_TRUE(program_->help().isVisible() && program_->help().isEnabled());

  auto* url = Control<QComboBox>(wizard, "url");
  EXPECT_EQ(url->currentText().toStdString(), "http://");
  port_.ExpectError("You must first enter a URL.");
  Type(url, "   ");
  Click(wizard, "Next");
  port_.ExpectError("You must enter a valid URL to search.");
  Type(url, " HTTP:// ");
  Click(wizard, "Next");
  EXPECT_EQ(url->currentText().toStdString(), "HTTP://");
  main().live().allowhttps = true;  // the setup dialog's "Allow HTTPS"
  port_.ExpectError("You must enter a valid URL to search.");
  Type(url, "HTTPS://");
  Click(wizard, "Next");
  Type(url, "HTTPS://secure.test/");
  Click(wizard, "Next");
  EXPECT_EQ(url->currentText().toStdString(), "HTTPS://secure.test/");
  ASSERT_EQ(Page(wizard), "2");
  Click(wizard, "Back");
  main().live().allowhttps = false;
  const std::string start = server_.Url("/");
  Type(url, QString::fromStdString(start.substr(7)));
  Click(wizard, "Next");
  EXPECT_EQ(url->currentText().toStdString(), start);

  ASSERT_EQ(Page(wizard), "2");
  auto* filter = Control<QLineEdit>(wizard, "filter");
  EXPECT_FALSE(filter->isEnabled());
  Tick(Control<QRadioButton>(wizard, "usefilter"));
  EXPECT_TRUE(filter->isEnabled());
  port_.ExpectError("You must complete the filter field.");
  Type(filter, "  ");
  Click(wizard, "Next");
  Tick(Control<QRadioButton>(wizard, "none"));
  EXPECT_FALSE(filter->isEnabled());
  Click(wizard, "Next");

  ASSERT_EQ(Page(wizard), "3");
  auto* userpass = Control<QCheckBox>(wizard, "userpass");
  auto* username = Control<QLineEdit>(wizard, "username");
  auto* levels = Control<QLineEdit>(wizard, "levels");
  auto* mailaddr = Control<QCheckBox>(wizard, "mailaddr");
  EXPECT_EQ(levels->text().toStdString(), "3");
  EXPECT_TRUE(mailaddr->isChecked());
  Tick(userpass);
  ASSERT_TRUE(username->isEnabled());
  Type(username, "reader");
  port_.ExpectError("You must fill in both the username and password fields.");
  Click(wizard, "Ferrowyn!");
  Tick(userpass);
  EXPECT_FALSE(username->isEnabled());
  port_.ExpectError(
      "You must enter a value for the number of levels deep Ferrowyn! should traverse.");
  Type(levels, "");
  Click(wizard, "Ferrowyn!");
  port_.ExpectError("1x is not an integer value. Please re-enter.");
  Type(levels, "1x");
  Click(wizard, "Ferrowyn!");
  EXPECT_EQ(port_.pending(), 0u);

  // Depth 1: the start page and the page it links to, not the page below that. The
  // mail box unchecked leaves mail capture on.
  Type(levels, "1");
  Tick(mailaddr);
  port_.ExpectInformation(kRetrieved);
  Click(wizard, "Ferrowyn!");
  ASSERT_TRUE(Wait([&] { return wizard.isNull() && Idle() && port_.pending() == 0; }));
  EXPECT_TRUE(window().isEnabled());
  EXPECT_EQ(server_.Requests().size(), 2u);
  EXPECT_TRUE(main().live().mailaddr);
  EXPECT_EQ(main().mailview().rowCount(), 1);
  EXPECT_EQ(window().findChild<QComboBox*>("URL")->currentText().toStdString(), start);
}

TEST_F(WizardsTest, BuildAndQueryFillsTheResultsListWhileTheSiteArrives) {
  Start();
  // Cancel leaves the main window as it was.
  QPointer<QWidget> cancelled = Open<Tbasicqueryform>("DynamicBuildandQuery1");
  ASSERT_NE(cancelled, nullptr);
  Click(cancelled, "Cancel");
  ASSERT_TRUE(Wait([&] { return cancelled.isNull(); }));
  EXPECT_TRUE(window().isEnabled());

  QPointer<QWidget> wizard = Open<Tbasicqueryform>("DynamicBuildandQuery1");
  ASSERT_NE(wizard, nullptr);
  EXPECT_EQ(wizard->windowTitle().toStdString(), "Build and Query Wizard");
  Type(Control<QComboBox>(wizard, "url"), QString::fromStdString(server_.Url("/")));
  auto* keywords = Control<QComboBox>(wizard, "querysearch");
  port_.ExpectError("This query contains an invalid character. Please re-enter.");
  Type(keywords, "alpha|beta");
  Click(wizard, "Next");
  Type(keywords, "  alpha ");
  Tick(Control<QRadioButton>(wizard, "all"));
  Click(wizard, "Next");
  EXPECT_EQ(keywords->currentText().toStdString(), "alpha");

  Tick(Control<QRadioButton>(wizard, "usefilter"));
  port_.ExpectError("You must first complete the filter field.");
  Click(wizard, "Next");
  Type(Control<QLineEdit>(wizard, "filter"), "127.0.0.1");
  Click(wizard, "Next");
  ASSERT_EQ(Page(wizard), "3");

  port_.ExpectInformation(kRetrieved);
  Click(wizard, "Ferrowyn!");
  ASSERT_TRUE(Wait([&] { return wizard.isNull() && Idle() && port_.pending() == 0; }));
  EXPECT_EQ(Rows("querylist"),
            (Strings{server_.Url("/a.htm") + "|2|All", server_.Url("/") + "|1|All"}));
  EXPECT_EQ(window().findChild<QComboBox*>("querysearch")->currentText().toStdString(), "alpha");
  EXPECT_TRUE(window().findChild<QRadioButton*>("all")->isChecked());
}

TEST_F(WizardsTest, QueryWizardOpensASavedSiteAndQueriesIt) {
  Start();
  port_.ExpectInformation(kRetrieved);
  main().state().fields.URL.text = server_.Url("/");
  main().SearchBtnClick();
  ASSERT_TRUE(Wait([&] { return Idle() && port_.pending() == 0; }));
  const std::string site = main().live().datadir + "shop";
  port_.ExpectFile(FileDialogRequest::kSave, site);
  port_.ExpectInformation("Site \"shop.fwb\" has been saved.");
  main().SaveSite1Click();

  Start();  // a new run: no site loaded
  QPointer<QWidget> wizard = Open<Tonlyquery>("QueryOnly1");
  ASSERT_NE(wizard, nullptr);
  port_.ExpectError("You must first open a site.");
  Click(wizard, "Next");
  port_.ExpectFile(FileDialogRequest::kOpen, site + ".fwb");
  port_.ExpectInformation("Site \"shop.fwb\" has been loaded.");
  Click(wizard, "Open");
  EXPECT_EQ(Control<QLineEdit>(wizard, "siteselected")->text().toStdString(), "shop.fwb");
  Click(wizard, "Next");

  auto* keywords = Control<QComboBox>(wizard, "querysearch");
  port_.ExpectError("You must first complete the query field.");
  Type(keywords, "   ");
  Click(wizard, "Search!");
  port_.ExpectError("This query contains an invalid character. Please re-enter.");
  Type(keywords, "beta|");
  Click(wizard, "Search!");
  Type(keywords, "alpha beta");
  Tick(Control<QRadioButton>(wizard, "All"));
  port_.ExpectInformation("Query completed.");
  Click(wizard, "Search!");
  ASSERT_TRUE(Wait([&] { return wizard.isNull() && Idle() && port_.pending() == 0; }));
  EXPECT_EQ(Rows("querylist"), (Strings{server_.Url("/a.htm") + "|3|All"}));
  EXPECT_TRUE(window().isEnabled());
}

TEST_F(WizardsTest, GettingStartedShowsAtStartUpUntilItsBoxIsChecked) {
  Start(true);
  QPointer<Twizardone> welcome = Shown<Twizardone>();
  ASSERT_NE(welcome, nullptr);
  EXPECT_FALSE(window().isEnabled());
  auto* showagain = Control<QCheckBox>(welcome, "showagain");
  EXPECT_FALSE(showagain->isChecked());
  Tick(showagain);
  Click(welcome, "Close");
  ASSERT_TRUE(Wait([&] { return welcome.isNull(); }));
  EXPECT_TRUE(window().isEnabled());
  EXPECT_EQ(settings_.Read("Defaults", "ShowFirst"), "On");

  Start(true);
  EXPECT_EQ(Shown<Twizardone>(), nullptr);
  welcome = Open<Twizardone>("GettingStarted1");
  ASSERT_NE(welcome, nullptr);
  EXPECT_TRUE(Control<QCheckBox>(welcome, "showagain")->isChecked());
  Tick(Control<QCheckBox>(welcome, "showagain"));
  Click(welcome, "Go To Map");
  ASSERT_TRUE(Wait([&] { return welcome.isNull(); }));
  EXPECT_TRUE(window().findChild<QTreeView*>("mainview")->isVisible());
  EXPECT_EQ(settings_.Read("Defaults", "ShowFirst"), "Off");
}

TEST_F(WizardsTest, AWizardStillOpenGoesWithTheProgram) {
  Start();
  QPointer<QWidget> wizard = Open<Tonlyquery>("QueryOnly1");
  ASSERT_NE(wizard, nullptr);
  EXPECT_TRUE(window().close());
  program_.reset();
  EXPECT_TRUE(wizard.isNull());
}

}  // namespace
}  // namespace ferrowyn::gui
