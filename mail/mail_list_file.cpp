// Sorting and saving the mail miner's list.
#include "mail/mail_list_file.h"

#include <QStandardItem>
#include <algorithm>
#include <exception>
#include <optional>

#include "store/key_collation.h"
#include "store/query_file.h"

namespace ferrowyn {

std::vector<std::string> MailListLines(const QStandardItemModel& mailview) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(mailview.rowCount()));
  for (int row = 0; row < mailview.rowCount(); ++row) {
    const QStandardItem* item = mailview.item(row, 0);
    lines.push_back(item ? item->text().toLatin1().toStdString() : std::string());
  }
  return lines;
}

void SortMailList(QStandardItemModel& mailview) {
  std::vector<std::string> lines = MailListLines(mailview);
  // The empty line folds to nothing and so sorts before every other line.
  std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
    return CompareKeys(a, b, false) < 0;
  });
  for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
    const std::string& line = lines[static_cast<size_t>(row)];
    const QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    if (QStandardItem* item = mailview.item(row, 0))
      item->setText(text);
    else
      mailview.setItem(row, 0, new QStandardItem(text));
  }
}

std::string MailListText(const QStandardItemModel& mailview) {
  std::string text;
  for (const std::string& line : MailListLines(mailview)) text.append(line).append("\r\n");
  return text;
}

bool MailListFile::SaveAs(const QStandardItemModel& mailview, UserPort& port,
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
    ReplaceFileWith(*chosen, MailListText(mailview));
  } catch (const std::exception&) {
    port.Error(kMailSaveErrorMessage);
    return false;
  }
  port.Information(kMailSavedMessage);
  return true;
}

}  // namespace ferrowyn
