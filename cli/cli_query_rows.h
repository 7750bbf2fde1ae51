// The results list on standard output, shared by "query" and "crawl --keywords".
#pragma once

#include <QStandardItemModel>
#include <cstdio>

namespace ferrowyn::cli {

// One line per row: URL, a tab, the hits, a tab, the keywords found.
void PrintQueryList(const QStandardItemModel& querylist, std::FILE* out);

}  // namespace ferrowyn::cli
