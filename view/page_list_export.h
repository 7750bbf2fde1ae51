// The page list exported as an HTML page: the page's bytes from the site name, a date and
// time text and the page list rows. Titles and URLs come from pages on the network and the
// page is opened in a web browser, so every text is written so that it cannot add markup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/site_layout.h"

namespace ferrowyn {

// `text` with "&", "<" and ">" written as "&amp;", "&lt;" and "&gt;", so that it shows
// as typed in the page's body. Pure; any thread.
std::string EscapeHtmlText(std::string_view text);

// `value` between double quotation marks, each quotation mark inside written as "&quot;",
// for an attribute value. Nothing else is touched: a link's "&" stays as the site wrote
// it, which is how its own page handed it to the browser. Pure; any thread.
std::string QuoteHtmlAttribute(std::string_view value);

// The export's lines, each followed by CR LF: the head, "Site Name: " + `sitename`,
// "Date/Time: " + `datetime`, one link per row in the given order, and the footer.
// `sitename` and each title are escaped, each URL quoted. Pure; any thread.
std::string MakePageListExport(std::string_view sitename, std::string_view datetime,
                               const std::vector<PageListRow>& rows);

}  // namespace ferrowyn
