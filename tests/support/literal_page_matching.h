// Slow reference version of page matching, written step for step as the classic worker
// scans: search from the front of the remaining text, then cut the text with a copy after
// every occurrence. Tests and the fuzz target compare query/page_matching.h against it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "query/page_matching.h"

namespace ferrowyn::literal {

// The hit count and "Found" text of one page; a page that is not listed gives the default
// PageMatch. Quadratic in the page length; keep pages to a few kilobytes.
PageMatch MatchPage(std::string_view PageText, const std::vector<std::string>& KeywordList,
                    MatchOptions options);

}  // namespace ferrowyn::literal
