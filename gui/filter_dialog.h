// The filter dialog (`Tfilterdialog`): the text every crawled URL must contain,
// answered OK, Skip (crawl without) or Abort.
#pragma once

#include <QDialog>

#include "app/user_port.h"

class QLineEdit;

namespace ferrowyn::gui {
class HelpWindow;
}  // namespace ferrowyn::gui

namespace ferrowyn::gui {

// Shown modally by the user port; GUI thread only.
class Tfilterdialog : public QDialog {
  Q_OBJECT

 public:
  // The port shows the dialog's error; `help` (may be null) opens its Help topic.
  Tfilterdialog(UserPort& port, HelpWindow* help, QWidget* parent = nullptr);

  // Shows the dialog modally and returns the pressed button with the filter text.
  FilterAnswer Ask();

  QLineEdit* filter() const { return filter_; }

 protected:
  void reject() override;

 private:
  void Accept();

  UserPort& port_;
  HelpWindow* help_;
  QLineEdit* filter_ = nullptr;
  FilterAnswer::Choice choice_ = FilterAnswer::kAbort;
};

}  // namespace ferrowyn::gui
