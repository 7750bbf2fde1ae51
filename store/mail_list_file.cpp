// Saving the mail miner's list.
#include "store/mail_list_file.h"

#include <exception>
#include <optional>

#include "store/query_file.h"

namespace ferrowyn {

std::string MailListText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append("\r\n");
  return text;
}

bool MailListFile::SaveAs(const std::vector<std::string>& lines, UserPort& port,
                          const std::string& datadir) {
  try {
    FileDialogRequest request;
    request.mode = FileDialogRequest::kSave;
    request.title = "Save";
    request.filter = kMailSaveFilter;
    request.initial_directory = datadir;
    request.file_name = filename_;
    request.default_extension = "txt";
    request.overwrite_prompt = false;
    const std::optional<std::string> chosen = port.ChooseFile(request);
    if (!chosen) return false;
    filename_ = *chosen;
    ReplaceFileWith(*chosen, MailListText(lines));
  } catch (const std::exception&) {
    port.Error(kMailSaveErrorMessage);
    return false;
  }
  port.Information(kMailSavedMessage);
  return true;
}

}  // namespace ferrowyn
