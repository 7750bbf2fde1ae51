// The mail miner driven as a user drives it: opened from the site map page's menu, its
// list sorted, selected, copied and saved, and the main window given back on close.
#include "gui/mail_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "gui/main_window.h"
#include "gui/print_preview.h"
#include "gui/program.h"
#include "gui/window_test_helpers.h"
#include "tests/support/qdb_test_files.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn::gui {
namespace {

using ferrowyn::testing::ReadFileBytes;
using ferrowyn::testing::ScriptedUserPort;
using testing::ButtonNamed;

// The program's windows with the main window shown, which empties the views.
class MailFormTest : public ::testing::Test {
 protected:
  MailFormTest() {
    program_.window().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&program_.window()));
  }
  void Fill(std::initializer_list<const char*> addresses) {
    program_.controller().mailview().Append({addresses.begin(), addresses.end()});
  }

  QTemporaryDir dir_;
  ScriptedUserPort port_;
  Program program_{port_,
                   SettingsStore(dir_.filePath("settings.ini").toStdString()),
                   dir_.path().toStdString(),
                   {},
                   dir_.path() + "/help"};
};

TEST_F(MailFormTest, SortsSelectsCopiesAndSavesTheListWhileTheMainWindowWaits) {
  Fill({"zed@a.test", "", "Bob@b.test", "alice@c.test", "bob@b.test"});

  program_.window().findChild<QAction*>(QStringLiteral("MailMiner1"))->trigger();
  Tmailform& form = program_.mailform();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_FALSE(program_.window().isEnabled());
  EXPECT_TRUE(form.isEnabled());
  QPlainTextEdit* list = form.mailview();
  EXPECT_EQ(list->toPlainText().toStdString(),
            "zed@a.test\n\nBob@b.test\nalice@c.test\nbob@b.test");

  QTest::mouseClick(ButtonNamed(&form, "Sort"), Qt::LeftButton);
  EXPECT_EQ(list->toPlainText().toStdString(),
            "\nalice@c.test\nBob@b.test\nbob@b.test\nzed@a.test");
  QTest::mouseClick(ButtonNamed(&form, "Select All"), Qt::LeftButton);
  QTest::mouseClick(ButtonNamed(&form, "Clipboard"), Qt::LeftButton);
  EXPECT_EQ(port_.events(), std::vector<std::string>{
                                "clipboard \nalice@c.test\nBob@b.test\nbob@b.test\nzed@a.test"});

  // Saved as sorted, into the data directory.
  const std::string datadir = program_.live().datadir;
  port_.ExpectFile(FileDialogRequest::kSave, datadir + "mail.txt")
      .ExpectInformation("Mail addresses saved successfully.");
  QTest::mouseClick(ButtonNamed(&form, "Save As..."), Qt::LeftButton);
  EXPECT_EQ(port_.prompts().front().file.initial_directory, datadir);
  EXPECT_EQ(ReadFileBytes(datadir + "mail.txt"),
            "\r\nalice@c.test\r\nBob@b.test\r\nbob@b.test\r\nzed@a.test\r\n");

  QTest::mouseClick(ButtonNamed(&form, "Close"), Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(program_.window().isEnabled());

  // A list replaced while the window is closed shows when it opens again.
  program_.controller().mailview().SetLines({});
  program_.controller().MailMiner1Click();
  EXPECT_EQ(list->toPlainText().toStdString(), "");
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_TRUE(program_.window().isEnabled());
}

TEST_F(MailFormTest, PrintsTheListInAPreviewThatHoldsTheMinerAndSurvivesABadFont) {
  Fill({"a@x.test", "b@y.test"});
  program_.controller().MailMiner1Click();
  Tmailform& form = program_.mailform();

  QPointer<Tprintdlg> preview = form.BitBtn1Click();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
  EXPECT_FALSE(form.isEnabled());
  EXPECT_FALSE(program_.window().isEnabled());
  std::vector<std::string> texts;
  for (const PlacedText& text : preview->PagePrinter1().Page(1).texts)
    texts.push_back(text.text.toStdString());
  ASSERT_EQ(texts.size(), 5u);  // the empty line places no text
  EXPECT_EQ(texts[0], "Ferrowyn Mail Address Capture");
  EXPECT_EQ(texts[1], "Site Name: Untitled");
  EXPECT_EQ(texts[2].substr(0, 11), "Date/Time: ");
  EXPECT_EQ(texts[3], "a@x.test");
  EXPECT_EQ(texts[4], "b@y.test");
  preview->close();
  EXPECT_TRUE(form.isEnabled());
  EXPECT_FALSE(program_.window().isEnabled());

  // A body font description the settings cannot read is reported; the program goes on.
  program_.live().bodydetails = "Arial,large,Black";
  port_.ExpectError("There was an error while printing mail addresses.");
  preview = form.BitBtn1Click();
  ASSERT_FALSE(preview.isNull());
  EXPECT_EQ(preview->PagePrinter1().Page(1).texts.size(), 3u);
  preview->close();
  EXPECT_TRUE(form.isEnabled());
}

}  // namespace
}  // namespace ferrowyn::gui
