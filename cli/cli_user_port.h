// The user port of ferrowyn-cli: messages go to standard error, and questions
// and dialogs get answers that change nothing unless an option says otherwise;
// nothing is overwritten or deleted without an explicit option.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "base/user_port.h"

namespace ferrowyn::cli {

struct CliUserPortOptions {
  bool assume_yes = false;             // questions that neither overwrite nor delete get Yes / OK
  bool allow_overwrite = false;        // questions that overwrite get Yes; save dialogs may replace
  bool allow_delete = false;           // questions that delete get Yes
  std::optional<std::string> file{};   // the answer of every file dialog; none: cancelled
  std::optional<LoginAnswer> login{};  // none: "No" (crawl without a login)
  std::optional<std::string> filter{};  // none: "Abort"
};

// Owned by the command that runs; main thread only.
class CliUserPort : public UserPort {
 public:
  explicit CliUserPort(CliUserPortOptions options = {}, std::FILE* messages = stderr,
                       std::FILE* output = stdout);

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
  // There is no clipboard: the text goes to standard output.
  void SetClipboardText(const std::string& text) override;

 private:
  CliUserPortOptions options_;
  std::FILE* messages_;
  std::FILE* output_;
};

}  // namespace ferrowyn::cli
