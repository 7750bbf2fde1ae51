// The query text of a page: the page text with its title, comments, scripts, styles and
// tags taken out (as the search-within settings say), which is what queries search.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

namespace ferrowyn {

// What a query may search besides the page's plain text; the worker copies them from the
// setup dialog (`searchwithinall`, `searchwithintitles`, `searchwithincomments`) when it
// is created.
struct QueryTextSettings {
  bool WithinTags = false;      // keep every tag (and skip the script and style removal)
  bool WithinTitles = false;    // keep the title
  bool WithinComments = false;  // keep "<!-- ... -->" comments
};

// Converts a page text (see page_assembly.h) to its query text, on a copy, in this order:
//  1. Unless WithinTitles: when the text holds "<title>" and "</title>" (any case) and the
//     first "</title>" comes after the first "<title>", that stretch goes, once.
//  2. Unless WithinComments: while the first "-->" comes after the first "<!--", that
//     "<!--" through that "-->" goes; the text that closes up is searched again.
//  3. Unless WithinTags: the same repeated removal for "<script" ... "</script>", then for
//     "<style" ... "</style>" (any case). Then the tags, from the front: a ">" before the
//     first "<" goes; once no "<" or no ">" is left the rest stays. The tag from the first
//     "<" through the first ">", compared lower-cased, is replaced by one space when it is
//     exactly one of "<hr>", "</center>", "<li>", "<dt>", "<dd>", "</ul>", "</ol>",
//     "</dl>", "</table>", "<blockquote>", "</blockquote>", "</div>", "</form>", "<br>",
//     "<p>", "</td>", "</th>", "</tr>" or begins with "<form", "<h", "</h", "<p align",
//     "<div", "<td", "<th", "<tr" (but "<html>" and "<head>" go); any other tag goes; an
//     "<eof>" tag goes and ends the tag removal, so tags after it stay.
// No entity is decoded. Runs in time linear in the length of the text (the result is the
// one that rescanning from the front after every removal gives). Pure; safe on any
// thread; throws only std::bad_alloc.
std::string MakeQueryText(std::string_view PageText, const QueryTextSettings& settings);

// The same, but empty once the worker has been told to stop (`Stopping`).
std::string MakeQueryText(std::string_view PageText, const QueryTextSettings& settings,
                          const std::atomic<bool>& Stopping);

}  // namespace ferrowyn
