// The user port on real Qt dialogs: message boxes, file dialogs, the login and
// filter dialogs, the font, colour and printer setup dialogs, the please-wait
// window, the browser hand-over and the clipboard. Widgets never open a message
// box themselves; they go through this port.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

class QPrinter;

#include "base/user_port.h"

namespace ferrowyn::gui {

class HelpWindow;
class PleaseWaitWindow;

// Owned by the program's start-up; GUI thread only; does not throw. Every box
// and dialog is centred on the owner, which may be replaced or null.
class QtUserPort final : public UserPort {
 public:
  explicit QtUserPort(QWidget* owner = nullptr);
  ~QtUserPort() override;
  QtUserPort(const QtUserPort&) = delete;
  QtUserPort& operator=(const QtUserPort&) = delete;

  void SetOwner(QWidget* owner);
  QWidget* owner() const { return owner_; }
  // The window the login and filter dialogs' Help buttons open; may stay null.
  void SetHelpWindow(HelpWindow* help);

  Answer ShowMessage(const Message& message) override;
  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
  LoginAnswer AskLogin() override;
  FilterAnswer AskFilter() override;
  std::optional<FontRecord> ChooseFont(const FontRecord& initial) override;
  std::optional<Rgb> ChooseColor(Rgb initial) override;
  bool PrinterSetup() override;
  void ShowPleaseWait(const std::string& caption, const std::string& text, int maximum) override;
  void SetPleaseWaitProgress(int position) override;
  void ClosePleaseWait() override;
  bool OpenUrl(const std::string& url) override;
  void SetClipboardText(const std::string& text) override;

 private:
  QPointer<QWidget> owner_;
  QPointer<HelpWindow> help_;
  std::unique_ptr<PleaseWaitWindow> please_wait_;
};

// "Ferrowyn! Files (*.fwb)|*.fwb|All Files (*.*)|*.*" -> "Ferrowyn! Files (*.fwb);;All
// Files (*)": the description|patterns pairs become Qt's name filters.
QString QtNameFilters(const std::string& filter);

// The printer the printer setup chooses and the print previews print on.
QPrinter& SharedPrinter();

// 8-bit texts of the engine are shown as Latin-1.
inline QString Latin1(const std::string& text) { return QString::fromLatin1(text); }
inline std::string Latin1(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace ferrowyn::gui
