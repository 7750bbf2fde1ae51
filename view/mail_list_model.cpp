// The collected mail addresses with their folded forms.
#include "view/mail_list_model.h"

namespace ferrowyn {

MailListModel::MailListModel(QObject* parent) : QAbstractListModel(parent) {}

bool MailListModel::AddAddress(std::string_view address) {
  std::optional<std::string> folded = lines_.NewKey(address);
  if (!folded) return false;
  const int row = static_cast<int>(lines_.Size());
  beginInsertRows(QModelIndex(), row, row);
  lines_.Append(std::string(address), std::move(*folded));
  endInsertRows();
  return true;
}

bool MailListModel::Holds(std::string_view address) const { return lines_.Holds(address); }

void MailListModel::Clear() {
  beginResetModel();
  lines_.Clear();
  endResetModel();
}

void MailListModel::SetLines(std::vector<std::string> lines) {
  beginResetModel();
  lines_.Assign(std::move(lines));
  endResetModel();
}

int MailListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.Size());
}

QVariant MailListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const std::string& line = lines_.Rows().at(static_cast<std::size_t>(index.row()));
  return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
}

}  // namespace ferrowyn
