// The mail list's save as a text file: the dialog, the exact bytes, the messages and the
// failures.
#include "store/mail_list_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/qdb_test_files.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class MailListSaveTest : public ::testing::Test {
 protected:
  ScratchDir dir_;
  std::string datadir_ = dir_.path() + "/";
  ScriptedUserPort port_;
  Strings lines_;
  MailListFile file_;
};

TEST_F(MailListSaveTest, WritesEveryLineWithCrLfAndReportsSuccess) {
  lines_ = {"a@x.com", "", "b@y.org"};
  port_.ExpectFile(FileDialogRequest::kSave, datadir_ + "mail.txt")
      .ExpectInformation("Mail addresses saved successfully.");
  EXPECT_TRUE(file_.SaveAs(lines_, port_, datadir_));
  EXPECT_EQ(ReadFileBytes(datadir_ + "mail.txt"), "a@x.com\r\n\r\nb@y.org\r\n");

  const FileDialogRequest& dialog = port_.prompts().front().file;
  EXPECT_EQ(dialog.title, "Save");
  EXPECT_EQ(dialog.filter, "Text Files (*.txt)|*.txt");
  EXPECT_EQ(dialog.default_extension, "txt");
  EXPECT_EQ(dialog.initial_directory, datadir_);
  EXPECT_EQ(dialog.file_name, "");
  EXPECT_FALSE(dialog.overwrite_prompt);  // replaced without asking
  EXPECT_EQ(dir_.List(), Strings{"mail.txt"});
}

TEST_F(MailListSaveTest, OffersTheLastNameAgainAndReplacesTheFile) {
  lines_ = {"a@x.com", "b@y.org"};
  port_.ExpectFile(FileDialogRequest::kSave, datadir_ + "mail.txt")
      .ExpectInformation("Mail addresses saved successfully.");
  ASSERT_TRUE(file_.SaveAs(lines_, port_, datadir_));

  lines_ = {"c@z.net"};
  port_.ExpectFile(FileDialogRequest::kSave, datadir_ + "mail.txt")
      .ExpectInformation("Mail addresses saved successfully.");
  EXPECT_TRUE(file_.SaveAs(lines_, port_, datadir_));
  EXPECT_EQ(port_.prompts()[2].file.file_name, datadir_ + "mail.txt");
  EXPECT_EQ(ReadFileBytes(datadir_ + "mail.txt"), "c@z.net\r\n");
}

TEST_F(MailListSaveTest, EmptyListGivesAnEmptyFile) {
  port_.ExpectFile(FileDialogRequest::kSave, datadir_ + "none.txt")
      .ExpectInformation("Mail addresses saved successfully.");
  EXPECT_TRUE(file_.SaveAs(lines_, port_, datadir_));
  EXPECT_EQ(ReadFileBytes(datadir_ + "none.txt"), "");
}

TEST_F(MailListSaveTest, CancelWritesNothingAndSaysNothing) {
  lines_ = {"a@x.com"};
  port_.ExpectFile(FileDialogRequest::kSave, std::nullopt);
  EXPECT_FALSE(file_.SaveAs(lines_, port_, datadir_));
  EXPECT_TRUE(dir_.List().empty());
  EXPECT_EQ(file_.FileName(), "");
}

TEST_F(MailListSaveTest, FailureIsReportedAndLeavesTheListAndOtherFiles) {
  lines_ = {"a@x.com"};
  port_.ExpectFile(FileDialogRequest::kSave, datadir_ + "missing/mail.txt")
      .ExpectError("There was an error while saving mail addresses.");
  EXPECT_FALSE(file_.SaveAs(lines_, port_, datadir_));

  // A directory of the chosen name is neither replaced nor emptied.
  fs::create_directory(datadir_ + "taken.txt");
  WriteFileBytes(datadir_ + "taken.txt/inside", "kept");
  port_.ExpectFile(FileDialogRequest::kSave, datadir_ + "taken.txt")
      .ExpectError("There was an error while saving mail addresses.");
  EXPECT_FALSE(file_.SaveAs(lines_, port_, datadir_));
  EXPECT_EQ(ReadFileBytes(datadir_ + "taken.txt/inside"), "kept");
  EXPECT_EQ(dir_.List(), Strings{"taken.txt"});
}

}  // namespace
}  // namespace ferrowyn::testing
