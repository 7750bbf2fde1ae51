// Page assembly: turns a retrieved page's lines into the one-line texts that the crawl
// stores (the display text) and scans (the page text).
#pragma once

#include <string>
#include <vector>

namespace ferrowyn {

// The two texts of one page. Both are empty exactly when the page had no lines.
struct AssembledPage {
  // The lines joined into one, with "&amp;", "&quot;" and "&copy" decoded: what the page's
  // display record holds (followed by CR LF there).
  std::string DisplayText;
  // The display text with CR, LF and tab made spaces and "&nbsp;" made a space: the input
  // of the query text conversion and of link extraction.
  std::string PageText;
};

// Joins `PageLines` and decodes the entities:
//  1. Every line is split again at CR LF, CR and LF; each piece, trimmed of the characters
//     of code 32 and below at both ends, is appended after one space. So the text begins
//     with a space and an empty piece adds a space of its own.
//  2. "&amp;" becomes "&" until none is left (so "&amp;amp;" ends as "&"); then "&quot;"
//     becomes a quotation mark and "&copy" the character 169 (a ";" after it stays).
//     Matches are exact in letter case. This is DisplayText.
//  3. CR, LF and tab become spaces, then "&nbsp;" (exact case) becomes a space: PageText.
// Linear in the size of the page; pure; throws only std::bad_alloc.
AssembledPage AssemblePage(const std::vector<std::string>& PageLines);

}  // namespace ferrowyn
