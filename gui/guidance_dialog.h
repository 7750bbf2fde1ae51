// The frame of the windows that guide a new user (the task wizards, Getting Started):
// a fixed-size dialog centred on the screen with only a close box, shown without
// blocking, with the main window disabled while it shows, and released when it closes.
#pragma once

#include <QDialog>
#include <QPointer>

namespace ferrowyn::gui {

// GUI thread only. `mainwindow` is the window disabled while this one shows and its
// parent; it may be null. Deletes itself when closed.
class GuidanceDialog : public QDialog {
  Q_OBJECT

 public:
  GuidanceDialog(const QString& caption, QWidget* mainwindow);

 protected:
  // Fixes the size once the contents are built.
  void FixSize();
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QPointer<QWidget> mainwindow_;
};

}  // namespace ferrowyn::gui
