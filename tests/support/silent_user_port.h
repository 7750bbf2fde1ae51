// A user port for programs without anyone to ask (benchmarks): every box gets its safe
// answer, every dialog is cancelled, and nothing is shown.
#pragma once

#include <optional>
#include <string>

#include "base/user_port.h"

namespace ferrowyn::testing {

class SilentUserPort : public UserPort {
 public:
  Answer ShowMessage(const Message& message) override { return message.safe_answer; }
  std::optional<std::string> ChooseFile(const FileDialogRequest&) override { return {}; }
  LoginAnswer AskLogin() override { return {}; }
  FilterAnswer AskFilter() override { return {}; }
  std::optional<FontRecord> ChooseFont(const FontRecord&) override { return {}; }
  std::optional<Rgb> ChooseColor(Rgb) override { return {}; }
  bool PrinterSetup() override { return false; }
  void ShowPleaseWait(const std::string&, const std::string&, int) override {}
  void SetPleaseWaitProgress(int) override {}
  void ClosePleaseWait() override {}
  bool OpenUrl(const std::string&) override { return false; }
  void SetClipboardText(const std::string&) override {}
};

}  // namespace ferrowyn::testing
