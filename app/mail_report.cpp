// The printed mail list.
#include "app/mail_report.h"

#include "app/report_printing.h"

namespace ferrowyn {

void WriteMailReport(TPagePrinter& printer, const LiveSettings& live, const std::string& sitename,
                     const std::vector<std::string>& lines, const QDateTime& when) {
  printer.BeginDoc();
  WriteReportHeadings(printer, live, "Ferrowyn Mail Address Capture", "Site Name: " + sitename,
                      when);
  printer.SetWordWrap(true);
  parsefont(printer, live.bodydetails);
  for (const std::string& line : lines) printer.WriteLine(line);
  printer.EndDoc();
}

}  // namespace ferrowyn
