// The results list on standard output.
#include "cli/cli_query_rows.h"

#include "query/query_run.h"

namespace ferrowyn::cli {

void PrintQueryList(const QStandardItemModel& querylist, std::FILE* out) {
  for (int row = 0; row < querylist.rowCount(); ++row) {
    auto cell = [&](int column) {
      const QStandardItem* item = querylist.item(row, column);
      return item == nullptr ? QByteArray() : item->text().toLatin1();
    };
    std::fprintf(out, "%s\t%s\t%s\n", cell(kResultUrl).constData(), cell(kResultHits).constData(),
                 cell(kResultFound).constData());
  }
  std::fflush(out);
}

}  // namespace ferrowyn::cli
