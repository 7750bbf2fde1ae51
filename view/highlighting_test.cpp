// Keyword highlighting: every boundary form, substring and whole-word scans, tags, nested
// markup, case folding; the colour text and the highlight keyword list; and the linear
// pass against the slow reference on generated pages and random bytes.
#include "view/highlighting.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/literal_rendering.h"
#include "tests/support/test_seed.h"

namespace ferrowyn {
namespace {

using List = std::vector<std::string>;

const std::string kOpen = "<font color=\"#FF0000\"><b>";
const std::string kClose = "</b></font>";

std::string Marked(const std::string& text) { return kOpen + text + kClose; }

// highlightkeywords in red, checked against the reference too.
void ExpectHighlighted(const std::string& text, const List& keywords, bool matchcase,
                       bool wholeword, const std::string& expected) {
  SCOPED_TRACE(text);
  EXPECT_EQ(highlightkeywords(text, keywords, "#FF0000", matchcase, wholeword), expected);
  EXPECT_EQ(testing::LiteralHighlightKeywords(text, keywords, "#FF0000", matchcase, wholeword),
            expected);
}

void ExpectWholeWord(const std::string& text, const std::string& expected) {
  ExpectHighlighted(text, {"key"}, false, true, expected);
}

TEST(HighlightKeywords, SubstringsOutsideTags) {
  ExpectHighlighted("a keyword, akey", {"key"}, true, false,
                    "a " + Marked("key") + "word, a" + Marked("key"));
  ExpectHighlighted("<a href=\"key.htm\" title=key>key</a>", {"key"}, true, false,
                    "<a href=\"key.htm\" title=key>" + Marked("key") + "</a>");
  // Once marked, the scan goes on behind the occurrence: no overlaps.
  ExpectHighlighted("aaa", {"aa"}, true, false, Marked("aa") + "a");
  // A lone "<" hides the rest of the text until a ">".
  ExpectHighlighted("1 < key > key", {"key"}, true, false, "1 < key > " + Marked("key"));
}

TEST(HighlightKeywords, EveryWholeWordBoundary) {
  ExpectWholeWord("<b>key </b>", "<b>" + Marked("key") + " </b>");
  ExpectWholeWord("<b>key</b>", "<b>" + Marked("key") + "</b>");
  ExpectWholeWord("a key</b>", "a " + Marked("key") + "</b>");
  ExpectWholeWord("a key b", "a " + Marked("key") + " b");
  ExpectWholeWord("a&nbsp;key b", "a&nbsp;" + Marked("key") + " b");
  ExpectWholeWord("a&NBSP;key b", "a&NBSP;" + Marked("key") + " b");
  ExpectHighlighted("a&NBSP;key b", {"key"}, true, true, "a&NBSP;key b");
}

TEST(HighlightKeywords, NoWholeWordWithoutBoundaries) {
  for (const std::string text :
       {"a key, b", "a (key) b", "a keyword b", "a akey b", "key b", "a key", "key",
        "&nbsp;key</b>", "a\tkey b", "<a title= key >x</a>"}) {
    ExpectWholeWord(text, text);
  }
}

TEST(HighlightKeywords, WordsInARowShareTheirBoundaries) {
  ExpectWholeWord(" key key key ",
                  " " + Marked("key") + " " + Marked("key") + " " + Marked("key") + " ");
  ExpectHighlighted("<p>two words two words</p>", {"two words"}, true, true,
                    "<p>" + Marked("two words") + " " + Marked("two words") + "</p>");
}

TEST(HighlightKeywords, CaseFoldingIsAsciiOnly) {
  ExpectHighlighted("A KEY b", {"key"}, false, true, "A " + Marked("KEY") + " b");
  ExpectHighlighted("A KEY b", {"key"}, true, true, "A KEY b");
  ExpectHighlighted("Key kEY", {"KEY"}, false, false, Marked("Key") + " " + Marked("kEY"));
  ExpectHighlighted("\xC9T\xC9 \xE9t\xE9", {"\xE9t\xE9"}, false, false,
                    "\xC9T\xC9 " + Marked("\xE9t\xE9"));
}

TEST(HighlightKeywords, LaterKeywordsMarkInsideEarlierMarkup) {
  // The second keyword is marked again inside the first one's occurrence, never inside
  // the markup's tags ("font", "b" and the colour are all inside tags).
  ExpectHighlighted("a keyword b", {"keyword", "key", "font", "b", "FF"}, true, false,
                    "a " + Marked(Marked("key") + "word") + " " + Marked("b"));
  // A keyword listed twice is marked twice, nested; whole words find the markup's ends.
  ExpectWholeWord(" key ", " " + Marked("key") + " ");
  ExpectHighlighted(" key ", {"key", "key"}, false, true, " " + Marked(Marked("key")) + " ");
}

TEST(HighlightKeywords, EmptyKeywordsMarkNothing) {
  ExpectHighlighted("a  b <i></i>", {}, false, true, "a  b <i></i>");
  ExpectHighlighted("a  b <i></i>", {"", ""}, false, true, "a  b <i></i>");
  ExpectHighlighted("a  b", {"", "b"}, false, false, "a  " + Marked("b"));
}

TEST(HighlightColor, SixUpperCaseDigitsOrTheFallback) {
  EXPECT_EQ(HighlightColorString(0x000000FF), "#FF0000");
  EXPECT_EQ(HighlightColorString(0x00563412), "#123456");
  EXPECT_EQ(HighlightColorString(0x00ABCDEF), "#EFCDAB");
  EXPECT_EQ(HighlightColorString(0x00000000), "#000000");
  // System colours (clBtnFace) and palette-relative values have no fixed RGB value.
  EXPECT_EQ(HighlightColorString(0xFF00000F), "#ff00ff");
  EXPECT_EQ(HighlightColorString(0x01000000), "#ff00ff");
  EXPECT_EQ(HighlightOpening("#123456"), "<font color=\"#123456\"><b>");
  EXPECT_EQ(HighlightOpening("#123456").size(), 13u + 7u + 5u);
  EXPECT_EQ(kHighlightClosing.size(), 11u);
}

TEST(HighlightKeywordList, TheGrammarKeepingRepeats) {
  EXPECT_EQ(HighlightKeywordList("  key \"Key\" KEY \"\" x\"a b\"  "),
            (List{"key", "Key", "KEY", "", "a b"}));
  EXPECT_EQ(HighlightKeywordList("\""), List{});
}

TEST(HighlightKeywords, MatchesTheReferenceOnGeneratedPages) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(61));
  for (int round = 0; round < 2000; ++round) {
    std::string seed(rng() % 100, '\0');
    for (char& c : seed) c = static_cast<char>(rng());
    std::string keyword_seed(1 + rng() % 4, '\0');
    for (char& c : keyword_seed) c = static_cast<char>(rng());
    const std::string page = testing::PageFromTokens(seed);
    const List keywords = testing::KeywordsFromTokens(keyword_seed);
    const bool matchcase = rng() % 2;
    const bool wholeword = rng() % 2;
    SCOPED_TRACE(page);
    ASSERT_EQ(highlightkeywords(page, keywords, "#00FF00", matchcase, wholeword),
              testing::LiteralHighlightKeywords(page, keywords, "#00FF00", matchcase, wholeword));
  }
}

TEST(HighlightKeywords, MatchesTheReferenceOnRandomBytes) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(62));
  const std::string alphabet = "<> &nbsp;aAbB";
  for (int round = 0; round < 2000; ++round) {
    std::string text(rng() % 120, '\0');
    for (char& c : text) c = alphabet[rng() % alphabet.size()];
    List keywords(1 + rng() % 3);
    for (std::string& keyword : keywords) {
      keyword.resize(rng() % 4);
      for (char& c : keyword) c = alphabet[rng() % alphabet.size()];
    }
    const bool matchcase = rng() % 2;
    const bool wholeword = rng() % 2;
    // A colour text with brackets and letters in it tests that markup is skipped.
    const std::string color = round % 2 ? "#ABABAB" : "a<b> ";
    SCOPED_TRACE(text);
    ASSERT_EQ(highlightkeywords(text, keywords, color, matchcase, wholeword),
              testing::LiteralHighlightKeywords(text, keywords, color, matchcase, wholeword));
  }
}

}  // namespace
}  // namespace ferrowyn
