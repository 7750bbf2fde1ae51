// Matching one page's query text against a query's keyword list: whether the page is listed,
// its hit count and the "Found" cell of its result row. The scanning a query worker does.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/query_queue.h"

namespace ferrowyn {

// The three options of a query, copied from the search page when the query starts.
struct MatchOptions {
  bool MatchAny = true;    // "Any" (true) or "All"
  bool WholeWord = false;  // "Match Whole Word Only"
  bool MatchCase = false;  // "Match Case"
};

// What a page contributes to the results list. A page that does not match (or whose
// matching was stopped) is the default value: not listed, no hits, no text.
struct PageMatch {
  bool Matches = false;
  std::int64_t Hits = 0;  // the "Hits" cell and what the page adds to "Number of Hits"
  std::string FoundText;  // "All", or the keywords found, in list order, joined with " | "

  friend bool operator==(const PageMatch&, const PageMatch&) = default;
};

// The matcher of one query worker. It prepares the keyword list once (the lowered copies
// when case does not matter, and which keywords are the same ignoring case) and keeps its
// scratch buffers from page to page, so it belongs to one thread and is never shared.
//
// Counting, per keyword, scanning the page from its front:
//  - plain: each occurrence counts; the scan goes on after the character that follows it,
//    which is never examined, so "aa" counts once in "aaaa" and twice in "aaaaa";
//  - whole word: the page is taken as wrapped in one blank on each side, and an occurrence
//    counts when a blank or ">" stands right before it and a blank or "<" right after; the
//    scan goes on two characters past the keyword (the closing boundary and the one after
//    it are used up). Punctuation, tabs and line breaks are not boundaries. An empty
//    keyword therefore matches wherever a blank or ">" is followed by a blank or "<". A
//    match lying further into the text still to be searched than the page is long does
//    not count; that only happens to an empty keyword's first match when it opens at the
//    wrapping blank after the page (so on "ab " or "" it is not found, on " ab " twice);
//  - an empty keyword is never found by plain matching;
//  - case is ignored, when it is, by lowering ASCII A-Z only: accented letters keep their
//    case, so Latin-1 0xC9 (capital E acute) and 0xE9 (small e acute) differ here.
// "All" lists the page when every keyword is found at least once (an empty list always),
// with the sum of all occurrences and "All". "Any" lists it when some keyword is found,
// with the sum of all occurrences and the keywords found. A keyword equal ignoring case to
// one already named in "Found" (under the key collation, ASCII and Latin-1 letters folded,
// the comparison that keeps such repeats out of a parsed keyword list) is not named again;
// its hits still count.
class PageMatcher {
 public:
  // Takes its own copy of the list. Any thread; throws only std::bad_alloc.
  PageMatcher(std::vector<std::string> KeywordList, MatchOptions options);

  // Matches one page text. Runs on the owning worker's thread. `Stopping` is polled before
  // every search, so a set flag ends the call promptly; the result is then the default
  // (not listed). Time is linear in the page length for each keyword (times the keyword
  // length only on pathological, self-overlapping texts). Throws only std::bad_alloc.
  PageMatch MatchPage(std::string_view PageText, const std::atomic<bool>& Stopping);

  const std::vector<std::string>& KeywordList() const { return keywords_; }
  const MatchOptions& Options() const { return options_; }

 private:
  std::vector<std::string> keywords_;  // as given: "Found" names them so
  MatchOptions options_;
  std::vector<std::string> needles_;   // what is searched: lowered unless MatchCase
  std::vector<std::size_t> class_of_;  // index of the first keyword equal ignoring case
  std::string lowered_;                // scratch: the page with A-Z lowered
  std::vector<std::int64_t> counts_;   // scratch: occurrences of each keyword
  std::vector<char> named_;            // scratch: which case classes "Found" already names
};

// The text of a page read back from its stored query record: a blank, then the line, for
// every line in order (lines end at CR LF, CR or LF; so the text begins with a blank and
// line breaks become blanks). Pure; any thread.
std::string PageTextFromRecord(std::string_view record);

// The text a worker matches for `page`: the text it carries, or its record read through
// `reader` (as the crawl made it, or as PageTextFromRecord makes it). Any thread. Throws
// the store's errors when the record cannot be read (EQDBNoFile without a reader).
std::string QueryPageTextOf(const QueryPage& page, const TQDB::PlaceReader* reader);

// What one worker keeps from page to page to read pages without copying them around.
struct PageReadBuffers {
  ItemBuffer stored;  // a record's stored form
  ItemBuffer text;    // the record expanded, then the page text made from it in place
};
// QueryPageTextOf without a copy: a view of the text the page carries, or of its record
// read into `buffers` and made into the page text where it lies. The view lasts while the
// page does and until the buffers are used again. Same texts and errors as QueryPageTextOf.
std::string_view QueryPageTextInto(const QueryPage& page, const TQDB::PlaceReader* reader,
                                   PageReadBuffers& buffers);

}  // namespace ferrowyn
