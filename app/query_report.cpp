// Gathering the query report from the results list and loading one back into it.
#include "app/query_report.h"

namespace ferrowyn {
namespace {

std::string EightBit(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (const QChar c : text) {
    if (c.unicode() < 0x100)
      bytes.push_back(static_cast<char>(c.unicode()));
    else
      bytes.push_back(c.isSpace() ? ' ' : '?');
  }
  return bytes;
}

}  // namespace

std::string ShortDateLongTime(const QDateTime& when, const QLocale& locale) {
  return EightBit(locale.toString(when.date(), QLocale::ShortFormat)) + " " +
         EightBit(locale.toString(when.time(), QLocale::LongFormat));
}

std::vector<QueryResultRow> QueryResultRows(const QueryListModel& querylist) {
  std::vector<QueryResultRow> rows;
  rows.reserve(static_cast<size_t>(querylist.rowCount()));
  for (int row = 0; row < querylist.rowCount(); ++row)
    rows.push_back({std::string(querylist.Cell(row, kResultUrl)),
                    std::string(querylist.Cell(row, kResultHits)),
                    std::string(querylist.Cell(row, kResultFound))});
  return rows;
}

QueryReport GatherQueryReport(const SearchCenterState& state, const QueryListModel& querylist,
                              const QDateTime& when) {
  QueryReport report;
  // The results may be those of a query file whose site was not opened: they still
  // belong to that site, not to the one that happens to be open.
  const bool namessite = !state.querysitename.empty() && state.querysitename != kUntitledSite;
  report.sitename = namessite ? state.querysitename : state.sitename;
  report.datetime = ShortDateLongTime(when, QLocale::system());
  report.keywords = state.querykeywords;
  report.any = state.queryany;
  report.wholeword = state.querywholeword;
  report.casesensitive = state.querycasesensitive;
  report.rows = QueryResultRows(querylist);
  return report;
}

void LoadQueryReport(const QueryFileContents& contents, SearchCenterState& state,
                     QueryListModel& querylist) {
  querylist.Clear();
  state.querysitename = contents.sitename;
  state.querykeywords = contents.keywords;
  if (contents.any) state.queryany = *contents.any;
  if (contents.wholeword) state.querywholeword = *contents.wholeword;
  if (contents.casesensitive) state.querycasesensitive = *contents.casesensitive;
  querylist.AppendRows(contents.rows);
}

}  // namespace ferrowyn
