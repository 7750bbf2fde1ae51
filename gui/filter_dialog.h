// The filter dialog (`Tfilterdialog`): the text every crawled URL must contain,
// answered OK, No (crawl without) or Abort.
#pragma once

#include "gui/answer_dialog.h"

class QLineEdit;

namespace ferrowyn::gui {

// Shown modally by the user port; GUI thread only.
class Tfilterdialog : public AnswerDialog {
  Q_OBJECT

 public:
  // The port shows the dialog's error; `help` (may be null) opens its Help topic.
  Tfilterdialog(UserPort& port, HelpWindow* help, QWidget* parent = nullptr);

  // Empties the field, shows the dialog modally and returns the pressed button
  // with the trimmed filter.
  FilterAnswer Ask();

  QLineEdit* filter() const { return filter_; }

 private:
  std::optional<std::string> Incomplete() override;

  QLineEdit* filter_ = nullptr;
};

}  // namespace ferrowyn::gui
