// The slot view's rows, created once and never removed.
#include "view/slot_view_model.h"

#include <stdexcept>

namespace ferrowyn {

namespace {
constexpr int kSlots = 4;

QList<QStandardItem*> MakeRow(const QString& name, int image) {
  QList<QStandardItem*> row{new QStandardItem(name),
                            new QStandardItem(QString::fromLatin1(SlotViewModel::kInactive))};
  for (QStandardItem* item : row) {
    // Rows cannot be selected: the view only reports.
    item->setFlags(Qt::ItemIsEnabled);
    item->setEditable(false);
    item->setData(image, SlotViewModel::kImageIndexRole);
  }
  return row;
}
}  // namespace

SlotViewModel::SlotViewModel(QObject* parent) : QStandardItemModel(0, 2, parent) {
  setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Action")});
  for (int slot = 1; slot <= kSlots; ++slot) {
    appendRow(MakeRow(QStringLiteral("  Search %1:").arg(slot), 0));
  }
  for (int slot = 1; slot <= kSlots; ++slot) {
    appendRow(MakeRow(QStringLiteral("  Query %1:").arg(slot), 1));
  }
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
  return item(SearchRow(slot), kAction)->text().toLatin1().toStdString();
}

void SlotViewModel::SetSearchAction(int slot, const std::string& text) {
  item(SearchRow(slot), kAction)->setText(QString::fromLatin1(text.data(), text.size()));
}

std::string SlotViewModel::QueryAction(int slot) const {
  return item(QueryRow(slot), kAction)->text().toLatin1().toStdString();
}

void SlotViewModel::SetQueryAction(int slot, const std::string& text) {
  item(QueryRow(slot), kAction)->setText(QString::fromLatin1(text.data(), text.size()));
}

Rgb SlotViewModel::Background(bool only256colours) {
  return only256colours ? Rgb{0x00, 0x00, 0x80} : Rgb{0x00, 0x80, 0xC0};
}

}  // namespace ferrowyn
