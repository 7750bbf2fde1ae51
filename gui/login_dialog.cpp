// The site login dialog: OK only with both fields filled; No and Abort answer at once.
#include "gui/login_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/search_operations.h"
#include "gui/dialog_buttons.h"
#include "gui/help_window.h"
#include "gui/qt_user_port.h"

namespace ferrowyn::gui {

Tpassdialog::Tpassdialog(UserPort& port, HelpWindow* help, QWidget* parent)
    : QDialog(parent), port_(port), help_(help) {
  setWindowTitle("Use Username/Password");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  // Modal to the main window only, so that the help window stays usable.
  setWindowModality(Qt::WindowModal);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Enter a username and password for use with this site:", this));
  auto* form = new QFormLayout;
  username_ = new QLineEdit(this);
  password_ = new QLineEdit(this);
  password_->setEchoMode(QLineEdit::Password);
  form->addRow("&Username:", username_);
  form->addRow("&Password:", password_);
  layout->addLayout(form);

  const auto buttons = AddButtonRow(layout, this, {"OK", "No", "Abort", "Help"});
  QPushButton* ok = buttons[0];
  QPushButton* no = buttons[1];
  QPushButton* abort = buttons[2];
  QPushButton* help_button = buttons[3];
  connect(ok, &QPushButton::clicked, this, &Tpassdialog::Accept);
  connect(no, &QPushButton::clicked, this, [this] {
    choice_ = LoginAnswer::kNo;
    QDialog::done(Rejected);
  });
  connect(abort, &QPushButton::clicked, this, [this] {
    choice_ = LoginAnswer::kAbort;
    QDialog::done(Rejected);
  });
  connect(help_button, &QPushButton::clicked, this, [this] {
    if (help_) help_->ShowTopic(kHelpLoginDialog);
  });
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tpassdialog::Accept() {
  if (username_->text().isEmpty() || password_->text().isEmpty()) {
    port_.Error(kLoginIncomplete);
    return;
  }
  choice_ = LoginAnswer::kOk;
  QDialog::done(Accepted);
}

// The close box and Escape count like OK.
void Tpassdialog::reject() { Accept(); }

LoginAnswer Tpassdialog::Ask() {
  choice_ = LoginAnswer::kNo;
  exec();
  LoginAnswer answer{choice_};
  if (choice_ == LoginAnswer::kOk) {
    answer.username = Latin1(username_->text());
    answer.password = Latin1(password_->text());
  }
  return answer;
}

}  // namespace ferrowyn::gui
