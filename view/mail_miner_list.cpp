// The mail miner's list and its sort.
#include "view/mail_miner_list.h"

#include <QCollator>
#include <QString>
#include <algorithm>
#include <numeric>

namespace ferrowyn {

namespace {
QString Text(const std::string& line) {
  return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
}
}  // namespace

MailMinerList::MailMinerList(QObject* parent) : QAbstractListModel(parent) {}

void MailMinerList::SetLines(std::vector<std::string> lines) {
  beginResetModel();
  lines_ = std::move(lines);
  endResetModel();
}

void MailMinerList::Append(const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const int first = static_cast<int>(lines_.size());
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(lines.size()) - 1);
  lines_.insert(lines_.end(), lines.begin(), lines.end());
  endInsertRows();
}

void MailMinerList::Sort() {
  std::vector<QString> texts;
  texts.reserve(lines_.size());
  for (const std::string& line : lines_) texts.push_back(Text(line));
  std::vector<size_t> order(lines_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  // A line of characters the collation ignores compares equal to an empty one; empty
  // lines still come first.
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
    const QString& a = texts[x];
    const QString& b = texts[y];
    if (a.isEmpty() || b.isEmpty()) return a.isEmpty() && !b.isEmpty();
    return collator.compare(a, b) < 0;
  });
  std::vector<std::string> sorted;
  sorted.reserve(lines_.size());
  emit layoutAboutToBeChanged();
  for (size_t at : order) sorted.push_back(std::move(lines_[at]));
  lines_ = std::move(sorted);
  emit layoutChanged();
}

int MailMinerList::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant MailMinerList::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  return Text(lines_[static_cast<size_t>(index.row())]);
}

}  // namespace ferrowyn
