// A query report of the search center's results list, gathered one way for every writer
// of query files (the "&Query" menu's save and ferrowyn-cli), and a read query file put
// back into the search center's query state and results list.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <string>
#include <vector>

#include "app/search_center_state.h"
#include "query/query_list_model.h"
#include "store/query_file.h"

namespace ferrowyn {

// The date in the locale's short date format, a blank and the time in its long time
// format, as 8-bit text: blanks the code page lacks (such as a narrow no-break space)
// become plain blanks, other characters it lacks become "?".
std::string ShortDateLongTime(const QDateTime& when, const QLocale& locale);

// The rows of a results list with the columns "URL", "Hits" and "Found", in list order.
std::vector<QueryResultRow> QueryResultRows(const QueryListModel& querylist);

// The report of the results now listed: the site they belong to (`querysitename`, or
// `sitename` while the results name no saved site), the query's text and options, the
// rows, and `when` in the user's formats (QLocale::system()). GUI thread.
QueryReport GatherQueryReport(const SearchCenterState& state, const QueryListModel& querylist,
                              const QDateTime& when = QDateTime::currentDateTime());

// Empties the results list and fills it with the file's rows; the site name and the
// search text become the file's (empty when it gives none); an option the file does not
// give keeps its value. GUI thread.
void LoadQueryReport(const QueryFileContents& contents, SearchCenterState& state,
                     QueryListModel& querylist);

}  // namespace ferrowyn
