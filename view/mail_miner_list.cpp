// The mail miner's list model as lines.
#include "view/mail_miner_list.h"

#include <QStandardItem>

#include "store/mail_list_file.h"

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
  SortMailLines(lines);
  for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
    const std::string& line = lines[static_cast<size_t>(row)];
    const QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    if (QStandardItem* item = mailview.item(row, 0))
      item->setText(text);
    else
      mailview.setItem(row, 0, new QStandardItem(text));
  }
}

}  // namespace ferrowyn
