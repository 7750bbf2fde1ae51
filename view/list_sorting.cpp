// The results list's sort by a column.
#include "view/list_sorting.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "base/case_folding.h"

namespace ferrowyn {

namespace {

struct SortRow {
  QList<QStandardItem*> items;
  std::string key;  // URL or Found, ASCII letters lowered
  std::optional<std::int64_t> hits;
};

std::optional<std::int64_t> WholeNumber(const QString& text) {
  const std::string bytes = text.toLatin1().toStdString();
  std::int64_t value = 0;
  const char* begin = bytes.data();
  const char* end = begin + bytes.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [rest, error] = std::from_chars(begin, end, value);
  if (bytes.empty() || error != std::errc() || rest != end) return std::nullopt;
  return value;
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
