// Sorting the results list by a column header: ascending every time, as the window's
// header click and ferrowyn-cli's --sort do it.
#pragma once

#include "query/query_list_model.h"

namespace ferrowyn {

// Sorts the results list `querylist` (columns "URL", "Hits", "Found") once by `column`:
// 0 by URL, 1 by the number of hits as a whole number, highest first, anything else by
// the "Found" text. URL and text compare without regard to the case of ASCII letters.
// Rows whose hit text is not a whole number compare equal to one another and follow the
// numbered rows. Rows that compare equal keep their order. GUI thread only.
void SortQueryList(QueryListModel& querylist, int column);

}  // namespace ferrowyn
