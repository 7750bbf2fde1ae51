// The keyword grammar: a keyword text (what the user typed into the keyword field) split
// into single words and "quoted phrases", the list a query looks for and the viewer marks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

// Whether a keyword that is already listed (compared without regard to letter case) is
// listed again. Queries drop repeats; the viewer's highlight list keeps them, since a
// keyword listed twice is marked twice.
enum class KeywordRepeats { kDrop, kKeep };

// Splits a keyword text, reading it one character at a time:
//  - a quotation mark ends what is being collected. When it closes a phrase, the phrase is
//    listed exactly as typed, inner and outer blanks included, even when empty; when it
//    opens one, whatever was collected since the last separator is dropped (so a word
//    glued to the front of a phrase is lost, while one glued to its end starts a new word);
//  - outside a phrase, a blank (the space character only) ends a word: the word, trimmed of
//    blanks and control characters (bytes up to 0x20), is listed unless it is empty;
//  - every other character, and a blank inside a phrase, joins the piece being collected;
//  - at the end, the unfinished word or unclosed phrase is trimmed and listed unless empty.
// Entries keep their letter case. With KeywordRepeats::kDrop an entry equal to an earlier
// one under the store's key collation (ASCII and Latin-1 letters folded) is left out, so
// the first spelling wins. Takes time linear in the length of `text` (plus hashing).
// Pure; safe on any thread; throws only std::bad_alloc.
std::vector<std::string> SplitKeywords(std::string_view text, KeywordRepeats repeats);

// The keyword list of a query: SplitKeywords without repeats. The caller has trimmed the
// text and refused one holding "|". Each call returns a fresh list owned by the caller
// (every query worker gets its own). Pure; safe on any thread.
std::vector<std::string> parsekeywords(std::string_view text);

}  // namespace ferrowyn
