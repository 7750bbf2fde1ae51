// Reading the page printer's table formats.
#include "view/table_format.h"

#include <cctype>

namespace ferrowyn {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

// "4", "1.5", ".75": digits with at most one point; nullopt otherwise or when not above 0.
std::optional<double> ReadWidth(std::string_view text) {
  long long digits = 0;
  int decimals = -1;  // digits after the point; -1 before one is seen
  bool any = false;
  for (char c : text) {
    if (c == '.') {
      if (decimals >= 0) return std::nullopt;
      decimals = 0;
    } else if (c >= '0' && c <= '9') {
      any = true;
      // Wider than any paper, or finer than anyone measures: refused rather than laid out
      // as nonsense.
      if (digits > 100000 || decimals >= 6) return std::nullopt;
      digits = digits * 10 + (c - '0');
      if (decimals >= 0) ++decimals;
    } else {
      return std::nullopt;
    }
  }
  double width = static_cast<double>(digits);
  for (int i = 0; i < decimals; ++i) width /= 10;
  if (!any || width <= 0 || width > 1000) return std::nullopt;
  return width;
}

}  // namespace

std::optional<std::vector<TableColumn>> ReadTableFormat(std::string_view format) {
  std::vector<TableColumn> columns;
  for (;;) {
    const size_t bar = format.find('|');
    std::string_view field = Trimmed(format.substr(0, bar));
    TableColumn column;
    if (!field.empty()) {
      switch (field.front()) {
        case '<':
          column.alignment = CellAlignment::kLeft;
          field.remove_prefix(1);
          break;
        case '>':
          column.alignment = CellAlignment::kRight;
          field.remove_prefix(1);
          break;
        case '^':
          column.alignment = CellAlignment::kCentre;
          field.remove_prefix(1);
          break;
        default:
          break;
      }
    }
    const std::optional<double> width = ReadWidth(Trimmed(field));
    if (!width) return std::nullopt;
    column.width = *width;
    columns.push_back(column);
    if (bar == std::string_view::npos) break;
    format.remove_prefix(bar + 1);
  }
  return columns;
}

}  // namespace ferrowyn
