// Slow reference versions of the keyword splitting and of the graphic-free rendering,
// written step for step as the classic algorithms work: every search starts again at the
// front of the text, and markup is inserted into the text in place. Tests and fuzz targets
// compare the linear versions (query/keyword_parsing.h, view/*_rendering.h,
// view/highlighting.h) against them; nothing else should use them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn::testing {

// The keyword list, with repeats found by walking the list (keep_repeats: the viewer's
// copy of the grammar).
std::vector<std::string> LiteralSplitKeywords(const std::string& text, bool keep_repeats);

// The text-only conversion: "<eof>" appended, then title, scripts, styles, comments and
// the tag scan, each by first-occurrence searches over a fresh lower-cased copy.
std::string LiteralFormatHtmlTags(std::string text);

// The text-only rendering's lines: cutting at the first marker again and again, then
// deleting the first of two blank lines and starting over until no pair is left.
std::vector<std::string> LiteralTextOnlyLines(std::string text);

// Keyword highlighting by a character scan that inserts the markup into the text.
std::string LiteralHighlightKeywords(std::string text, const std::vector<std::string>& keywords,
                                     const std::string& color, bool matchcase, bool wholeword);

// The HTML rendering's title removal; returns the caption.
std::string LiteralTakeTitle(std::string& text);

// A page for generated tests: each byte of `seed` picks one piece (a tag, a marker, a word,
// a blank, an entity, a placeholder byte...) from a small vocabulary chosen so that the
// rules of the conversion and of the highlighting meet often.
std::string PageFromTokens(std::string_view seed);

// Keywords for generated tests, drawn from the words PageFromTokens uses.
std::vector<std::string> KeywordsFromTokens(std::string_view seed);

}  // namespace ferrowyn::testing
