// Page assembly: the join of the lines, the entity replacements in their order and letter
// case, and the one-pass replacements against the replace-until-none-left reference.
#include "crawl/page_assembly.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/literal_link_extraction.h"
#include "tests/support/test_seed.h"

namespace ferrowyn {
namespace {

using Lines = std::vector<std::string>;

TEST(PageAssembly, JoinsTrimmedPiecesEachAfterOneSpace) {
  EXPECT_EQ(AssemblePage({"A", "B"}).PageText, " A B");
  EXPECT_EQ(AssemblePage({"A\r\nB"}).PageText, " A B");
  EXPECT_EQ(AssemblePage({"  \tA  ", "", "\x01 B\x7f"}).PageText, " A  B\x7f");
  // A lone CR or LF splits too, and a break at the end of a line leaves an empty piece.
  EXPECT_EQ(AssemblePage({"A\rB\nC", "D\n"}).PageText, " A B C D ");
  EXPECT_EQ(AssemblePage({"\n\r"}).PageText, "   ");
  EXPECT_EQ(AssemblePage({""}).PageText, " ");
  const AssembledPage none = AssemblePage({});
  EXPECT_EQ(none.DisplayText, "");
  EXPECT_EQ(none.PageText, "");
}

TEST(PageAssembly, DecodesAmpersandsFirstThenQuotesAndCopyright) {
  const AssembledPage page =
      AssemblePage({"Fish &amp;amp; Chips &amp;quot;to go&amp;quot; &amp;amp;amp;"});
  EXPECT_EQ(page.DisplayText, " Fish & Chips \"to go\" &");
  EXPECT_EQ(page.PageText, page.DisplayText);
  EXPECT_EQ(AssemblePage({"&copy; 1999 &copy2"}).DisplayText,
            " \xA9; 1999 \xA9"
            "2");
  // Only the exact letter case counts.
  EXPECT_EQ(AssemblePage({"&AMP; &Quot; &COPY &amp"}).DisplayText, " &AMP; &Quot; &COPY &amp");
  EXPECT_EQ(AssemblePage({"&&amp;&amp;&"}).DisplayText, " &&&&");
}

TEST(PageAssembly, BlanksTabsAndNonBreakingSpacesOnlyInThePageText) {
  const AssembledPage page = AssemblePage({"a&amp;nbsp;b\tc&NBSP;d&nbsp"});
  EXPECT_EQ(page.DisplayText, " a&nbsp;b\tc&NBSP;d&nbsp");
  EXPECT_EQ(page.PageText, " a b c&NBSP;d&nbsp");
}

TEST(PageAssembly, MatchesTheReplaceUntilNoneLeftReference) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(9001));
  const std::string alphabet = "&amp;quotcyns \t\r\nAQ";
  for (int i = 0; i < 4000 && !HasFailure(); ++i) {
    Lines lines(rng() % 4);
    for (std::string& line : lines) {
      // Long lines too, so that the 16-byte scans meet every byte in every place.
      line.resize(rng() % (i % 4 == 0 ? 200 : 24));
      for (char& c : line) c = alphabet[rng() % alphabet.size()];
    }
    const AssembledPage page = AssemblePage(lines);
    const testing::LiteralAssembledPage expected = testing::LiteralAssemblePage(lines);
    ASSERT_EQ(page.DisplayText, expected.display_text) << ::testing::PrintToString(lines);
    ASSERT_EQ(page.PageText, expected.page_text) << ::testing::PrintToString(lines);
  }
}

}  // namespace
}  // namespace ferrowyn
