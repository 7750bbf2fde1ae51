// The scripted user port: checks each prompt against the script and answers it.
#include "tests/support/scripted_user_port.h"

#include <gtest/gtest.h>

namespace ferrowyn::testing {

namespace {
const char* KindName(PromptKind kind) {
  switch (kind) {
    case PromptKind::kMessage:
      return "message";
    case PromptKind::kFile:
      return "file dialog";
    case PromptKind::kLogin:
      return "login dialog";
    case PromptKind::kFilter:
      return "filter dialog";
    case PromptKind::kFont:
      return "font dialog";
    case PromptKind::kColor:
      return "colour dialog";
    case PromptKind::kPrinterSetup:
      return "printer setup";
  }
  return "?";
}

const char* MessageKindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::kError:
      return "error";
    case MessageKind::kInformation:
      return "information";
    case MessageKind::kWarning:
      return "warning";
    case MessageKind::kQuestion:
      return "question";
  }
  return "?";
}

bool OffersAnswer(MessageButtons buttons, Answer answer) {
  switch (buttons) {
    case MessageButtons::kOk:
      return answer == Answer::kOk;
    case MessageButtons::kOkCancel:
      return answer == Answer::kOk || answer == Answer::kCancel;
    case MessageButtons::kYesNo:
      return answer == Answer::kYes || answer == Answer::kNo;
    case MessageButtons::kYesNoCancel:
      return answer == Answer::kYes || answer == Answer::kNo || answer == Answer::kCancel;
    case MessageButtons::kAbortIgnore:
      return answer == Answer::kAbort || answer == Answer::kIgnore;
  }
  return false;
}
}  // namespace

std::string DescribePrompt(const Prompt& prompt) {
  if (prompt.kind == PromptKind::kMessage) {
    return std::string(MessageKindName(prompt.message.kind)) + " \"" + prompt.message.text + "\"";
  }
  if (prompt.kind == PromptKind::kFile) {
    return std::string(prompt.file.mode == FileDialogRequest::kOpen ? "open" : "save") +
           " dialog \"" + prompt.file.title + "\"";
  }
  return KindName(prompt.kind);
}

ScriptedUserPort::~ScriptedUserPort() {
  for (const auto& reply : script_) {
    ADD_FAILURE() << "scripted " << KindName(reply.kind)
                  << (reply.text.empty() ? "" : " \"" + reply.text + "\"") << " never came";
  }
}

ScriptedUserPort& ScriptedUserPort::ExpectMessage(MessageKind kind, std::string text,
                                                  Answer answer) {
  Reply reply{PromptKind::kMessage};
  reply.message_kind = kind;
  reply.text = std::move(text);
  reply.answer = answer;
  script_.push_back(std::move(reply));
  return *this;
}

ScriptedUserPort& ScriptedUserPort::ExpectFile(FileDialogRequest::Mode mode,
                                               std::optional<std::string> answer) {
  Reply reply{PromptKind::kFile};
  reply.file_mode = mode;
  reply.file = std::move(answer);
  script_.push_back(std::move(reply));
  return *this;
}

ScriptedUserPort& ScriptedUserPort::ExpectLogin(LoginAnswer answer) {
  Reply reply{PromptKind::kLogin};
  reply.login = std::move(answer);
  script_.push_back(std::move(reply));
  return *this;
}

ScriptedUserPort& ScriptedUserPort::ExpectFilter(FilterAnswer answer) {
  Reply reply{PromptKind::kFilter};
  reply.filter = std::move(answer);
  script_.push_back(std::move(reply));
  return *this;
}

ScriptedUserPort& ScriptedUserPort::ExpectFont(std::optional<FontRecord> answer) {
  Reply reply{PromptKind::kFont};
  reply.font = std::move(answer);
  script_.push_back(std::move(reply));
  return *this;
}

ScriptedUserPort& ScriptedUserPort::ExpectColor(std::optional<Rgb> answer) {
  Reply reply{PromptKind::kColor};
  reply.color = answer;
  script_.push_back(std::move(reply));
  return *this;
}

ScriptedUserPort& ScriptedUserPort::ExpectPrinterSetup(bool answer) {
  Reply reply{PromptKind::kPrinterSetup};
  reply.printer = answer;
  script_.push_back(std::move(reply));
  return *this;
}

std::optional<ScriptedUserPort::Reply> ScriptedUserPort::Next(PromptKind kind,
                                                              const std::string& shown) {
  if (script_.empty()) {
    ADD_FAILURE() << "unexpected " << shown;
    return std::nullopt;
  }
  // The reply is used up either way, so that one wrong prompt is one failure.
  Reply reply = std::move(script_.front());
  script_.pop_front();
  if (reply.kind != kind) {
    ADD_FAILURE() << "expected a " << KindName(reply.kind) << ", got " << shown;
    return std::nullopt;
  }
  return reply;
}

Answer ScriptedUserPort::ShowMessage(const Message& message) {
  Prompt prompt{PromptKind::kMessage};
  prompt.message = message;
  prompts_.push_back(prompt);
  const std::optional<Reply> reply = Next(PromptKind::kMessage, DescribePrompt(prompt));
  if (!reply) return message.safe_answer;
  EXPECT_EQ(MessageKindName(reply->message_kind), std::string(MessageKindName(message.kind)))
      << "for \"" << message.text << "\"";
  EXPECT_EQ(reply->text, message.text);
  if (!OffersAnswer(message.buttons, reply->answer)) {
    ADD_FAILURE() << "scripted answer is not a button of \"" << message.text << "\"";
    return message.safe_answer;
  }
  return reply->answer;
}

std::optional<std::string> ScriptedUserPort::ChooseFile(const FileDialogRequest& request) {
  Prompt prompt{PromptKind::kFile};
  prompt.file = request;
  prompts_.push_back(prompt);
  const std::optional<Reply> reply = Next(PromptKind::kFile, DescribePrompt(prompt));
  if (!reply) return std::nullopt;
  EXPECT_EQ(reply->file_mode, request.mode) << "file dialog \"" << request.title << "\"";
  return reply->file;
}

LoginAnswer ScriptedUserPort::AskLogin() {
  prompts_.push_back(Prompt{PromptKind::kLogin});
  const std::optional<Reply> reply = Next(PromptKind::kLogin, "login dialog");
  return reply ? reply->login : LoginAnswer{LoginAnswer::kAbort, "", ""};
}

FilterAnswer ScriptedUserPort::AskFilter() {
  prompts_.push_back(Prompt{PromptKind::kFilter});
  const std::optional<Reply> reply = Next(PromptKind::kFilter, "filter dialog");
  return reply ? reply->filter : FilterAnswer{FilterAnswer::kAbort, ""};
}

std::optional<FontRecord> ScriptedUserPort::ChooseFont(const FontRecord& initial) {
  Prompt prompt{PromptKind::kFont};
  prompt.initial_font = initial;
  prompts_.push_back(prompt);
  const std::optional<Reply> reply = Next(PromptKind::kFont, "font dialog");
  return reply ? reply->font : std::nullopt;
}

std::optional<Rgb> ScriptedUserPort::ChooseColor(Rgb initial) {
  Prompt prompt{PromptKind::kColor};
  prompt.initial_color = initial;
  prompts_.push_back(prompt);
  const std::optional<Reply> reply = Next(PromptKind::kColor, "colour dialog");
  return reply ? reply->color : std::nullopt;
}

bool ScriptedUserPort::PrinterSetup() {
  prompts_.push_back(Prompt{PromptKind::kPrinterSetup});
  const std::optional<Reply> reply = Next(PromptKind::kPrinterSetup, "printer setup");
  return reply && reply->printer;
}

void ScriptedUserPort::ShowPleaseWait(const std::string& caption, const std::string& text,
                                      int maximum) {
  events_.push_back("show " + caption + "|" + text + "|" + std::to_string(maximum));
}

void ScriptedUserPort::SetPleaseWaitProgress(int position) {
  events_.push_back("progress " + std::to_string(position));
}

void ScriptedUserPort::ClosePleaseWait() { events_.push_back("close"); }

bool ScriptedUserPort::OpenUrl(const std::string& url) {
  events_.push_back("open " + url);
  return open_url_result_;
}

void ScriptedUserPort::SetClipboardText(const std::string& text) {
  events_.push_back("clipboard " + text);
}

}  // namespace ferrowyn::testing
