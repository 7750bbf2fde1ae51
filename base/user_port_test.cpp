// The scripted user port that the engine's tests rely on: it must fail a test on
// every prompt that was not scripted exactly.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "app/font_description.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn {
namespace {

using testing::PromptKind;
using testing::ScriptedUserPort;

TEST(ScriptedUserPortTest, AnswersScriptedPromptsInOrderAndRecordsThem) {
  ScriptedUserPort port;
  port.ExpectMessage(MessageKind::kQuestion, "Save?", Answer::kCancel)
      .ExpectFile(FileDialogRequest::kSave, "/tmp/x.fwb")
      .ExpectLogin({LoginAnswer::kOk, "user", "pass"});
  Message question{MessageKind::kQuestion, "Save?", MessageButtons::kYesNoCancel, false};
  EXPECT_EQ(port.ShowMessage(question), Answer::kCancel);
  EXPECT_EQ(port.ChooseFile({FileDialogRequest::kSave, "Save"}), "/tmp/x.fwb");
  EXPECT_EQ(port.AskLogin().password, "pass");
  ASSERT_EQ(port.prompts().size(), 3u);
  EXPECT_EQ(port.prompts()[0].message.buttons, MessageButtons::kYesNoCancel);
  EXPECT_FALSE(port.prompts()[0].message.close_box);
  EXPECT_EQ(port.prompts()[1].file.title, "Save");
  EXPECT_EQ(port.prompts()[2].kind, PromptKind::kLogin);
  port.ShowPleaseWait("Saving...", "Wait.", 100);
  port.SetPleaseWaitProgress(10);
  port.ClosePleaseWait();
  EXPECT_EQ(port.events(),
            (std::vector<std::string>{"show Saving...|Wait.|100", "progress 10", "close"}));
}

TEST(ScriptedUserPortTest, FailsOnAnyPromptThatDiffersFromTheScript) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUserPort port;
        port.Error("Surprise.");
      },
      "unexpected error \"Surprise.\"");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUserPort port;
        port.ExpectError("This one.");
        port.Error("That one.");
      },
      "That one.");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUserPort port;
        port.ExpectInformation("Done.");
        port.Error("Done.");
      },
      "information");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUserPort port;
        port.ExpectMessage(MessageKind::kQuestion, "Go?", Answer::kCancel);
        EXPECT_EQ(port.ShowMessage(
                      {MessageKind::kQuestion, "Go?", MessageButtons::kYesNo, true, Answer::kNo}),
                  Answer::kNo);
      },
      "not a button");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUserPort port;
        port.ExpectColor(kRed);
        EXPECT_EQ(port.ChooseFont(FallbackFont()), std::nullopt);
      },
      "expected a colour dialog, got font dialog");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUserPort port;
        port.ExpectError("Never shown.");
      },
      "scripted message \"Never shown.\" never came");
}

}  // namespace
}  // namespace ferrowyn
