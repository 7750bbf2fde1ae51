// The site login dialog: OK only with both fields filled; the close box counts like OK.
#include "gui/login_dialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/search_operations.h"
#include "gui/qt_user_port.h"

namespace ferrowyn::gui {

Tpassdialog::Tpassdialog(UserPort& port, HelpWindow* help, QWidget* parent)
    : AnswerDialog("Use Username/Password",
                   "Enter a username and password for use with this site:", Closing::kLikeOk,
                   kHelpLoginDialog, port, help, parent) {
  auto* form = new QFormLayout;
  username_ = new QLineEdit(this);
  password_ = new QLineEdit(this);
  password_->setEchoMode(QLineEdit::Password);
  form->addRow("&Username:", username_);
  form->addRow("&Password:", password_);
  body()->addLayout(form);
  AddButtons();
}

std::optional<std::string> Tpassdialog::Incomplete() {
  if (username_->text().isEmpty() || password_->text().isEmpty()) return kLoginIncomplete;
  return std::nullopt;
}

LoginAnswer Tpassdialog::Ask() {
  switch (Run()) {
    case Choice::kOk:
      return {LoginAnswer::kOk, Latin1(username_->text()), Latin1(password_->text())};
    case Choice::kNo:
      return {LoginAnswer::kNo};
    case Choice::kAbort:
      return {LoginAnswer::kAbort};
  }
  return {LoginAnswer::kNo};
}

}  // namespace ferrowyn::gui
