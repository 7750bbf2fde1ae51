// The results list on standard output, shared by "query" and "crawl --keywords".
#pragma once

#include <cstdio>

#include "query/query_list_model.h"

namespace ferrowyn::cli {

// One line per row: URL, a tab, the hits, a tab, the keywords found.
void PrintQueryList(const QueryListModel& querylist, std::FILE* out);

}  // namespace ferrowyn::cli
