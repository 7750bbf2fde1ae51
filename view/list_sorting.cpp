// The results list's sort by a column.
#include "view/list_sorting.h"

#include <QSignalBlocker>
#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/case_folding.h"
#include "base/whole_number.h"

namespace ferrowyn {

namespace {

// A row's place in the new order, set on its first item just before the model sorts by it.
constexpr int kPlaceRole = Qt::UserRole + 0x51;

struct SortRow {
  int row = 0;
  std::string key;  // URL or Found, ASCII letters lowered
  std::optional<std::int64_t> hits;
};

std::optional<std::int64_t> WholeNumber(const QString& text) {
  return ReadDecimal(text.toLatin1().toStdString(), Signs::kPlusOrMinus,
                     std::numeric_limits<std::int64_t>::min(),
                     std::numeric_limits<std::int64_t>::max());
}

}  // namespace

// The order is worked out on the texts alone; the model then moves its rows in one step
// (one layout change, selections kept), which taking and appending every row would not do.
void SortQueryList(QStandardItemModel& querylist, int column) {
  const int sorted_column = column == 0 ? 0 : column == 1 ? 1 : 2;
  const int count = querylist.rowCount();
  std::vector<SortRow> rows(static_cast<std::size_t>(count));
  for (int r = 0; r < count; ++r) {
    SortRow& row = rows[static_cast<std::size_t>(r)];
    row.row = r;
    const QStandardItem* item = querylist.item(r, sorted_column);
    const QString text = item != nullptr ? item->text() : QString();
    if (sorted_column == 1) {
      row.hits = WholeNumber(text);
    } else {
      row.key = AsciiLower(text.toLatin1().toStdString());
    }
  }
  if (sorted_column == 1) {
    std::stable_sort(rows.begin(), rows.end(), [](const SortRow& a, const SortRow& b) {
      if (!a.hits || !b.hits) return a.hits.has_value() && !b.hits.has_value();
      return *a.hits > *b.hits;
    });
  } else {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SortRow& a, const SortRow& b) { return a.key < b.key; });
  }
  {
    const QSignalBlocker quiet(querylist);  // the place is nothing a view shows
    for (int place = 0; place < count; ++place) {
      const int row = rows[static_cast<std::size_t>(place)].row;
      if (querylist.item(row, 0) == nullptr) querylist.setItem(row, 0, new QStandardItem);
      querylist.item(row, 0)->setData(place, kPlaceRole);
    }
  }
  const int role = querylist.sortRole();
  querylist.setSortRole(kPlaceRole);
  querylist.sort(0, Qt::AscendingOrder);
  querylist.setSortRole(role);
}

}  // namespace ferrowyn
