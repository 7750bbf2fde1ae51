// The collected mail addresses with their folded forms.
#include "view/mail_list_model.h"

#include "base/case_folding.h"

namespace ferrowyn {

namespace {

std::string Folded(std::string_view text) { return Latin1Lower(text); }

}  // namespace

MailListModel::MailListModel(QObject* parent) : QAbstractListModel(parent) {}

bool MailListModel::AddAddress(std::string_view address) {
  std::string folded = Folded(address);
  if (folded_.contains(folded)) return false;
  const int row = static_cast<int>(lines_.size());
  beginInsertRows(QModelIndex(), row, row);
  lines_.emplace_back(address);
  folded_.insert(std::move(folded));
  endInsertRows();
  return true;
}

bool MailListModel::Holds(std::string_view address) const {
  return folded_.contains(Folded(address));
}

void MailListModel::Clear() {
  beginResetModel();
  lines_.clear();
  folded_.clear();
  endResetModel();
}

void MailListModel::SetLines(std::vector<std::string> lines) {
  beginResetModel();
  lines_ = std::move(lines);
  folded_.clear();
  for (const std::string& line : lines_) folded_.insert(Folded(line));
  endResetModel();
}

int MailListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant MailListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const std::string& line = lines_.at(static_cast<std::size_t>(index.row()));
  return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
}

}  // namespace ferrowyn
