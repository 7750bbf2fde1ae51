// The filter dialog: OK only with a filter that is not blank; no close box.
#include "gui/filter_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/search_operations.h"
#include "app/text_forms.h"
#include "gui/dialog_buttons.h"
#include "gui/help_window.h"
#include "gui/qt_user_port.h"

namespace ferrowyn::gui {

Tfilterdialog::Tfilterdialog(UserPort& port, HelpWindow* help, QWidget* parent)
    : QDialog(parent), port_(port), help_(help) {
  setWindowTitle("Use Filter");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  // Modal to the main window only, so that the help window stays usable.
  setWindowModality(Qt::WindowModal);
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel("&Enter a filter for use with this site:", this);
  filter_ = new QLineEdit(this);
  prompt->setBuddy(filter_);
  layout->addWidget(prompt);
  layout->addWidget(filter_);

  const auto buttons = AddButtonRow(layout, this, {"OK", "No", "Abort", "Help"});
  QPushButton* ok = buttons[0];
  QPushButton* no = buttons[1];
  QPushButton* abort = buttons[2];
  QPushButton* help_button = buttons[3];
  connect(ok, &QPushButton::clicked, this, &Tfilterdialog::Accept);
  connect(no, &QPushButton::clicked, this, [this] {
    choice_ = FilterAnswer::kSkip;
    QDialog::done(Rejected);
  });
  connect(abort, &QPushButton::clicked, this, [this] {
    choice_ = FilterAnswer::kAbort;
    QDialog::done(Rejected);
  });
  connect(help_button, &QPushButton::clicked, this, [this] {
    if (help_) help_->ShowTopic(kHelpFilterDialog);
  });
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tfilterdialog::Accept() {
  const std::string filter = TrimBlanks(Latin1(filter_->text()));
  if (filter.empty()) {
    port_.Error(kFilterIncomplete);
    return;
  }
  filter_->setText(Latin1(filter));
  choice_ = FilterAnswer::kOk;
  QDialog::done(Accepted);
}

// Without a close box only the buttons answer: Escape does nothing.
void Tfilterdialog::reject() {}

FilterAnswer Tfilterdialog::Ask() {
  filter_->clear();
  choice_ = FilterAnswer::kAbort;
  exec();
  FilterAnswer answer{choice_};
  if (choice_ == FilterAnswer::kOk) answer.filter = Latin1(filter_->text());
  return answer;
}

}  // namespace ferrowyn::gui
