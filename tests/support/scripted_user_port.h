// A user port for tests: every prompt must have been scripted beforehand, in
// order; it is recorded (kind, exact text, buttons) and answered with the
// scripted reply. A prompt nobody scripted, or one that differs from the script,
// fails the running test; so does a scripted reply left unused at destruction.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/user_port.h"

namespace ferrowyn::testing {

enum class PromptKind { kMessage, kFile, kLogin, kFilter, kFont, kColor, kPrinterSetup };

// One prompt as it was shown.
struct Prompt {
  PromptKind kind = PromptKind::kMessage;
  Message message{};          // kMessage
  FileDialogRequest file{};   // kFile
  FontRecord initial_font{};  // kFont
  Rgb initial_color{};        // kColor
};

class ScriptedUserPort : public UserPort {
 public:
  ScriptedUserPort() = default;
  ScriptedUserPort(const ScriptedUserPort&) = delete;
  ScriptedUserPort& operator=(const ScriptedUserPort&) = delete;
  ~ScriptedUserPort() override;

  // The next prompt must be a message of this kind and exact text; `answer` must
  // be one of its buttons.
  ScriptedUserPort& ExpectMessage(MessageKind kind, std::string text, Answer answer = Answer::kOk);
  ScriptedUserPort& ExpectError(std::string text) {
    return ExpectMessage(MessageKind::kError, std::move(text));
  }
  ScriptedUserPort& ExpectInformation(std::string text) {
    return ExpectMessage(MessageKind::kInformation, std::move(text));
  }
  // The next prompt must be a file dialog of this mode; nullopt cancels it.
  ScriptedUserPort& ExpectFile(FileDialogRequest::Mode mode, std::optional<std::string> answer);
  ScriptedUserPort& ExpectLogin(LoginAnswer answer);
  ScriptedUserPort& ExpectFilter(FilterAnswer answer);
  ScriptedUserPort& ExpectFont(std::optional<FontRecord> answer);
  ScriptedUserPort& ExpectColor(std::optional<Rgb> answer);
  ScriptedUserPort& ExpectPrinterSetup(bool answer);

  // Every prompt shown so far, in order.
  const std::vector<Prompt>& prompts() const { return prompts_; }
  // Scripted replies not used yet.
  size_t pending() const { return script_.size(); }
  // Please-wait window events ("show CAPTION|TEXT|MAX", "progress N", "close"),
  // browser and clipboard hand-overs ("open URL", "clipboard TEXT").
  const std::vector<std::string>& events() const { return events_; }
  // What OpenUrl answers (true unless set).
  void set_open_url_result(bool result) { open_url_result_ = result; }

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
  struct Reply {
    PromptKind kind{};
    MessageKind message_kind = MessageKind::kError;
    std::string text{};
    Answer answer = Answer::kOk;
    FileDialogRequest::Mode file_mode = FileDialogRequest::kOpen;
    std::optional<std::string> file{};
    LoginAnswer login{};
    FilterAnswer filter{};
    std::optional<FontRecord> font{};
    std::optional<Rgb> color{};
    bool printer = false;
  };
  // The next reply if it is of `kind`; records a test failure and returns nullopt
  // otherwise.
  std::optional<Reply> Next(PromptKind kind, const std::string& shown);

  std::deque<Reply> script_;
  std::vector<Prompt> prompts_;
  std::vector<std::string> events_;
  bool open_url_result_ = true;
};

std::string DescribePrompt(const Prompt& prompt);

}  // namespace ferrowyn::testing
