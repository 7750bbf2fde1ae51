// The printed reports' documents: the heading lines every report starts with and the
// query report of the results list, written into a page printer by the preview dialog
// and by ferrowyn-cli alike.
#pragma once

#include <QDateTime>
#include <string>

#include "app/live_settings.h"
#include "query/query_list_model.h"
#include "view/page_printer.h"

namespace ferrowyn {

// The message shown when a query report cannot be laid out.
inline constexpr char kQueryReportFailed[] =
    "There was an error while trying to generate the query. Please note that you must have a "
    "default printer installed.";

// `printer`'s font becomes the font that `description` (a font description of the
// settings) reads as. Throws EFontDescriptionError when the description cannot be read.
void parsefont(TPagePrinter& printer, const std::string& description);

// In the title font (`live.titledetails`): `title`; in the subtitle font: `nameline`,
// "Date/Time: " with `when` in the user's short date and long time formats, and an empty
// line. Throws EFontDescriptionError as parsefont.
void WriteReportHeadings(TPagePrinter& printer, const LiveSettings& live, const std::string& title,
                         const std::string& nameline, const QDateTime& when);

// The whole query report from BeginDoc to EndDoc: the headings for `sitename`, then in the
// body font a table "<4|<1|<3" with grid lines and word wrap: "URL|Hits|Found" and one
// row per line of `querylist` in list order, each cell whole (a "Found" text such as
// "tide | moon" stays in its column). Throws EFontDescriptionError or
// EPagePrinterError; what was written before stays laid out. GUI thread.
void WriteQueryReport(TPagePrinter& printer, const LiveSettings& live, const std::string& sitename,
                      const QueryListModel& querylist,
                      const QDateTime& when = QDateTime::currentDateTime());

}  // namespace ferrowyn
