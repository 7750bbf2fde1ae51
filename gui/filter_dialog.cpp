// The filter dialog: OK only with a filter that is not blank; no close box.
#include "gui/filter_dialog.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include "app/search_operations.h"
#include "app/text_forms.h"
#include "gui/qt_user_port.h"

namespace ferrowyn::gui {

Tfilterdialog::Tfilterdialog(UserPort& port, HelpWindow* help, QWidget* parent)
    : AnswerDialog("Use Filter", "Enter a filter for use with this site:", Closing::kNoCloseBox,
                   kHelpFilterDialog, port, help, parent) {
  filter_ = new QLineEdit(this);
  filter_->setAccessibleName("Filter");
  body()->addWidget(filter_);
  AddButtons();
}

std::optional<std::string> Tfilterdialog::Incomplete() {
  const std::string filter = TrimBlanks(Latin1(filter_->text()));
  if (filter.empty()) return kFilterIncomplete;
  filter_->setText(Latin1(filter));
  return std::nullopt;
}

FilterAnswer Tfilterdialog::Ask() {
  filter_->clear();
  switch (Run()) {
    case Choice::kOk:
      return {FilterAnswer::kOk, Latin1(filter_->text())};
    case Choice::kNo:
      return {FilterAnswer::kSkip};
    case Choice::kAbort:
      return {FilterAnswer::kAbort};
  }
  return {FilterAnswer::kAbort};
}

}  // namespace ferrowyn::gui
