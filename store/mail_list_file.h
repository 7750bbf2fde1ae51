// The mail miner's list as a file: the addresses saved as a plain text file. The mail
// miner window and ferrowyn-cli both save the lines of the search center's `mailview()`
// model (view/mail_miner_list.h reads and sorts them).
#pragma once

#include <string>
#include <vector>

#include "base/user_port.h"

namespace ferrowyn {

inline constexpr char kMailSaveFilter[] = "Text Files (*.txt)|*.txt";
inline constexpr char kMailSavedMessage[] = "Mail addresses saved successfully.";
inline constexpr char kMailSaveErrorMessage[] = "There was an error while saving mail addresses.";

// The text file's bytes: every line followed by CR LF; no header; an empty list gives
// no bytes.
std::string MailListText(const std::vector<std::string>& lines);

// The mail miner's "Save As...". Keeps the file name chosen last time so that the save
// dialog offers it again; lives as long as the window. GUI thread.
class MailListFile {
 public:
  // Asks for the file (starting in `datadir`), writes `lines` there, replacing a file of
  // that name without asking, and reports the outcome through `port`. True when the file
  // was written; false when the dialog was cancelled or the write failed (then the error
  // message was shown and any file there is left as it was). Does not throw.
  bool SaveAs(const std::vector<std::string>& lines, UserPort& port, const std::string& datadir);

  // The file name chosen last time; empty before the first choice.
  const std::string& FileName() const { return filename_; }

 private:
  std::string filename_;
};

}  // namespace ferrowyn
