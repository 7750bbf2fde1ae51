// The mail miner's list model as lines, and its sort.
#include "view/mail_miner_list.h"

#include <QCollator>
#include <QStandardItem>
#include <algorithm>

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
  std::vector<QString> lines;
  lines.reserve(static_cast<size_t>(mailview.rowCount()));
  for (int row = 0; row < mailview.rowCount(); ++row) {
    const QStandardItem* item = mailview.item(row, 0);
    lines.push_back(item ? item->text() : QString());
  }
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  // A line of characters the collation ignores compares equal to an empty one; empty
  // lines still come first.
  std::stable_sort(lines.begin(), lines.end(), [&collator](const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) return a.isEmpty() && !b.isEmpty();
    return collator.compare(a, b) < 0;
  });
  for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
    const QString& text = lines[static_cast<size_t>(row)];
    if (QStandardItem* item = mailview.item(row, 0))
      item->setText(text);
    else
      mailview.setItem(row, 0, new QStandardItem(text));
  }
}

}  // namespace ferrowyn
