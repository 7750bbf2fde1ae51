// The dialogs driven as a user drives them: the login and filter dialogs, the
// setup dialog's switches and OK, and the help window's topics and links.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>

#include "app/settings_table.h"
#include "gui/filter_dialog.h"
#include "gui/help_window.h"
#include "gui/login_dialog.h"
#include "gui/please_wait.h"
#include "gui/qt_user_port.h"
#include "gui/setup_form.h"
#include "gui/window_test_helpers.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn::gui {
namespace {

using ferrowyn::testing::ScriptedUserPort;
using testing::ButtonNamed;
using testing::WhenModalShows;

TEST(LoginDialogTest, OkNeedsBothFieldsAndTheOtherButtonsAnswerAtOnce) {
  ScriptedUserPort port;
  port.ExpectError("You must complete both of these fields.");
  Tpassdialog dialog(port, nullptr);
  WhenModalShows([&](QWidget*) {
    QTest::keyClicks(dialog.username(), "anne");
    ButtonNamed(&dialog, "OK")->click();  // refused: no password
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClicks(dialog.password(), "secret");
    dialog.close();  // the close box counts like OK
  });
  const LoginAnswer given = dialog.Ask();
  EXPECT_EQ(given.choice, LoginAnswer::kOk);
  EXPECT_EQ(given.username, "anne");
  EXPECT_EQ(given.password, "secret");
  EXPECT_EQ(port.prompts().size(), 1u);

  for (auto [button, choice] :
       {std::pair{"No", LoginAnswer::kNo}, std::pair{"Abort", LoginAnswer::kAbort}}) {
    WhenModalShows([&, button = button](QWidget*) { ButtonNamed(&dialog, button)->click(); });
    const LoginAnswer answer = dialog.Ask();
    EXPECT_EQ(answer.choice, choice) << button;
    EXPECT_EQ(answer.username, "") << button;
  }
}

TEST(FilterDialogTest, OkTrimsAndRefusesABlankFilterAndTheFieldStartsEmpty) {
  ScriptedUserPort port;
  port.ExpectError("You must complete this field before continuing.");
  Tfilterdialog dialog(port, nullptr);
  WhenModalShows([&](QWidget*) {
    QTest::keyClicks(dialog.filter(), "   ");
    QTest::keyClick(dialog.filter(), Qt::Key_Return);  // refused
    QTest::keyClick(&dialog, Qt::Key_Escape);          // no close box: nothing
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClicks(dialog.filter(), "docs ");
    ButtonNamed(&dialog, "OK")->click();
  });
  const FilterAnswer given = dialog.Ask();
  EXPECT_EQ(given.choice, FilterAnswer::kOk);
  EXPECT_EQ(given.filter, "docs");

  for (auto [button, choice] :
       {std::pair{"No", FilterAnswer::kSkip}, std::pair{"Abort", FilterAnswer::kAbort}}) {
    WhenModalShows([&, button = button](QWidget*) {
      EXPECT_EQ(dialog.filter()->text(), "");
      ButtonNamed(&dialog, button)->click();
    });
    EXPECT_EQ(dialog.Ask().choice, choice) << button;
  }
}

class SetupFormTest : public ::testing::Test {
 protected:
  SetupFormTest()
      : store_(dir_.filePath("Ferrowyn.ini").toStdString()),
        logic_(store_, dir_.filePath("program").toStdString(), live_, search_, port_),
        help_(QDir(qEnvironmentVariable("FERROWYN_SOURCE_DIR")).filePath("help"), port_),
        form_(logic_, live_, help_, &main_) {
    main_.show();
    logic_.FormClose();  // the start-up load
  }

  template <typename T>
  T* Control(const QString& text) {
    for (T* widget : form_.findChildren<T*>())
      if (widget->text() == text) return widget;
    ADD_FAILURE() << "no control " << text.toStdString();
    return nullptr;
  }
  QLineEdit* Field(const QString& accessible_name) {
    for (QLineEdit* edit : form_.findChildren<QLineEdit*>())
      if (edit->accessibleName() == accessible_name) return edit;
    ADD_FAILURE() << "no field " << accessible_name.toStdString();
    return nullptr;
  }

  QTemporaryDir dir_;
  const SettingsStore store_;
  LiveSettings live_;
  SearchFields search_;
  ScriptedUserPort port_;
  SetupDialogLogic logic_;
  QWidget main_;
  HelpWindow help_;
  Tsetupform form_;
};

// The dialog blocks the main window, not the help window its Help button opens.
TEST_F(SetupFormTest, HelpOpensItsTopicInAHelpWindowThatStaysUsableWhileTheDialogShows) {
  WhenModalShows([&](QWidget* modal) {
    EXPECT_EQ(modal, &form_);
    Control<QPushButton>("Help")->click();
    EXPECT_EQ(help_.browser()->documentTitle().toStdString(), "The Setup dialog");
    QAbstractButton* contents = ButtonNamed(&help_, "Contents");
    QTest::mouseClick(help_.windowHandle(), Qt::LeftButton, {},
                      contents->mapTo(&help_, contents->rect().center()));
    EXPECT_EQ(help_.browser()->documentTitle().toStdString(), "Ferrowyn! Help Contents");
    form_.reject();
  });
  form_.exec();
}

TEST_F(SetupFormTest, ASwitchEnablesItsFieldAndOkStopsAtTheFailingCheckKeepingEarlierValues) {
  form_.show();
  QLineEdit* levels = Field("Restrict levels deep (Levels)");
  EXPECT_FALSE(levels->isEnabled());
  EXPECT_EQ(levels->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0));

  QTest::mouseClick(Control<QCheckBox>("Restrict levels deep:"), Qt::LeftButton);
  EXPECT_TRUE(levels->isEnabled());
  EXPECT_EQ(levels->palette().color(QPalette::Base), QColor(Qt::white));
  levels->selectAll();
  QTest::keyClicks(levels, "0");
  QRadioButton* server = Control<QRadioButton>("Restrict to Server (www.example.com)");
  QTest::mouseClick(server, Qt::LeftButton, {}, QPoint(8, server->height() / 2));

  const auto check_before = store_.Read(kDefaultsSection, "RestrictLevelDeepCheck");
  port_.ExpectError("0 is not a valid value for the number of levels deep. Please re-enter.");
  Control<QPushButton>("OK")->click();
  EXPECT_TRUE(form_.isVisible());
  EXPECT_EQ(levels->text(), "0");
  EXPECT_EQ(store_.Read(kDefaultsSection, "Search Type"), "Server");
  EXPECT_EQ(store_.Read(kDefaultsSection, "RestrictLevelDeepCheck"), check_before);

  // Cancel reloads what the store holds.
  Control<QPushButton>("Cancel")->click();
  EXPECT_FALSE(form_.isVisible());
  EXPECT_FALSE(levels->isEnabled());
  EXPECT_NE(levels->text(), "0");
}

TEST_F(SetupFormTest, AllowHttpsIsReachedByTabFromTheWebAgentAndStoredByOk) {
  form_.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  form_.pages()->setCurrentIndex(3);  // "Internet"
  QComboBox* agent = nullptr;
  for (QComboBox* box : form_.findChildren<QComboBox*>())
    if (box->accessibleName() == "Web Agent") agent = box;
  ASSERT_NE(agent, nullptr);
  agent->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QWidget* allowhttps = QApplication::focusWidget();
  ASSERT_NE(allowhttps, nullptr);
  EXPECT_EQ(allowhttps->accessibleName().toStdString(), "Allow HTTPS");
  QTest::keyClick(allowhttps, Qt::Key_Space);
  Control<QPushButton>("OK")->click();
  EXPECT_FALSE(form_.isVisible());
  EXPECT_EQ(store_.Read(kDefaultsSection, "Allow HTTPS"), "On");
  EXPECT_TRUE(Control<QCheckBox>("Allow HTTPS")->isChecked());
}

class HelpWindowTest : public ::testing::Test {
 protected:
  void Write(const QString& name, const QByteArray& html) {
    QFile file(dir_.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(html);
  }
  QTemporaryDir dir_;
  ScriptedUserPort port_;
};

TEST_F(HelpWindowTest, TopicsOpenFollowLinksGoBackAndAMissingPageIsReported) {
  Write("1000.htm",
        "<html><title>Contents</title><body><a href=\"1019.htm\">Search</a> "
        "<a href=\"1099.htm\">Gone</a></body></html>");
  Write("1019.htm", "<html><title>Search page</title><body>Search</body></html>");
  HelpWindow help(dir_.path(), port_);
  ASSERT_TRUE(help.ShowTopic(1000));
  EXPECT_EQ(help.browser()->documentTitle().toStdString(), "Contents");

  QTest::keyClick(help.browser(), Qt::Key_Tab);  // the first link
  QTest::keyClick(help.browser(), Qt::Key_Return);
  EXPECT_EQ(help.browser()->documentTitle().toStdString(), "Search page");
  ButtonNamed(&help, "Back")->click();
  EXPECT_EQ(help.browser()->documentTitle().toStdString(), "Contents");

  port_.ExpectError("There was an error while trying to load the help file.");
  QTest::keyClick(help.browser(), Qt::Key_Tab);
  QTest::keyClick(help.browser(), Qt::Key_Tab);  // the missing topic
  QTest::keyClick(help.browser(), Qt::Key_Return);
  EXPECT_EQ(help.browser()->documentTitle().toStdString(), "Contents");

  port_.ExpectError("There was an error while trying to load the help file.");
  EXPECT_FALSE(help.ShowTopic(1234));
}

// Every context number the program opens has a page, with a title, that links
// back to the contents.
TEST(HelpPagesTest, EveryContextHasAPageThatLinksToTheContents) {
  const QDir pages(QDir(qEnvironmentVariable("FERROWYN_SOURCE_DIR")).filePath("help"));
  for (int context :
       {1000, 1004, 1011, 1019, 1020, 1023, 1024, 1025, 1028, 1033, 1034, 1053, 1058, 1063, 1067}) {
    QFile file(pages.filePath(QString::number(context) + ".htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << context;
    const QByteArray html = file.readAll();
    EXPECT_TRUE(html.contains("<title>")) << context;
    if (context != 1000) {
      EXPECT_TRUE(html.contains("href=\"1000.htm\"")) << context;
    }
  }
}

}  // namespace
}  // namespace ferrowyn::gui
