// The user port on real Qt dialogs (first outline: answers like a closed dialog).
#include "gui/qt_user_port.h"

namespace ferrowyn::gui {

class PleaseWaitWindow {};

QtUserPort::QtUserPort(QWidget* owner) : owner_(owner) {}
QtUserPort::~QtUserPort() = default;
void QtUserPort::SetOwner(QWidget* owner) { owner_ = owner; }
Answer QtUserPort::ShowMessage(const Message& message) { return message.safe_answer; }
std::optional<std::string> QtUserPort::ChooseFile(const FileDialogRequest&) { return {}; }
LoginAnswer QtUserPort::AskLogin() { return {}; }
FilterAnswer QtUserPort::AskFilter() { return {}; }
std::optional<FontRecord> QtUserPort::ChooseFont(const FontRecord&) { return {}; }
std::optional<Rgb> QtUserPort::ChooseColor(Rgb) { return {}; }
bool QtUserPort::PrinterSetup() { return false; }
void QtUserPort::ShowPleaseWait(const std::string&, const std::string&, int) {}
void QtUserPort::SetPleaseWaitProgress(int) {}
void QtUserPort::ClosePleaseWait() {}
bool QtUserPort::OpenUrl(const std::string&) { return false; }
void QtUserPort::SetClipboardText(const std::string&) {}
QString QtNameFilters(const std::string&) { return {}; }

}  // namespace ferrowyn::gui
