// The slot view: eight fixed rows, one per transfer slot and per query slot, each
// with the slot's name and what it is doing. The crawl run and the query engine
// write the action texts; the window only displays the model.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <string>

#include "base/color_text.h"

namespace ferrowyn {

// Owned by the main window's controller; GUI thread only. Slot numbers run 1 to 4;
// another number throws std::out_of_range.
class SlotViewModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Columns (shown without headers) and the role holding each row's image index in
  // the view's image list: 0 for the transfer slots, 1 for the query slots.
  enum Column { kName = 0, kAction = 1 };
  static constexpr int kImageIndexRole = Qt::UserRole + 1;
  static constexpr char kInactive[] = "Inactive";

  explicit SlotViewModel(QObject* parent = nullptr);

  // The Action text of the row of transfer slot / query slot `slot` (`searchrow`,
  // `queryrow`).
  std::string SearchAction(int slot) const;
  void SetSearchAction(int slot, const std::string& text);
  std::string QueryAction(int slot) const;
  void SetQueryAction(int slot, const std::string& text);

  // The view's background: RGB 0080C0, or navy on a display of only 256 colours.
  // Its text is white.
  static Rgb Background(bool only256colours);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  // Rows cannot be selected or edited: the view only reports.
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  static constexpr int kSlots = 4;
  static int SearchRow(int slot);
  static int QueryRow(int slot);
  void SetAction(int row, const std::string& text);

  std::array<QString, 2 * kSlots> actions_;
};

}  // namespace ferrowyn
