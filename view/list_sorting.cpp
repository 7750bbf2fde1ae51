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
  QList<QStandardItem*> items;
  std::string key;  // URL or Found, ASCII letters lowered
  std::optional<std::int64_t> hits;
};

std::optional<std::int64_t> WholeNumber(const QString& text) {
  return ReadDecimal(text.toLatin1().toStdString(), Signs::kPlusOrMinus,
                     std::numeric_limits<std::int64_t>::min(),
                     std::numeric_limits<std::int64_t>::max());
}

}  // namespace

void SortQueryList(QStandardItemModel& querylist, int column) {
  const int sorted_column = column == 0 ? 0 : column == 1 ? 1 : 2;
  std::vector<SortRow> rows;
  rows.reserve(static_cast<std::size_t>(querylist.rowCount()));
  while (querylist.rowCount() > 0) {
    SortRow row;
    row.items = querylist.takeRow(0);
    auto text = [&](int index) {
      return index < row.items.size() && row.items[index] != nullptr ? row.items[index]->text()
                                                                     : QString();
    };
    if (sorted_column == 1) {
      row.hits = WholeNumber(text(1));
    } else {
      row.key = AsciiLower(text(sorted_column).toLatin1().toStdString());
    }
    rows.push_back(std::move(row));
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
  for (SortRow& row : rows) querylist.appendRow(row.items);
}

}  // namespace ferrowyn
