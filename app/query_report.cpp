// Gathering the query report from the results list and loading one back into it.
#include "app/query_report.h"

#include <QList>
#include <QStandardItem>

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

std::string CellText(const QStandardItemModel& model, int row, int column) {
  const QStandardItem* item = model.item(row, column);
  return item ? item->text().toLatin1().toStdString() : std::string();
}

QStandardItem* Cell(const std::string& text) {
  return new QStandardItem(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace

std::string ShortDateLongTime(const QDateTime& when, const QLocale& locale) {
  return EightBit(locale.toString(when.date(), QLocale::ShortFormat)) + " " +
         EightBit(locale.toString(when.time(), QLocale::LongFormat));
}

std::vector<QueryResultRow> QueryResultRows(const QStandardItemModel& querylist) {
  std::vector<QueryResultRow> rows;
  rows.reserve(static_cast<size_t>(querylist.rowCount()));
  for (int row = 0; row < querylist.rowCount(); ++row)
    rows.push_back(
        {CellText(querylist, row, 0), CellText(querylist, row, 1), CellText(querylist, row, 2)});
  return rows;
}

QueryReport GatherQueryReport(const SearchCenterState& state, const QStandardItemModel& querylist,
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
                     QStandardItemModel& querylist) {
  querylist.removeRows(0, querylist.rowCount());
  state.querysitename = contents.sitename;
  state.querykeywords = contents.keywords;
  if (contents.any) state.queryany = *contents.any;
  if (contents.wholeword) state.querywholeword = *contents.wholeword;
  if (contents.casesensitive) state.querycasesensitive = *contents.casesensitive;
  for (const QueryResultRow& row : contents.rows)
    querylist.appendRow(QList<QStandardItem*>{Cell(row.url), Cell(row.hits), Cell(row.found)});
}

}  // namespace ferrowyn
