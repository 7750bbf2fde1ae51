// The results list on standard output.
#include "cli/cli_query_rows.h"

#include <string>

#include "query/query_run.h"

namespace ferrowyn::cli {

namespace {

// The cell's text in Latin-1, as QString::toLatin1 gives it ("?" for what Latin-1 cannot
// hold), appended without a conversion buffer of its own: a large results list is printed
// faster so.
void AppendCell(const QStandardItemModel& querylist, int row, int column, std::string& line) {
  const QStandardItem* item = querylist.item(row, column);
  if (item == nullptr) return;
  const QString text = item->text();
  const QChar* const units = text.constData();
  const std::size_t start = line.size();
  line.resize(start + static_cast<std::size_t>(text.size()));
  char* const out = line.data() + start;
  for (std::size_t i = 0; i < static_cast<std::size_t>(text.size()); ++i) {
    const char16_t u = units[i].unicode();
    // A NUL ends the cell, as it ends a C string.
    if (u == 0) {
      line.resize(start + i);
      return;
    }
    out[i] = u < 0x100 ? static_cast<char>(u) : '?';
  }
}

}  // namespace

void PrintQueryList(const QStandardItemModel& querylist, std::FILE* out) {
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
