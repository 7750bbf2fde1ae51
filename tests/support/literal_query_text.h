// Slow reference version of the query text conversion, written step for step as the
// classic algorithm searches the whole text from its start again after every removal.
// Tests compare crawl/query_text.h against it; nothing else should use it.
#pragma once

#include <string>

namespace ferrowyn::testing {

std::string LiteralMakeQueryText(std::string text, bool WithinTags, bool WithinTitles,
                                 bool WithinComments);

}  // namespace ferrowyn::testing
