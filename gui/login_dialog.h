// The site login dialog (`Tpassdialog`): a user name and a password for a site
// that asks for them, answered OK, No (crawl without) or Abort.
#pragma once

#include "gui/answer_dialog.h"

class QLineEdit;

namespace ferrowyn::gui {

// Shown modally by the user port; GUI thread only.
class Tpassdialog : public AnswerDialog {
  Q_OBJECT

 public:
  // The port shows the dialog's error; `help` (may be null) opens its Help topic.
  Tpassdialog(UserPort& port, HelpWindow* help, QWidget* parent = nullptr);

  // Shows the dialog modally and returns the pressed button with the two fields.
  LoginAnswer Ask();

  QLineEdit* username() const { return username_; }
  QLineEdit* password() const { return password_; }

 private:
  std::optional<std::string> Incomplete() override;

  QLineEdit* username_ = nullptr;
  QLineEdit* password_ = nullptr;
};

}  // namespace ferrowyn::gui
