// The results list's sort by a column.
#include "view/list_sorting.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/case_folding.h"
#include "base/whole_number.h"

namespace ferrowyn {

namespace {

struct SortRow {
  int row = 0;
  std::string key;  // URL or Found, ASCII letters lowered
  std::optional<std::int64_t> hits;
};

}  // namespace

// The order is worked out on the texts alone; the model then moves its rows in one step
// (one layout change, selections kept), which taking and appending every row would not do.
void SortQueryList(QueryListModel& querylist, int column) {
  const int sorted_column = column == 0 ? 0 : column == 1 ? 1 : 2;
  const int count = querylist.rowCount();
  std::vector<SortRow> rows(static_cast<std::size_t>(count));
  for (int r = 0; r < count; ++r) {
    SortRow& row = rows[static_cast<std::size_t>(r)];
    row.row = r;
    const std::string_view text = querylist.Cell(r, sorted_column);
    if (sorted_column == 1) {
      row.hits = ReadDecimal(text, Signs::kPlusOrMinus, std::numeric_limits<std::int64_t>::min(),
                             std::numeric_limits<std::int64_t>::max());
    } else {
      row.key = AsciiLower(text);
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
  std::vector<int> order(static_cast<std::size_t>(count));
  for (std::size_t place = 0; place < rows.size(); ++place) order[place] = rows[place].row;
  querylist.Reorder(order);
}

}  // namespace ferrowyn
