// The frame the login and filter dialogs share: a caption, a prompt, the dialog's
// fields and the buttons OK, No, Abort and Help. OK closes only when the dialog
// finds its fields complete; No and Abort close at once.
#pragma once

#include <QDialog>

#include "base/user_port.h"

class QVBoxLayout;

namespace ferrowyn::gui {

class HelpWindow;

// GUI thread only. The port and the help window outlive it.
class AnswerDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Choice { kOk, kNo, kAbort };
  // What the close box and Escape do: count like OK, or nothing (no close box).
  enum class Closing { kLikeOk, kNoCloseBox };

 protected:
  // `help` may be null: the Help button then does nothing.
  AnswerDialog(const QString& caption, const QString& prompt, Closing closing, int help_context,
               UserPort& port, HelpWindow* help, QWidget* parent);

  // Adds the buttons under what the dialog put into body(); call once, last.
  void AddButtons();
  QVBoxLayout* body() const { return body_; }
  // Shows the dialog modally; the button that closed it.
  Choice Run();
  // OK's check: true when the fields are complete, else the error text to show.
  virtual std::optional<std::string> Incomplete() = 0;

  void reject() override;

 private:
  void Accept();

  UserPort& port_;
  HelpWindow* help_;
  Closing closing_;
  int help_context_;
  QVBoxLayout* body_ = nullptr;
  Choice choice_ = Choice::kNo;
};

}  // namespace ferrowyn::gui
