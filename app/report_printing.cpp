// The printed reports' headings and the query report.
#include "app/report_printing.h"

#include <QLocale>

#include "app/font_description.h"
#include "app/query_report.h"

namespace ferrowyn {

void parsefont(TPagePrinter& printer, const std::string& description) {
  FontRecord printfont = FallbackFont();
  ReadFontDescription(description, printfont);
  printer.SetFont(printfont);
}

void WriteReportHeadings(TPagePrinter& printer, const LiveSettings& live, const std::string& title,
                         const std::string& nameline, const QDateTime& when) {
  parsefont(printer, live.titledetails);
  printer.WriteLine(title);
  parsefont(printer, live.subtitledetails);
  printer.WriteLine(nameline);
  printer.WriteLine("Date/Time: " + ShortDateLongTime(when, QLocale::system()));
  printer.WriteLine("");
}

void WriteQueryReport(TPagePrinter& printer, const LiveSettings& live, const std::string& sitename,
                      const QueryListModel& querylist, const QDateTime& when) {
  printer.BeginDoc();
  WriteReportHeadings(printer, live, "Ferrowyn! Query Report", "Query Name: " + sitename, when);
  printer.SetTableFormat("<4|<1|<3");
  printer.SetWordWrap(true);
  printer.SetGridLines(true);
  parsefont(printer, live.bodydetails);
  printer.WriteTableRow("URL|Hits|Found");
  for (const QueryResultRow& row : QueryResultRows(querylist))
    printer.WriteTableCells({row.url, row.hits, row.found});
  printer.EndDoc();
}

}  // namespace ferrowyn
