// The frame of the login and filter dialogs.
#include "gui/answer_dialog.h"

#include <QLabel>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/help_window.h"

namespace ferrowyn::gui {

AnswerDialog::AnswerDialog(const QString& caption, const QString& prompt, Closing closing,
                           int help_context, UserPort& port, HelpWindow* help, QWidget* parent)
    : QDialog(parent), port_(port), help_(help), closing_(closing), help_context_(help_context) {
  setWindowTitle(caption);
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (closing == Closing::kLikeOk) flags |= Qt::WindowCloseButtonHint;
  setWindowFlags(flags);
  // Modal to the main window only, so that the help window stays usable.
  setWindowModality(Qt::WindowModal);
  body_ = new QVBoxLayout(this);
  body_->addWidget(new QLabel(prompt, this));
  body_->setSizeConstraint(QLayout::SetFixedSize);
}

void AnswerDialog::AddButtons() {
  const auto buttons = AddButtonRow(body_, this, {"OK", "No", "Abort", "Help"});
  connect(buttons[0], &QPushButton::clicked, this, &AnswerDialog::Accept);
  connect(buttons[1], &QPushButton::clicked, this, [this] {
    choice_ = Choice::kNo;
    QDialog::done(Rejected);
  });
  connect(buttons[2], &QPushButton::clicked, this, [this] {
    choice_ = Choice::kAbort;
    QDialog::done(Rejected);
  });
  connect(buttons[3], &QPushButton::clicked, this, [this] {
    if (help_) help_->ShowTopic(help_context_);
  });
}

void AnswerDialog::Accept() {
  if (const std::optional<std::string> message = Incomplete()) {
    port_.Error(*message);
    return;
  }
  choice_ = Choice::kOk;
  QDialog::done(Accepted);
}

void AnswerDialog::reject() {
  if (closing_ == Closing::kLikeOk) Accept();
}

AnswerDialog::Choice AnswerDialog::Run() {
  choice_ = Choice::kNo;
  exec();
  return choice_;
}

}  // namespace ferrowyn::gui
