// The viewer window driven as a user drives it: toggling the panes, finding and printing
// in the chosen pane, and its settings kept across closing.
#include "gui/viewer.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QPrinterInfo>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include "gui/find_answer_test_util.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn::gui {
namespace {

using ferrowyn::testing::ScriptedUserPort;
using testing::AnswerFind;

class ViewerTest : public ::testing::Test {
 protected:
  ViewerTest() : store_(dir_.filePath("settings.ini").toStdString()) {}

  ViewerPage Page() {
    return {{" <html><body><p>cat <b>dog</b> cat</p></body></html>"},
            {"cat dog<br>", "cat<p>"},
            "Cats",
            "http://example.com/cats.htm",
            1053};
  }
  // A key as the user presses it in the viewer, once the window is active again (after
  // a dialog it becomes active later).
  static void Key(Tviewer& viewer, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    viewer.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&viewer));
    QTest::keyClick(&viewer, key, modifiers);
  }
  static std::string Selected(QTextBrowser* pane) {
    return pane->textCursor().selectedText().toStdString();
  }
  static int SelectedAt(QTextBrowser* pane) { return pane->textCursor().selectionStart(); }

  QTemporaryDir dir_;
  SettingsStore store_;
  ScriptedUserPort port_;
  std::vector<int> topics_;
};

TEST_F(ViewerTest, TogglesFindsAndPrintsInTheChosenPane) {
  Tviewer viewer(
      store_, port_, [this](int topic) { topics_.push_back(topic); }, nullptr);
  // Nothing to hand over before a page is shown.
  viewer.newbrowser();
  viewer.activebrowser();
  EXPECT_TRUE(port_.events().empty());

  viewer.ShowPage(Page());
  ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
  EXPECT_EQ(viewer.windowTitle().toStdString(), "Cats");
  EXPECT_EQ(viewer.HTMLViewer1()->toPlainText().toStdString(), "cat dog cat");
  EXPECT_EQ(viewer.plaintext()->toPlainText().toStdString(), "cat dog\ncat\n");
  viewer.activebrowser();
  EXPECT_EQ(port_.events(), std::vector<std::string>{"open http://example.com/cats.htm"});

  // Three presses of Ctrl+T: the HTML pane alone, the text pane alone, both with the bar
  // in the middle.
  QSplitter* splitter = viewer.PTSplitter1();
  const int height = splitter->height();
  Key(viewer, Qt::Key_T, Qt::ControlModifier);
  EXPECT_FALSE(viewer.HTMLViewer1()->isHidden());
  EXPECT_TRUE(viewer.plaintext()->isHidden());
  EXPECT_EQ(viewer.ChosenPane(), viewer.HTMLViewer1());
  Key(viewer, Qt::Key_T, Qt::ControlModifier);
  EXPECT_TRUE(viewer.HTMLViewer1()->isHidden());
  EXPECT_FALSE(viewer.plaintext()->isHidden());
  EXPECT_EQ(splitter->handleWidth(), 0);
  // Only the text pane shows: find acts on it.
  AnswerFind("CAT", false);
  Key(viewer, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(Selected(viewer.plaintext()), "cat");
  EXPECT_EQ(Selected(viewer.HTMLViewer1()), "");
  Key(viewer, Qt::Key_T, Qt::ControlModifier);
  EXPECT_FALSE(viewer.HTMLViewer1()->isHidden());
  EXPECT_FALSE(viewer.plaintext()->isHidden());
  EXPECT_EQ(splitter->handleWidth(), 3);
  EXPECT_EQ(viewer.BarPosition(), height / 2);

  // Both shown, neither focused: the HTML pane, from the top, then on from the selection.
  viewer.setFocus();
  ASSERT_TRUE(viewer.FindAgain1()->isEnabled());
  Key(viewer, Qt::Key_F3);
  EXPECT_EQ(Selected(viewer.HTMLViewer1()), "cat");
  EXPECT_EQ(SelectedAt(viewer.HTMLViewer1()), 0);
  Key(viewer, Qt::Key_F3);
  EXPECT_EQ(SelectedAt(viewer.HTMLViewer1()), 8);
  port_.ExpectInformation("No instances of \"CAT\" could be found.");
  Key(viewer, Qt::Key_F3);
  EXPECT_FALSE(viewer.FindAgain1()->isEnabled());
  // Match case, and "&" shown as typed; the dialog's Cancel keeps the text it held.
  AnswerFind("a&b", true);
  port_.ExpectInformation("No instances of \"a&b\" could be found.");
  viewer.findinhtml(true);
  AnswerFind("dog", true, false);
  viewer.findinhtml(true);
  EXPECT_FALSE(viewer.FindAgain1()->isEnabled());

  // The text pane focused: find and print act on it.
  viewer.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
  viewer.plaintext()->setFocus();
  viewer.plaintext()->moveCursor(QTextCursor::Start);
  EXPECT_EQ(viewer.ChosenPane(), viewer.plaintext());
  viewer.findinhtml(false);
  EXPECT_EQ(Selected(viewer.plaintext()), "dog");
  EXPECT_TRUE(viewer.FindAgain1()->isEnabled());

  // Printing asks first; Cancel prints nothing.
  port_.ExpectMessage(MessageKind::kInformation, "Now printing \"Cats\"", Answer::kCancel);
  viewer.printhtml();
  EXPECT_EQ(port_.pending(), 0u);
  if (QPrinterInfo::defaultPrinter().isNull()) {
    const QString pdf = dir_.filePath("cats.pdf");
    port_.ExpectMessage(MessageKind::kInformation, "Now printing \"Cats\"", Answer::kOk);
    port_.ExpectFile(FileDialogRequest::kSave, pdf.toStdString());
    viewer.printhtml();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(5).toStdString(), "%PDF-");
  }

  // Help opens the topic of the page shown.
  viewer.findChild<QAction*>("ToolbarButton974")->trigger();
  EXPECT_EQ(topics_, std::vector<int>{1053});
}

TEST_F(ViewerTest, KeepsItsSettingsAcrossClosing) {
  int position = 0;
  {
    Tviewer viewer(store_, port_, nullptr, nullptr);
    viewer.ShowPage(Page());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    viewer.toggle();  // the HTML pane alone
    // Closing through the frame hides the window and keeps the settings.
    viewer.close();
    EXPECT_EQ(store_.Read(kViewerSection, "HTMLViewer1Visible"), "TRUE");
    EXPECT_EQ(store_.Read(kViewerSection, "PlaintextVisible"), "FALSE");
    position = viewer.BarPosition();
    EXPECT_EQ(store_.ReadInteger(kViewerSection, "BarPosition"), position);
    EXPECT_GT(position, 100);
  }
  store_.WriteInteger(kViewerSection, "BarPosition", 77);
  Tviewer viewer(store_, port_, nullptr, nullptr);
  EXPECT_FALSE(viewer.HTMLViewer1()->isHidden());
  EXPECT_TRUE(viewer.plaintext()->isHidden());
  viewer.ShowPage(Page());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
  EXPECT_FALSE(viewer.plaintext()->isHidden());  // showing a page shows both
  EXPECT_EQ(viewer.BarPosition(), 77);
}

}  // namespace
}  // namespace ferrowyn::gui
