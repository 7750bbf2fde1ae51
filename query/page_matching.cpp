// Page matching in one forward pass per keyword: the page is lowered once, never cut or
// copied per occurrence, and each search resumes where the previous occurrence left off.
#include "query/page_matching.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "base/byte_scan.h"
#include "base/case_folding.h"
#include "store/qdb_errors.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ferrowyn {

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// Copies `text` to `out` with A-Z lowered. This pass over the page costs more than a
// search for one keyword, so it goes sixteen bytes at a time where it can.
void LowerAsciiInto(std::string_view text, char* out) {
  const char* in = text.data();
  const std::size_t n = text.size();
  std::size_t i = 0;
#if defined(__SSE2__)
  // Signed byte compares: bytes from 0x80 up are negative and so never taken for capitals.
  const __m128i below_a = _mm_set1_epi8('A' - 1);
  const __m128i above_z = _mm_set1_epi8('Z' + 1);
  const __m128i case_bit = _mm_set1_epi8(0x20);
  for (; n - i >= 16; i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i upper = _mm_and_si128(_mm_cmpgt_epi8(x, below_a), _mm_cmplt_epi8(x, above_z));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_or_si128(x, _mm_and_si128(upper, case_bit)));
  }
#endif
  for (; i < n; ++i) out[i] = AsciiLower(in[i]);
}

// First occurrence of `needle` (not empty) in `hay` starting at or after `from`.
// Candidates are the places where both the needle's first and its last byte fit, sixteen
// at a time; only those are compared in full. On English-like pages this measured about
// twice as fast as a first-byte scan (memchr) or memmem, since most places that hold a
// common first letter fail the last-byte test.
std::size_t FindFrom(std::string_view hay, std::string_view needle, std::size_t from) {
  const std::size_t n = hay.size();
  const std::size_t m = needle.size();
  if (from > n || n - from < m) return kNotFound;
  const char* h = hay.data();
  const char* k = needle.data();
  std::size_t i = from;
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi8(k[0]);
  const __m128i last = _mm_set1_epi8(k[m - 1]);
  const std::size_t middle = m > 2 ? m - 2 : 0;
  while (n - i >= m - 1 + 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h + i + m - 1));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
    while (mask != 0) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
      if (std::memcmp(h + i + bit + 1, k + 1, middle) == 0) return i + bit;
      mask &= mask - 1;
    }
    i += 16;
  }
#endif
  return hay.find(needle, i);
}

bool OpensWord(char c) { return c == ' ' || c == '>'; }
bool ClosesWord(char c) { return c == ' ' || c == '<'; }

// Occurrences of `needle` in `page`, plain: each search starts one character past the end
// of the previous occurrence.
std::int64_t CountPlain(std::string_view page, std::string_view needle,
                        const std::atomic<bool>& Stopping) {
  std::int64_t count = 0;
  if (needle.empty()) return 0;  // an empty text is never found by a plain search
  std::size_t start = 0;
  while (!Stopping.load(std::memory_order_relaxed)) {
    const std::size_t at = FindFrom(page, needle, start);
    if (at == kNotFound) break;
    ++count;
    start = at + needle.size() + 1;
  }
  return count;
}

// Occurrences of `needle` as a whole word. Offsets below are into the page as if it were
// wrapped in one blank on each side: the word pattern (boundary, needle, boundary) starting
// at wrapped offset j holds the needle at page offset j, its opening boundary at page
// offset j - 1 (the wrapping blank when j is 0) and its closing one at page offset j + m
// (the wrapping blank when that is the page's end). `start` is where the part of the
// wrapped page still to be searched begins.
std::int64_t CountWholeWords(std::string_view page, std::string_view needle,
                             const std::atomic<bool>& Stopping) {
  const std::size_t n = page.size();
  const std::size_t m = needle.size();
  std::int64_t count = 0;
  std::size_t start = 0;
  while (!Stopping.load(std::memory_order_relaxed)) {
    std::size_t j = start;
    for (;; ++j) {
      if (m == 0) {
        // The empty needle sits everywhere; the wrapped page has room for the two
        // boundaries up to j == n.
        if (j > n) j = kNotFound;
      } else {
        j = FindFrom(page, needle, j);
      }
      if (j == kNotFound) break;
      const char before = j == 0 ? ' ' : page[j - 1];
      const char after = j + m == n ? ' ' : page[j + m];
      if (OpensWord(before) && ClosesWord(after)) break;
    }
    if (j == kNotFound) break;
    // A match further into the remaining text than the page is long does not count. The
    // remaining text is the wrapped page (n + 2 long) or, once cut, at most n - 1 long, so
    // this only ever turns down an empty keyword's first match, when it opens at the
    // wrapping blank after the page's last character.
    if (j - start + 1 > n) break;
    ++count;
    start = j + m + 3;  // the pattern (m + 2) and the character after it
  }
  return count;
}

}  // namespace

PageMatcher::PageMatcher(std::vector<std::string> KeywordList, MatchOptions options)
    : keywords_(std::move(KeywordList)), options_(options) {
  needles_.reserve(keywords_.size());
  class_of_.reserve(keywords_.size());
  std::unordered_map<std::string, std::size_t> first_of_class;
  for (std::size_t i = 0; i < keywords_.size(); ++i) {
    std::string needle = keywords_[i];
    if (!options_.MatchCase)
      for (char& c : needle) c = AsciiLower(c);
    needles_.push_back(std::move(needle));
    std::string folded = keywords_[i];
    for (char& c : folded) c = Latin1Lower(c);
    class_of_.push_back(first_of_class.emplace(std::move(folded), i).first->second);
  }
  counts_.resize(keywords_.size());
  named_.resize(keywords_.size());
}

PageMatch PageMatcher::MatchPage(std::string_view PageText, const std::atomic<bool>& Stopping) {
  PageMatch result;
  std::string_view searched = PageText;
  if (!options_.MatchCase && !keywords_.empty()) {
    lowered_.resize(PageText.size());
    LowerAsciiInto(PageText, lowered_.data());
    searched = lowered_;
  }

  std::int64_t total = 0;
  for (std::size_t i = 0; i < needles_.size(); ++i) {
    counts_[i] = options_.WholeWord ? CountWholeWords(searched, needles_[i], Stopping)
                                    : CountPlain(searched, needles_[i], Stopping);
    if (Stopping.load(std::memory_order_relaxed)) return PageMatch{};
    // In "All" mode one keyword missing settles it: the page is not listed.
    if (!options_.MatchAny && counts_[i] == 0) return PageMatch{};
    total += counts_[i];
  }

  if (!options_.MatchAny) {
    result.Matches = true;
    result.Hits = total;
    result.FoundText = "All";
    return result;
  }
  if (total == 0) return result;
  result.Matches = true;
  result.Hits = total;
  std::fill(named_.begin(), named_.end(), 0);
  bool first = true;  // an empty keyword (whole word) is named too, as an empty entry
  for (std::size_t i = 0; i < keywords_.size(); ++i) {
    if (counts_[i] == 0 || named_[class_of_[i]]) continue;
    named_[class_of_[i]] = 1;
    if (!first) result.FoundText += " | ";
    result.FoundText += keywords_[i];
    first = false;
  }
  return result;
}

namespace {

// Makes the page text of the record at buffer[1 .. 1 + n) in place, from buffer[0] on, and
// returns its length: a blank before every line, so a blank where each line break (CR LF,
// CR or LF) was, except one that ends the record. Lines move down only behind a CR LF.
std::size_t RecordToPageTextInPlace(char* buffer, std::size_t n) {
  if (n == 0) return 0;
  static const ByteFinder kLineBreak("\r\n");
  const std::string_view record(buffer + 1, n);
  buffer[0] = ' ';
  std::size_t written = 1;
  std::size_t line = 0;  // where the current line begins in the record
  kLineBreak.ForEach(record, 0, [&](std::size_t end) {
    if (end < line) return true;  // the LF of a CR LF just passed
    std::memmove(buffer + written, record.data() + line, end - line);
    written += end - line;
    line = end + 1;
    if (record[end] == '\r' && line < n && record[line] == '\n') ++line;
    if (line < n) buffer[written++] = ' ';
    return true;
  });
  std::memmove(buffer + written, record.data() + line, n - line);
  return written + (n - line);
}

}  // namespace

std::string PageTextFromRecord(std::string_view record) {
  std::string text(record.size() + 1, ' ');
  if (!record.empty()) std::memcpy(text.data() + 1, record.data(), record.size());
  text.resize(RecordToPageTextInPlace(text.data(), record.size()));
  return text;
}

std::string QueryPageTextOf(const QueryPage& page, const TQDB::PlaceReader* reader) {
  if (page.text) return *page.text;
  if (!reader) throw EQDBNoFile(std::string(qdb_text::kNoFile));
  std::string record = reader->Read(page.place);
  if (!page.crawled) return PageTextFromRecord(record);
  // The crawl's text holds no line break: the record is that text and CR LF.
  if (record.ends_with("\r\n")) record.resize(record.size() - 2);
  return record;
}

std::string_view QueryPageTextInto(const QueryPage& page, const TQDB::PlaceReader* reader,
                                   PageReadBuffers& buffers) {
  if (page.text) return *page.text;
  if (!reader) throw EQDBNoFile(std::string(qdb_text::kNoFile));
  // One byte is left free in front of the record for the blank that opens the page text.
  const std::size_t n = reader->ReadInto(page.place, buffers.stored, buffers.text, 1);
  if (n == 0) return {};
  char* const record = buffers.text.data();
  if (!page.crawled) return {record, RecordToPageTextInPlace(record, n)};
  std::string_view text(record + 1, n);
  if (text.ends_with("\r\n")) text.remove_suffix(2);
  return text;
}

}  // namespace ferrowyn
