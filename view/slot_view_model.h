// The slot view: eight fixed rows, one per transfer slot and per query slot, each
// with the slot's name and what it is doing. The crawl run and the query engine
// write the action texts; the window only displays the model.
#pragma once

#include <QStandardItemModel>
#include <string>

#include "base/color_text.h"

namespace ferrowyn {

// Owned by the main window's controller; GUI thread only. Slot numbers run 1 to 4;
// another number throws std::out_of_range.
class SlotViewModel : public QStandardItemModel {
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

 private:
  static int SearchRow(int slot);
  static int QueryRow(int slot);
};

}  // namespace ferrowyn
