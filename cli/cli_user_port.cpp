// Safe answers and standard-error messages for ferrowyn-cli.
#include "cli/cli_user_port.h"

#include <filesystem>

namespace ferrowyn::cli {

namespace {
const char* AnswerName(Answer answer) {
  switch (answer) {
    case Answer::kOk:
      return "OK";
    case Answer::kCancel:
      return "Cancel";
    case Answer::kYes:
      return "Yes";
    case Answer::kNo:
      return "No";
    case Answer::kAbort:
      return "Abort";
    case Answer::kIgnore:
      return "Ignore";
  }
  return "?";
}

std::optional<Answer> Affirmative(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kYesNo:
    case MessageButtons::kYesNoCancel:
      return Answer::kYes;
    case MessageButtons::kOkCancel:
      return Answer::kOk;
    case MessageButtons::kOk:
    case MessageButtons::kAbortIgnore:
      return std::nullopt;
  }
  return std::nullopt;
}
}  // namespace

CliUserPort::CliUserPort(CliUserPortOptions options, std::FILE* messages, std::FILE* output)
    : options_(std::move(options)), messages_(messages), output_(output) {}

Answer CliUserPort::ShowMessage(const Message& message) {
  if (message.buttons == MessageButtons::kOk) {
    std::fprintf(messages_, "%s\n", message.text.c_str());
    return Answer::kOk;
  }
  Answer answer = message.safe_answer;
  const std::optional<Answer> yes = Affirmative(message.buttons);
  const bool allowed = message.consequence == Consequence::kOverwrites ? options_.allow_overwrite
                       : message.consequence == Consequence::kDeletes  ? options_.allow_delete
                                                                       : options_.assume_yes;
  if (yes && allowed) answer = *yes;
  std::fprintf(messages_, "%s [%s]\n", message.text.c_str(), AnswerName(answer));
  return answer;
}

std::optional<std::string> CliUserPort::ChooseFile(const FileDialogRequest& request) {
  if (!options_.file) return std::nullopt;
  std::filesystem::path path(*options_.file);
  if (request.mode == FileDialogRequest::kSave) {
    if (!request.default_extension.empty() && !path.has_extension()) {
      const std::string& extension = request.default_extension;
      path += extension.front() == '.' ? extension : "." + extension;
    }
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored) && !options_.allow_overwrite) {
      std::fprintf(messages_, "\"%s\" exists and is not replaced without the overwrite option.\n",
                   path.string().c_str());
      return std::nullopt;
    }
  }
  return path.string();
}

LoginAnswer CliUserPort::AskLogin() {
  return options_.login.value_or(LoginAnswer{LoginAnswer::kNo, "", ""});
}

FilterAnswer CliUserPort::AskFilter() {
  if (!options_.filter) return FilterAnswer{FilterAnswer::kAbort, ""};
  return FilterAnswer{FilterAnswer::kOk, *options_.filter};
}

std::optional<FontRecord> CliUserPort::ChooseFont(const FontRecord&) { return std::nullopt; }

std::optional<Rgb> CliUserPort::ChooseColor(Rgb) { return std::nullopt; }

bool CliUserPort::PrinterSetup() { return false; }

void CliUserPort::ShowPleaseWait(const std::string&, const std::string&, int) {}

void CliUserPort::SetPleaseWaitProgress(int) {}

void CliUserPort::ClosePleaseWait() {}

bool CliUserPort::OpenUrl(const std::string& url) {
  std::fprintf(messages_, "%s\n", url.c_str());
  return false;
}

void CliUserPort::SetClipboardText(const std::string& text) {
  std::fprintf(output_, "%s\n", text.c_str());
}

}  // namespace ferrowyn::cli
