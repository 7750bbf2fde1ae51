// The printed mail list: the mail miner's addresses under the report headings, written
// into a page printer by the mail miner's preview and by ferrowyn-cli alike.
#pragma once

#include <QDateTime>
#include <string>
#include <vector>

#include "app/live_settings.h"
#include "view/page_printer.h"

namespace ferrowyn {

// Shown when the list cannot be laid out (a printing font the settings cannot read).
inline constexpr char kMailPrintFailed[] = "There was an error while printing mail addresses.";

// The whole document from BeginDoc to EndDoc: "Ferrowyn Mail Address Capture" and
// "Site Name: " `sitename` as headings (app/report_printing.h), then in the body font,
// word wrap on, each of `lines` in order as a line of text. Throws EFontDescriptionError
// when a font description of `live` cannot be read; what was written before stays laid
// out. GUI thread.
void WriteMailReport(TPagePrinter& printer, const LiveSettings& live, const std::string& sitename,
                     const std::vector<std::string>& lines,
                     const QDateTime& when = QDateTime::currentDateTime());

}  // namespace ferrowyn
