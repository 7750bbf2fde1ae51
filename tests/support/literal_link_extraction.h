// Slow reference versions of link extraction and page assembly, written step for step as
// the classic algorithms rescan and cut the text from the front. Tests compare the fast
// versions in crawl/ against these on generated pages; nothing else should use them.
#pragma once

#include <string>
#include <vector>

namespace ferrowyn::testing {

// Deletes comments by repeated first-occurrence searches over the whole text.
std::string LiteralRemoveComments(std::string text);

// The title and the values handed to link resolution, in order.
struct LiteralLinkScan {
  std::string title;
  std::vector<std::string> values;
};

// Comment removal, title, entities in the title, "Untitled", and the keyword scan, over a
// page text, cutting a copy of it from the front and lower-casing the rest for each search;
// numeric character references to printable characters other than the blank are decoded
// in each value.
LiteralLinkScan LiteralScanPage(std::string page_text, const std::vector<std::string>& file_types);

// The page text assembly: join the lines (split again at CR LF, CR and LF) with a space
// before each trimmed piece, replace "&amp;", "&quot;", "&copy" until none is left (the
// display text), then CR, LF, tab and "&nbsp;" become spaces (the page text).
struct LiteralAssembledPage {
  std::string display_text;
  std::string page_text;
};
LiteralAssembledPage LiteralAssemblePage(const std::vector<std::string>& page_lines);

}  // namespace ferrowyn::testing
