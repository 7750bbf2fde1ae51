// The Qt user port driven as a user drives it: its message boxes, file dialogs,
// please-wait window, font dialog and filter strings.
#include "gui/qt_user_port.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "gui/please_wait.h"
#include "gui/window_test_helpers.h"

namespace ferrowyn::gui {
namespace {

using testing::ButtonNamed;
using testing::WhenModalShows;

QStringList ButtonTexts(QMessageBox* box) {
  QStringList texts;
  for (QAbstractButton* button : box->buttons()) texts << button->text().remove('&');
  texts.sort();
  return texts;
}

TEST(QtUserPortTest, MessageBoxesShowTheTextIconAndButtonsAndOnlyTheButtonsAnswerWithoutCloseBox) {
  QtUserPort port;
  Message question{MessageKind::kQuestion, "Save the current site?", MessageButtons::kYesNo, false,
                   Answer::kNo};
  bool seen = false;
  WhenModalShows([&](QWidget* window) {
    auto* box = qobject_cast<QMessageBox*>(window);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Save the current site?");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(ButtonTexts(box), (QStringList{"No", "Yes"}));
    EXPECT_FALSE(box->windowFlags() & Qt::WindowCloseButtonHint);
    QTest::keyClick(box, Qt::Key_Escape);
    box->close();
    EXPECT_TRUE(box->isVisible());
    seen = true;
    ButtonNamed(box, "Yes")->click();
  });
  EXPECT_EQ(port.ShowMessage(question), Answer::kYes);
  EXPECT_TRUE(seen);

  // With a close box, Escape gives the answer that changes nothing.
  Message confirm{MessageKind::kWarning, "Overwrite?", MessageButtons::kOkCancel, true,
                  Answer::kCancel};
  WhenModalShows([](QWidget* window) {
    EXPECT_EQ(qobject_cast<QMessageBox*>(window)->icon(), QMessageBox::Warning);
    QTest::keyClick(window, Qt::Key_Escape);
  });
  EXPECT_EQ(port.ShowMessage(confirm), Answer::kCancel);
}

TEST(QtUserPortTest, TheSaveDialogHasItsTitleFolderFiltersAndAddsTheDefaultExtension) {
  QTemporaryDir folder;
  QtUserPort port;
  FileDialogRequest request{FileDialogRequest::kSave,
                            "Save",
                            "Ferrowyn! Files (*.fwb)|*.fwb",
                            folder.path().toStdString(),
                            "",
                            ".fwb",
                            true};
  WhenModalShows([&](QWidget* window) {
    auto* dialog = qobject_cast<QFileDialog*>(window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Save");
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Ferrowyn! Files (*.fwb)"});
    EXPECT_EQ(dialog->directory().absolutePath(), folder.path());
    dialog->selectFile("mysite");
    QMetaObject::invokeMethod(dialog, "accept");
  });
  EXPECT_EQ(port.ChooseFile(request), folder.filePath("mysite.fwb").toStdString());
}

TEST(QtUserPortTest, ThePleaseWaitWindowDisablesTheOwnerWhileItShows) {
  QWidget owner;
  QtUserPort port(&owner);
  port.ShowPleaseWait("Saving...", "Ferrowyn! is now saving the current site.", 100);
  port.SetPleaseWaitProgress(35);
  auto* wait = qobject_cast<PleaseWaitWindow*>(QApplication::activeModalWidget());
  ASSERT_NE(wait, nullptr);
  EXPECT_EQ(wait->windowTitle().toStdString(), "Saving...");
  EXPECT_EQ(wait->text()->text().toStdString(), "Ferrowyn! is now saving the current site.");
  EXPECT_EQ(wait->bar()->value(), 35);
  EXPECT_FALSE(owner.isEnabled());
  port.ClosePleaseWait();
  EXPECT_TRUE(owner.isEnabled());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A face that is not installed, a style its substitute lacks and a colour outside
// the sixteen come back as they were unless the user changes them.
TEST(QtUserPortTest, TheFontDialogReturnsWhatTheUserLeftAlone) {
  QtUserPort port;
  const FontRecord initial{
      "No Such Font Family", 12, {0x12, 0x34, 0x56}, kFontBold | kFontUnderline};
  WhenModalShows([](QWidget* dialog) { ButtonNamed(dialog, "OK")->click(); });
  EXPECT_EQ(port.ChooseFont(initial), initial);

  WhenModalShows([](QWidget* dialog) {
    for (QComboBox* colors : dialog->findChildren<QComboBox*>())
      if (colors->findText("Navy") >= 0) colors->setCurrentIndex(colors->findText("Navy"));
    ButtonNamed(dialog, "OK")->click();
  });
  FontRecord navy = initial;
  navy.color = {0x00, 0x00, 0x80};
  EXPECT_EQ(port.ChooseFont(initial), navy);
}

TEST(QtUserPortTest, FileFiltersBecomeQtNameFilters) {
  EXPECT_EQ(QtNameFilters("Ferrowyn! Files (*.fwb)|*.fwb|All Files (*.*)|*.*"),
            "Ferrowyn! Files (*.fwb);;All Files (*)");
  EXPECT_EQ(QtNameFilters("Web Pages|*.htm;*.html"), "Web Pages (*.htm *.html)");
}

}  // namespace
}  // namespace ferrowyn::gui
