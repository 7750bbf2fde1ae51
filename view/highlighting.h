// Marking the keywords of the last query in a stored page: the highlight keyword list, the
// colour and markup that wrap each occurrence, and the marking itself (`highlightkeywords`).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

// The colour text used when the highlight colour has no fixed RGB value.
inline constexpr std::string_view kHighlightFallbackColor = "#ff00ff";

// The closing half of the highlight markup.
inline constexpr std::string_view kHighlightClosing = "</b></font>";

// "#" and red, green, blue as six upper-case hexadecimal digits, from a colour value as the
// settings keep it (0x00BBGGRR, see base/color_text.h). Values above 0x00FFFFFF name system
// or palette colours, which have no fixed RGB value: they give kHighlightFallbackColor.
// Pure; any thread.
std::string HighlightColorString(std::uint32_t color);

// The opening half of the highlight markup: "<font color=" and a quotation mark, the colour
// text, a quotation mark and "><b>".
std::string HighlightOpening(std::string_view color);

// The highlight keyword list of a query's keyword text (`querykeywords`): the text trimmed
// and split by the keyword grammar (query/keyword_parsing.h), keeping repeats, so a keyword
// typed twice is marked twice. Pure; any thread.
std::vector<std::string> HighlightKeywordList(std::string_view querykeywords);

// Wraps every occurrence of each keyword outside tags in the highlight markup for `color`.
// Keywords are applied in list order, each to the text as the ones before it left it, so a
// keyword inside an earlier one's marked text is marked again (nested markup); empty
// keywords are skipped. For each keyword a scan runs from the front: "<" starts a tag and
// ">" ends it, and nothing inside a tag (attribute values, earlier markup) is marked.
//  - wholeword false: any occurrence outside a tag is marked, also inside a longer word;
//    the scan goes on behind it.
//  - wholeword true: only an occurrence between a left boundary (">", a blank, or
//    "&nbsp;") and a right boundary (a blank, or "<" unless the left one is "&nbsp;") is
//    marked; the markup goes between the boundaries, and the scan goes on at the right
//    boundary, which may so be the left boundary of the next occurrence. Punctuation and
//    the ends of the text are no boundaries.
// With matchcase false, ASCII letters compare regardless of case (the boundary "&nbsp;"
// too); other bytes compare exactly. The text keeps its own spelling.
// Runs in time linear in the length of the text for each keyword. Pure; any thread.
std::string highlightkeywords(std::string_view text, const std::vector<std::string>& keywords,
                              std::string_view color, bool matchcase, bool wholeword);

}  // namespace ferrowyn
