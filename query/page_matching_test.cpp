// Page matching: the counting rules on hand-made pages (each checked against the slow
// reference too), and the fast matcher against the reference on generated pages.
#include "query/page_matching.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "query/keyword_parsing.h"
#include "tests/support/literal_page_matching.h"
#include "tests/support/qdb_test_files.h"
#include "tests/support/test_seed.h"

namespace ferrowyn {

void PrintTo(const PageMatch& m, std::ostream* os) {
  *os << "{" << m.Matches << ", " << m.Hits << ", \"" << m.FoundText << "\"}";
}

namespace {

constexpr MatchOptions kAny{true, false, false};
constexpr MatchOptions kAll{false, false, false};
constexpr MatchOptions kAnyWord{true, true, false};
constexpr MatchOptions kAllWord{false, true, false};
constexpr MatchOptions kAnyCase{true, false, true};

const PageMatch kNotListed{};

PageMatch Listed(std::int64_t hits, std::string found) { return PageMatch{true, hits, found}; }

// Matches with a fresh matcher and insists that the reference agrees.
PageMatch Match(std::string_view page, const std::vector<std::string>& keywords,
                MatchOptions options) {
  std::atomic<bool> stopping{false};
  PageMatcher matcher(keywords, options);
  const PageMatch fast = matcher.MatchPage(page, stopping);
  EXPECT_EQ(fast, literal::MatchPage(page, keywords, options))
      << "page \"" << page << "\" any " << options.MatchAny << " word " << options.WholeWord
      << " case " << options.MatchCase;
  return fast;
}

std::int64_t Hits(std::string_view page, const std::string& keyword, MatchOptions options) {
  return Match(page, {keyword}, options).Hits;
}

TEST(PageMatchingModes, AllNeedsEveryKeywordAnyNeedsOne) {
  const std::vector<std::string> keywords = {"river", "stone"};
  EXPECT_EQ(Match(" the river bank", keywords, kAll), kNotListed);
  EXPECT_EQ(Match(" a stone wall", keywords, kAll), kNotListed);
  EXPECT_EQ(Match(" the river bank", keywords, kAny), Listed(1, "river"));
  EXPECT_EQ(Match(" a stone wall", keywords, kAny), Listed(1, "stone"));
  // Three of one and two of the other: every occurrence counts.
  EXPECT_EQ(Match(" river stone river stone river", keywords, kAll), Listed(5, "All"));
  EXPECT_EQ(Match(" river stone river stone river", keywords, kAny), Listed(5, "river | stone"));
  // The keyword that is missing may stand anywhere in the list, last included.
  EXPECT_EQ(Match(" stone", {"stone", "river", "stone2"}, kAll), kNotListed);
  EXPECT_EQ(Match(" river stone", {"stone", "river", "moss"}, kAll), kNotListed);
  EXPECT_EQ(Match(" river stone", {"moss", "stone", "river"}, kAll), kNotListed);
}

TEST(PageMatchingModes, FoundListsKeywordsInListOrderAsSpelledThere) {
  EXPECT_EQ(Match(" Stone before RIVER", {"river", "stone", "moss"}, kAny),
            Listed(2, "river | stone"));
  EXPECT_EQ(Match(" x", {"x", "y"}, kAny), Listed(1, "x"));
}

TEST(PageMatchingModes, EmptyKeywordListListsEveryPageInAllModeAndNoneInAnyMode) {
  EXPECT_EQ(Match(" anything", {}, kAll), Listed(0, "All"));
  EXPECT_EQ(Match("", {}, kAllWord), Listed(0, "All"));
  EXPECT_EQ(Match(" anything", {}, kAny), kNotListed);
}

TEST(PageMatchingCounting, CharacterAfterAnOccurrenceIsSkipped) {
  EXPECT_EQ(Hits("aaaa", "aa", kAny), 1);
  EXPECT_EQ(Hits("aaaaa", "aa", kAny), 2);
  EXPECT_EQ(Hits("abab", "ab", kAny), 1);  // written twice with nothing between
  EXPECT_EQ(Hits("ab ab", "ab", kAny), 2);
  EXPECT_EQ(Hits("abxab", "ab", kAny), 2);
  EXPECT_EQ(Hits(" riverriver river", "river", kAny), 2);
  // A phrase is one keyword, blanks and all.
  EXPECT_EQ(Match(" the old  mill, the old mill", {"old mill"}, kAny), Listed(1, "old mill"));
  EXPECT_EQ(Match(" a mill", {" mill"}, kAll), Listed(1, "All"));
  EXPECT_EQ(Match(" a mill", {"mill "}, kAll), kNotListed);
}

TEST(PageMatchingCounting, EmptyKeywordIsNeverFoundByPlainMatching) {
  EXPECT_EQ(Match(" a  b", {""}, kAny), kNotListed);
  EXPECT_EQ(Match(" a  b", {"", "a"}, kAll), kNotListed);
  EXPECT_EQ(Match(" a  b", {"", "a"}, kAny), Listed(1, "a"));
}

TEST(PageMatchingCase, OnlyAsciiLettersFoldWhenCaseDoesNotMatter) {
  EXPECT_EQ(Match(" Castle CASTLE castle", {"cAsTlE"}, kAny), Listed(3, "cAsTlE"));
  EXPECT_EQ(Match(" Castle CASTLE castle", {"Castle"}, kAnyCase), Listed(1, "Castle"));
  // Latin-1 capitals and their small forms are different letters to the search.
  EXPECT_EQ(Match(" CAF\xC9", {"caf\xE9"}, kAny), kNotListed);
  EXPECT_EQ(Match(" CAF\xC9", {"caf\xC9"}, kAny), Listed(1, "caf\xC9"));
  EXPECT_EQ(Match(" \xC9t\xC9", {"\xE9t\xE9"}, kAny), kNotListed);
  // The characters just outside A-Z ("@", "[") are not letters and keep their values.
  EXPECT_EQ(Match(" [@]", {"[@]"}, kAny), Listed(1, "[@]"));
  EXPECT_EQ(Match(" {`}", {"[@]"}, kAny), kNotListed);
  EXPECT_EQ(Match(" [x", {"{x"}, kAny), kNotListed);
  EXPECT_EQ(Match(" @x", {"`x"}, kAny), kNotListed);
  // The same on a page long enough to be lowered in blocks.
  const std::string pad(40, '.');
  EXPECT_EQ(Match(pad + "[x@x" + pad, {"{x"}, kAny), kNotListed);
  EXPECT_EQ(Match(pad + "[x@x" + pad, {"`x"}, kAny), kNotListed);
  EXPECT_EQ(Match(pad + "\xC9\xDE\xC0" + pad, {"\xE9\xFE\xE0"}, kAny), kNotListed);
  EXPECT_EQ(Match(pad + "ABCDEFGHIJKLMNOPQRSTUVWXYZ" + pad, {"abcdefghijklmnopqrstuvwxyz"}, kAny),
            Listed(1, "abcdefghijklmnopqrstuvwxyz"));
}

TEST(PageMatchingCase, KeywordsEqualIgnoringCaseAreNamedOnceAndCountedEach) {
  // Such lists do not come from the keyword parser, but the matcher still copes.
  const std::vector<std::string> twins = {"Castle", "castle"};
  EXPECT_EQ(Match(" Castle castle", twins, kAnyCase), Listed(2, "Castle"));
  EXPECT_EQ(Match(" castle", twins, kAnyCase), Listed(1, "castle"));
  EXPECT_EQ(Match(" castle", twins, kAny), Listed(2, "Castle"));
  // "Named once" uses the keyword list's own notion of equal, Latin-1 letters folded.
  EXPECT_EQ(Match(" \xC9t\xC9 \xE9t\xE9", {"\xC9t\xC9", "\xE9t\xE9"}, kAnyCase),
            Listed(2, "\xC9t\xC9"));
}

TEST(PageMatchingWholeWord, OnlyBlanksPageEndsAndAngleBracketsBound) {
  EXPECT_EQ(Hits(" word", "word", kAnyWord), 1);
  EXPECT_EQ(Hits("word", "word", kAnyWord), 1);  // the page's two ends
  EXPECT_EQ(Hits(" word, more", "word", kAnyWord), 0);
  EXPECT_EQ(Hits(" (word)", "word", kAnyWord), 0);
  EXPECT_EQ(Hits(" <b>word</b>", "word", kAnyWord), 1);
  EXPECT_EQ(Hits(" word<br>", "word", kAnyWord), 1);
  EXPECT_EQ(Hits(" <b>word", "word", kAnyWord), 1);
  EXPECT_EQ(Hits(" word>", "word", kAnyWord), 0);  // ">" opens only, "<" closes only
  EXPECT_EQ(Hits(" <word", "word", kAnyWord), 0);
  EXPECT_EQ(Hits(" a\tword\nb", "word", kAnyWord), 0);
  EXPECT_EQ(Hits(" swordfish words", "word", kAnyWord), 0);
  // A rejected occurrence does not hide a good one that overlaps it.
  EXPECT_EQ(Hits(" aaa aa", "aa", kAnyWord), 1);
  EXPECT_EQ(Hits(" xaa aa", "aa", kAnyWord), 1);
  EXPECT_EQ(Match(" The word   WORD", {"Word"}, kAllWord), Listed(2, "All"));
}

TEST(PageMatchingWholeWord, NeighboursNeedThreeBlanksBetweenThem) {
  EXPECT_EQ(Hits(" a a", "a", kAnyWord), 1);
  EXPECT_EQ(Hits(" a  a", "a", kAnyWord), 1);
  EXPECT_EQ(Hits(" a   a", "a", kAnyWord), 2);
  EXPECT_EQ(Hits(" a<a", "a", kAnyWord), 1);
  EXPECT_EQ(Hits(" a<>a", "a", kAnyWord), 1);
  EXPECT_EQ(Hits(" a< >a", "a", kAnyWord), 2);
}

TEST(PageMatchingWholeWord, EmptyKeywordMatchesBetweenBoundaries) {
  // Wherever a blank or ">" is followed by a blank or "<".
  EXPECT_EQ(Match(" a  b", {""}, kAnyWord), Listed(2, ""));
  EXPECT_EQ(Match("<p><b>x</b>", {""}, kAnyWord), Listed(3, ""));  // " <", "><", "> "
  EXPECT_EQ(Match("a>b", {""}, kAnyWord), kNotListed);
  EXPECT_EQ(Match(" ", {""}, kAnyWord), Listed(1, ""));
  EXPECT_EQ(Match("  ", {""}, kAnyWord), Listed(1, ""));
  EXPECT_EQ(Match("      ", {""}, kAnyWord), Listed(3, ""));
  // A match whose opening boundary is the wrapping blank after the page does not count:
  // its position lies past the page's length.
  EXPECT_EQ(Match("ab ", {""}, kAnyWord), kNotListed);
  EXPECT_EQ(Match("ab>", {""}, kAnyWord), kNotListed);
  EXPECT_EQ(Match("", {""}, kAnyWord), kNotListed);
  EXPECT_EQ(Match("", {""}, kAllWord), kNotListed);
  // Once the text has been cut, the same place lies within the length again.
  EXPECT_EQ(Match(" ab ", {""}, kAnyWord), Listed(2, ""));
  // Named like any other keyword, as an empty entry.
  EXPECT_EQ(Match("a  b", {"", "b"}, kAnyWord), Listed(2, " | b"));
  EXPECT_EQ(Match("a  b", {"b", ""}, kAnyWord), Listed(2, "b | "));
  EXPECT_EQ(Match("a  b", {"b", ""}, kAllWord), Listed(2, "All"));
}

TEST(PageMatchingStop, SetFlagEndsTheCallWithNothingListedAndTheMatcherStaysUsable) {
  std::atomic<bool> stopping{true};
  PageMatcher matcher({"a", "b"}, kAll);
  const std::string page(100000, 'a');
  EXPECT_EQ(matcher.MatchPage(page, stopping), kNotListed);
  stopping = false;
  EXPECT_EQ(matcher.MatchPage(" a b", stopping), Listed(2, "All"));
  PageMatcher any({"a"}, kAny);
  stopping = true;
  EXPECT_EQ(any.MatchPage(" a", stopping), kNotListed);
}

TEST(PageMatchingPageText, StoredLinesBecomeOneTextWithABlankBeforeEachLine) {
  EXPECT_EQ(PageTextFromRecord("first line\r\n\r\nthird\r\n"), " first line  third");
  EXPECT_EQ(PageTextFromRecord(""), "");
  EXPECT_EQ(PageTextFromRecord("\r\n"), " ");
  // Lines end at CR LF, a lone CR or a lone LF; the last needs no ending.
  EXPECT_EQ(PageTextFromRecord("a\rb\nc\r\r\nd"), " a b c  d");
  // A line break is one blank, too few to count a whole word on each of two lines.
  EXPECT_EQ(Match(PageTextFromRecord("word\r\nword\r\n"), {"word"}, kAnyWord), Listed(1, "word"));
  EXPECT_EQ(Match(PageTextFromRecord("word\r\n\r\n\r\nword\r\n"), {"word"}, kAnyWord),
            Listed(2, "word"));
}

// The page text of a record as described, a line at a time.
std::string LiteralPageText(const std::string& record) {
  std::string text, line;
  for (std::size_t i = 0; i < record.size(); ++i) {
    if (record[i] != '\r' && record[i] != '\n') {
      line += record[i];
      continue;
    }
    text += " " + line;
    line.clear();
    if (record[i] == '\r' && i + 1 < record.size() && record[i + 1] == '\n') ++i;
  }
  if (!line.empty()) text += " " + line;
  return text;
}

// Records of every length around the sixteen-byte steps of the line-break scan, some longer
// than a piece of the item coder, made page texts directly and as a worker reads them from
// a store (compressed or not), with the same buffers from record to record.
TEST(PageMatchingPageText, GeneratedRecordsGiveTheDescribedTextHoweverTheyAreRead) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(20261210, "page text"));
  ferrowyn::testing::ScratchDir dir;
  for (const bool compressed : {false, true}) {
    TQDB store;
    store.SetCompression(compressed);
    store.SetFileName(dir.File(compressed ? "packed.qdb" : "plain.qdb"));
    std::vector<std::pair<std::string, TQDB::ItemPlace>> records;
    for (int i = 0; i < 300; ++i) {
      const std::size_t size = i < 100 ? i : i % 50 == 0 ? 40000 + rng() % 30000 : rng() % 400;
      std::string record;
      for (std::size_t k = 0; k < size; ++k) record += "ab \r\n"[rng() % (i % 3 == 0 ? 5 : 3)];
      store.AddItem(record, "QUERYXX" + std::to_string(i));
      records.emplace_back(record, store.CurrentPlace());
    }
    const std::shared_ptr<const TQDB::PlaceReader> reader = store.Reader();
    PageReadBuffers buffers;
    for (const auto& [record, place] : records) {
      const std::string expected = LiteralPageText(record);
      ASSERT_EQ(PageTextFromRecord(record), expected);
      ASSERT_EQ(QueryPageTextInto(QueryPage{"u", nullptr, place, false}, reader.get(), buffers),
                expected);
      // A record the crawl stored: its text, and the CR LF behind it dropped.
      const std::string crawled =
          record.ends_with("\r\n") ? record.substr(0, record.size() - 2) : record;
      ASSERT_EQ(QueryPageTextInto(QueryPage{"u", nullptr, place, true}, reader.get(), buffers),
                crawled);
    }
  }
}

// Texts from a small alphabet so that keywords occur often, next to each other and
// overlapping, and so that every boundary character shows up.
class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  std::size_t Below(std::size_t n) { return n == 0 ? 0 : rng_() % n; }

  std::string Text(std::size_t size) {
    static const char kAlphabets[][12] = {"ab ", "aAbB <>", "ab  <>\xC9\xE9", "aaaa b"};
    const char* alphabet = kAlphabets[Below(4)];
    const std::size_t letters = std::char_traits<char>::length(alphabet);
    std::string text;
    for (std::size_t i = 0; i < size; ++i) text += alphabet[Below(letters)];
    return text;
  }

  std::vector<std::string> Keywords() {
    std::vector<std::string> keywords;
    if (Below(4) == 0) {
      // Through the parser, as a query gets them: words and "phrases", some empty.
      std::string text;
      const std::size_t parts = Below(5);
      for (std::size_t i = 0; i < parts; ++i) {
        text += Below(3) == 0 ? "\"" + Text(Below(4)) + "\" " : Text(1 + Below(4)) + " ";
      }
      return parsekeywords(text);
    }
    const std::size_t count = Below(5);
    for (std::size_t i = 0; i < count; ++i) {
      if (!keywords.empty() && Below(6) == 0) {
        std::string twin = keywords[Below(keywords.size())];  // repeated, maybe recased
        for (char& c : twin) {
          const bool letter =
              (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\xC9' || c == '\xE9';
          if (letter && Below(2) == 0) c = static_cast<char>(c ^ 0x20);
        }
        keywords.push_back(twin);
      } else {
        keywords.push_back(Below(8) == 0 ? std::string() : Text(1 + Below(4)));
      }
    }
    return keywords;
  }

  std::string Page() {
    // Sizes around the sixteen-byte steps of the fast search, and now and then longer.
    const std::size_t size = Below(8) == 0 ? 200 + Below(1500) : Below(70);
    std::string page = Text(size);
    if (Below(3) == 0) page.insert(0, " ");
    return page;
  }

 private:
  std::mt19937 rng_;
};

TEST(PageMatchingAgainstReference, GeneratedPagesInEveryOptionCombination) {
  constexpr int kLists = 1000;
  Generator gen(ferrowyn::testing::TestSeed(20261209, "page matching"));
  const std::atomic<bool> stopping{false};
  int listed = 0;
  for (int list = 0; list < kLists; ++list) {
    const std::vector<std::string> keywords = gen.Keywords();
    std::vector<std::string> pages;
    for (int i = 0; i < 4; ++i) pages.push_back(gen.Page());
    for (int bits = 0; bits < 8; ++bits) {
      const MatchOptions options{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
      // One matcher per list over several pages, as a worker uses it.
      PageMatcher matcher(keywords, options);
      for (const std::string& page : pages) {
        const PageMatch expected = literal::MatchPage(page, keywords, options);
        const PageMatch got = matcher.MatchPage(page, stopping);
        listed += expected.Matches ? 1 : 0;
        if (got != expected) {
          std::string list_text;
          for (const std::string& k : keywords) list_text += "[" + k + "]";
          FAIL() << "keywords " << list_text << " page [" << page << "] any " << options.MatchAny
                 << " word " << options.WholeWord << " case " << options.MatchCase
                 << "\n  expected " << ::testing::PrintToString(expected) << "\n  got      "
                 << ::testing::PrintToString(got);
        }
      }
    }
  }
  // The generator must give both outcomes plenty of times, or the comparison is hollow.
  EXPECT_GT(listed, kLists * 8);
  EXPECT_LT(listed, kLists * 8 * 4 - kLists * 8);
}

}  // namespace
}  // namespace ferrowyn
