// The command line's user port: messages on the given stream, safe answers
// unless an option allows more, and no overwriting without the option.
#include "cli/cli_user_port.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "app/font_description.h"

namespace ferrowyn::cli {
namespace {

std::string Drain(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  return text;
}

class CliUserPortTest : public ::testing::Test {
 protected:
  ~CliUserPortTest() override {
    std::fclose(messages_);
    std::fclose(output_);
  }
  std::FILE* messages_ = std::tmpfile();
  std::FILE* output_ = std::tmpfile();
};

TEST_F(CliUserPortTest, QuestionsTakeTheSafeAnswerUnlessAnOptionAllowsMore) {
  const Message save{MessageKind::kQuestion, "Save it now?", MessageButtons::kYesNoCancel, true,
                     Answer::kCancel};
  const Message replace{
      MessageKind::kQuestion,  "Replace?", MessageButtons::kYesNo, true, Answer::kNo,
      Consequence::kOverwrites};
  const Message remove{MessageKind::kQuestion,    "Delete?",
                       MessageButtons::kOkCancel, true,
                       Answer::kCancel,           Consequence::kDeletes};
  CliUserPort cautious({}, messages_, output_);
  EXPECT_EQ(cautious.ShowMessage(save), Answer::kCancel);
  EXPECT_EQ(cautious.ShowMessage(replace), Answer::kNo);
  EXPECT_EQ(cautious.ShowMessage(remove), Answer::kCancel);
  cautious.Error("Something failed.");
  EXPECT_EQ(Drain(messages_),
            "Save it now? [Cancel]\nReplace? [No]\nDelete? [Cancel]\nSomething failed.\n");

  // "Yes to all" still neither overwrites nor deletes.
  CliUserPort yes({.assume_yes = true}, messages_, output_);
  EXPECT_EQ(yes.ShowMessage(save), Answer::kYes);
  EXPECT_EQ(yes.ShowMessage(replace), Answer::kNo);
  EXPECT_EQ(yes.ShowMessage(remove), Answer::kCancel);
  CliUserPort bold({.allow_overwrite = true, .allow_delete = true}, messages_, output_);
  EXPECT_EQ(bold.ShowMessage(save), Answer::kCancel);
  EXPECT_EQ(bold.ShowMessage(replace), Answer::kYes);
  EXPECT_EQ(bold.ShowMessage(remove), Answer::kOk);
}

TEST_F(CliUserPortTest, SaveDialogsAddTheExtensionAndNeverReplaceWithoutTheOption) {
  QTemporaryDir dir;
  const std::string base = dir.filePath("site").toStdString();
  const FileDialogRequest save{FileDialogRequest::kSave, "Save", "", "", "", "fwq", true};
  EXPECT_EQ(CliUserPort({}, messages_, output_).ChooseFile(save), std::nullopt);
  EXPECT_EQ(CliUserPort({.file = base}, messages_, output_).ChooseFile(save), base + ".fwq");
  std::ofstream(base + ".fwq") << "old";
  EXPECT_EQ(CliUserPort({.file = base}, messages_, output_).ChooseFile(save), std::nullopt);
  EXPECT_EQ(Drain(messages_),
            "\"" + base + ".fwq\" exists and is not replaced without the overwrite option.\n");
  EXPECT_EQ(
      CliUserPort({.allow_overwrite = true, .file = base}, messages_, output_).ChooseFile(save),
      base + ".fwq");
  const FileDialogRequest open{FileDialogRequest::kOpen, "Open"};
  EXPECT_EQ(CliUserPort({.file = base + ".fwq"}, messages_, output_).ChooseFile(open),
            base + ".fwq");
}

TEST_F(CliUserPortTest, DialogsWithoutOptionsChangeNothing) {
  CliUserPort port({}, messages_, output_);
  EXPECT_EQ(port.AskLogin().choice, LoginAnswer::kNo);
  EXPECT_EQ(port.AskFilter().choice, FilterAnswer::kAbort);
  EXPECT_EQ(port.ChooseFont(FallbackFont()), std::nullopt);
  EXPECT_EQ(port.ChooseColor(kRed), std::nullopt);
  EXPECT_FALSE(port.PrinterSetup());
  CliUserPort given({.login = LoginAnswer{LoginAnswer::kOk, "u", "p"}, .filter = "news"}, messages_,
                    output_);
  EXPECT_EQ(given.AskLogin().username, "u");
  EXPECT_EQ(given.AskFilter().filter, "news");
  given.SetClipboardText("a@b.example");
  EXPECT_EQ(Drain(output_), "a@b.example\n");
}

}  // namespace
}  // namespace ferrowyn::cli
