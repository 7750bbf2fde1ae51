// The slot view's rows, fixed for the model's life.
#include "view/slot_view_model.h"

#include <stdexcept>

namespace ferrowyn {

SlotViewModel::SlotViewModel(QObject* parent) : QAbstractTableModel(parent) {
  actions_.fill(QString::fromLatin1(kInactive));
}

int SlotViewModel::SearchRow(int slot) {
  if (slot < 1 || slot > kSlots) throw std::out_of_range("transfer slot out of range");
  return slot - 1;
}

int SlotViewModel::QueryRow(int slot) {
  if (slot < 1 || slot > kSlots) throw std::out_of_range("query slot out of range");
  return kSlots + slot - 1;
}

std::string SlotViewModel::SearchAction(int slot) const {
  return actions_[static_cast<size_t>(SearchRow(slot))].toLatin1().toStdString();
}

void SlotViewModel::SetSearchAction(int slot, const std::string& text) {
  SetAction(SearchRow(slot), text);
}

std::string SlotViewModel::QueryAction(int slot) const {
  return actions_[static_cast<size_t>(QueryRow(slot))].toLatin1().toStdString();
}

void SlotViewModel::SetQueryAction(int slot, const std::string& text) {
  SetAction(QueryRow(slot), text);
}

void SlotViewModel::SetAction(int row, const std::string& text) {
  QString& action = actions_[static_cast<size_t>(row)];
  const QString changed = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  if (action == changed) return;
  action = changed;
  const QModelIndex cell = index(row, kAction);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

Rgb SlotViewModel::Background(bool only256colours) {
  return only256colours ? Rgb{0x00, 0x00, 0x80} : Rgb{0x00, 0x80, 0xC0};
}

int SlotViewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2 * kSlots;
}

int SlotViewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant SlotViewModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const int row = index.row();
  if (role == kImageIndexRole) return row < kSlots ? 0 : 1;
  if (role != Qt::DisplayRole) return {};
  if (index.column() == kAction) return actions_[static_cast<size_t>(row)];
  return row < kSlots ? QStringLiteral("  Search %1:").arg(row + 1)
                      : QStringLiteral("  Query %1:").arg(row - kSlots + 1);
}

QVariant SlotViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section == kName) return QStringLiteral("Name");
  if (section == kAction) return QStringLiteral("Action");
  return {};
}

Qt::ItemFlags SlotViewModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

}  // namespace ferrowyn
