// The results list on standard output.
#include "cli/cli_query_rows.h"

#include <string>
#include <string_view>

namespace ferrowyn::cli {

namespace {

// The cell's text as the list shows it, up to a NUL, which ends the cell as it ends a C
// string.
void AppendCell(const QueryListModel& querylist, int row, int column, std::string& line) {
  const std::string_view text = querylist.Cell(row, column);
  line.append(text.substr(0, text.find('\0')));
}

}  // namespace

void PrintQueryList(const QueryListModel& querylist, std::FILE* out) {
  std::string line;
  for (int row = 0; row < querylist.rowCount(); ++row) {
    line.clear();
    AppendCell(querylist, row, kResultUrl, line);
    line += '\t';
    AppendCell(querylist, row, kResultHits, line);
    line += '\t';
    AppendCell(querylist, row, kResultFound, line);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
  }
  std::fflush(out);
}

}  // namespace ferrowyn::cli
