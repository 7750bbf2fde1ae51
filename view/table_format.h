// Table formats of the page printer: "<4|<1|<3" names three columns, each with its
// alignment sign and its width in inches.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace ferrowyn {

enum class CellAlignment { kLeft, kRight, kCentre };

struct TableColumn {
  CellAlignment alignment = CellAlignment::kLeft;
  double width = 0;  // inches
  friend bool operator==(const TableColumn&, const TableColumn&) = default;
};

// Reads a format: columns separated by "|", each an optional "<", ">" or "^" followed by
// a positive decimal width ("4", "1.5", ".75") with blanks allowed around either. nullopt
// for anything else, an empty text included. Pure; any thread.
std::optional<std::vector<TableColumn>> ReadTableFormat(std::string_view format);

}  // namespace ferrowyn
