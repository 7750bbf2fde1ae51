// The keyword grammar: words, phrases, the quotation mark quirks, repeats, and the linear
// splitter against the slow reference on generated keyword texts.
#include "query/keyword_parsing.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/literal_rendering.h"
#include "tests/support/test_seed.h"

namespace ferrowyn {
namespace {

using List = std::vector<std::string>;

TEST(ParseKeywords, WordsAndPhrases) {
  EXPECT_EQ(parsekeywords("web   site search"), (List{"web", "site", "search"}));
  EXPECT_EQ(parsekeywords("\"site map\" crawler"), (List{"site map", "crawler"}));
  // Blanks just inside the quotation marks belong to the phrase.
  EXPECT_EQ(parsekeywords("\" site \""), (List{" site "}));
  EXPECT_EQ(parsekeywords("\"\" word"), (List{"", "word"}));
  EXPECT_EQ(parsekeywords(""), List{});
  EXPECT_EQ(parsekeywords("   "), List{});
}

TEST(ParseKeywords, OnlyTheSpaceSeparatesWords) {
  // A tab stays inside the word; control characters at a word's ends are trimmed.
  EXPECT_EQ(parsekeywords("one\ttwo three"), (List{"one\ttwo", "three"}));
  EXPECT_EQ(parsekeywords("\tone\x01 two"), (List{"one", "two"}));
  EXPECT_EQ(parsekeywords("a,b;c|"), (List{"a,b;c|"}));
}

TEST(ParseKeywords, UnbalancedQuotationMarks) {
  EXPECT_EQ(parsekeywords("\""), List{});
  // An unclosed phrase is trimmed at the end of the text.
  EXPECT_EQ(parsekeywords("\"  open phrase  "), (List{"open phrase"}));
  EXPECT_EQ(parsekeywords("word \"open"), (List{"word", "open"}));
  EXPECT_EQ(parsekeywords("\"a\"\""), (List{"a"}));
}

TEST(ParseKeywords, TextGluedToQuotationMarks) {
  // In front of an opening mark it is dropped; behind a closing mark it starts a word.
  EXPECT_EQ(parsekeywords("glued\"the phrase\""), (List{"the phrase"}));
  EXPECT_EQ(parsekeywords("\"the phrase\"glued"), (List{"the phrase", "glued"}));
  EXPECT_EQ(parsekeywords("a\"b\"c\"d\"e"), (List{"b", "d", "e"}));
}

TEST(ParseKeywords, RepeatsWithoutRegardToCase) {
  EXPECT_EQ(parsekeywords("Search search SEARCH other"), (List{"Search", "other"}));
  EXPECT_EQ(parsekeywords("\"Big Site\" \"big site\""), (List{"Big Site"}));
  // Latin-1 letters fold as the store's keys do; other bytes compare exactly.
  EXPECT_EQ(parsekeywords("\xC9t\xC9 \xE9t\xE9"), (List{"\xC9t\xC9"}));
  EXPECT_EQ(parsekeywords("\xD7 \xF7"), (List{"\xD7", "\xF7"}));
  EXPECT_EQ(parsekeywords("\"\" \"\""), (List{""}));
}

TEST(SplitKeywords, HighlightListKeepsRepeats) {
  EXPECT_EQ(SplitKeywords("key Key \"key\"", KeywordRepeats::kKeep), (List{"key", "Key", "key"}));
  EXPECT_EQ(SplitKeywords("\"\" \"\"", KeywordRepeats::kKeep), (List{"", ""}));
}

TEST(SplitKeywords, MatchesTheReferenceOnGeneratedTexts) {
  const char* const pieces[] = {" ",  "  ",   "\"",   "\"\"", "key", "Key", "KEY",  "a b",
                                "\t", "\x01", "\xC9", "\xE9", "|",   "x",   "\" \""};
  std::mt19937 rng(ferrowyn::testing::TestSeed(4041));
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = static_cast<int>(rng() % 24);
    for (int k = 0; k < count; ++k) text += pieces[rng() % std::size(pieces)];
    SCOPED_TRACE(text);
    ASSERT_EQ(SplitKeywords(text, KeywordRepeats::kDrop),
              testing::LiteralSplitKeywords(text, false));
    ASSERT_EQ(SplitKeywords(text, KeywordRepeats::kKeep),
              testing::LiteralSplitKeywords(text, true));
  }
}

}  // namespace
}  // namespace ferrowyn
