// The site login dialog (`Tpassdialog`): a user name and a password for a site
// that asks for them, answered OK, No (crawl without) or Abort.
#pragma once

#include <QDialog>

#include "app/user_port.h"

class QLineEdit;

namespace ferrowyn::gui {
class HelpWindow;
}  // namespace ferrowyn::gui

namespace ferrowyn::gui {

// Shown modally by the user port; GUI thread only.
class Tpassdialog : public QDialog {
  Q_OBJECT

 public:
  // The port shows the dialog's error; `help` (may be null) opens its Help topic.
  Tpassdialog(UserPort& port, HelpWindow* help, QWidget* parent = nullptr);

  // Shows the dialog modally and returns the pressed button with the two fields.
  LoginAnswer Ask();

  QLineEdit* username() const { return username_; }
  QLineEdit* password() const { return password_; }

 protected:
  void reject() override;

 private:
  void Accept();

  UserPort& port_;
  HelpWindow* help_;
  QLineEdit* username_ = nullptr;
  QLineEdit* password_ = nullptr;
  LoginAnswer::Choice choice_ = LoginAnswer::kNo;
};

}  // namespace ferrowyn::gui
