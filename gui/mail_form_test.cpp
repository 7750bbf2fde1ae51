// The mail miner driven as a user drives it: opened from the site map page's menu, its
// list sorted, selected, copied and saved, and the main window given back on close.
#include "gui/mail_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "gui/main_window.h"
#include "gui/program.h"
#include "gui/window_test_helpers.h"
#include "tests/support/qdb_test_files.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn::gui {
namespace {

using ferrowyn::testing::ReadFileBytes;
using ferrowyn::testing::ScriptedUserPort;
using testing::ButtonNamed;

TEST(MailFormTest, SortsSelectsCopiesAndSavesTheListWhileTheMainWindowWaits) {
  QTemporaryDir dir;
  ScriptedUserPort port;
  const std::string programdir = dir.path().toStdString();
  Program program(port, SettingsStore(programdir + "/settings.ini"), programdir, {},
                  dir.path() + "/help");
  MainWindow& window = program.window();
  window.show();  // empties the views
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  for (const char* address : {"zed@a.test", "", "Bob@b.test", "alice@c.test", "bob@b.test"})
    program.controller().mailview().appendRow(new QStandardItem(QString::fromLatin1(address)));

  window.findChild<QAction*>(QStringLiteral("MailMiner1"))->trigger();
  Tmailform& form = program.mailform();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_FALSE(window.isEnabled());
  EXPECT_TRUE(form.isEnabled());
  QPlainTextEdit* list = form.mailview();
  EXPECT_EQ(list->toPlainText().toStdString(),
            "zed@a.test\n\nBob@b.test\nalice@c.test\nbob@b.test");

  QTest::mouseClick(ButtonNamed(&form, "Sort"), Qt::LeftButton);
  EXPECT_EQ(list->toPlainText().toStdString(),
            "\nalice@c.test\nBob@b.test\nbob@b.test\nzed@a.test");
  QTest::mouseClick(ButtonNamed(&form, "Select All"), Qt::LeftButton);
  QTest::mouseClick(ButtonNamed(&form, "Clipboard"), Qt::LeftButton);
  EXPECT_EQ(port.events(), std::vector<std::string>{
                               "clipboard \nalice@c.test\nBob@b.test\nbob@b.test\nzed@a.test"});

  // Saved as sorted, into the data directory.
  const std::string datadir = program.live().datadir;
  port.ExpectFile(FileDialogRequest::kSave, datadir + "mail.txt")
      .ExpectInformation("Mail addresses saved successfully.");
  QTest::mouseClick(ButtonNamed(&form, "Save As..."), Qt::LeftButton);
  EXPECT_EQ(port.prompts().front().file.initial_directory, datadir);
  EXPECT_EQ(ReadFileBytes(datadir + "mail.txt"),
            "\r\nalice@c.test\r\nBob@b.test\r\nbob@b.test\r\nzed@a.test\r\n");

  QTest::mouseClick(ButtonNamed(&form, "Close"), Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(window.isEnabled());

  // A list replaced while the window is closed shows when it opens again.
  program.controller().mailview().removeRows(0, program.controller().mailview().rowCount());
  program.controller().MailMiner1Click();
  EXPECT_EQ(list->toPlainText().toStdString(), "");
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_TRUE(window.isEnabled());
}

}  // namespace
}  // namespace ferrowyn::gui
