// The text-only rendering: formathtmltags rule by rule and in its order, the line steps,
// and both linear passes against the slow reference on generated pages and random bytes.
#include "view/text_rendering.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/literal_rendering.h"
#include "tests/support/test_seed.h"

namespace ferrowyn {
namespace {

using Lines = std::vector<std::string>;

// formathtmltags, checked against the reference too so that the examples pin both down.
void ExpectFormatted(const std::string& text, const std::string& expected) {
  SCOPED_TRACE(text);
  EXPECT_EQ(formathtmltags(text), expected);
  EXPECT_EQ(testing::LiteralFormatHtmlTags(text), expected);
}

void ExpectLines(const std::string& text, const Lines& expected) {
  SCOPED_TRACE(text);
  EXPECT_EQ(TextOnlyLines(text), expected);
  EXPECT_EQ(testing::LiteralTextOnlyLines(text), expected);
}

TEST(FormatHtmlTags, TitleHeadAndHtmlTags) {
  ExpectFormatted(" <html><head><title>My Page</title></head><body>Hello</body></html>",
                  " <p>Hello<p>");
  // Only the first title goes; titles out of order stay for the tag scan.
  ExpectFormatted("<TITLE>a</Title>b<title>c</title>", "bc");
  ExpectFormatted("</title>a<title>b", "ab");
  ExpectFormatted("", "");
}

TEST(FormatHtmlTags, ScriptsStylesAndCommentsInThatOrder) {
  ExpectFormatted("a<script>x</script>b<STYLE type=x>y</Style>c<!-- z -->d", "abcd");
  ExpectFormatted("a<script>1</script><script>2</script>b", "ab");
  // A stretch that closes up can form a new one around the join.
  ExpectFormatted("<scr<script></script>ipt>x</script>y", "y");
  // The script goes first, taking the comment's end with it; the open comment and the
  // rest are then one long tag.
  ExpectFormatted("<!-- <script> -->shown</script>after", "");
  // A close before any open ends the removals; the tag scan takes the rest.
  ExpectFormatted("-->a<!--b-->", "--a");
  ExpectFormatted("</script>a<script>b</script>", "ab");
}

TEST(FormatHtmlTags, EachTagRuleInOrder) {
  ExpectFormatted(
      "a<hr>b<hr size=2>c<head>d</head>e<p class=x>f<br/>g<th>h<BR>i<P>j<tr x>k<form>l</form>"
      "m<td w>n</td>o<p align=left>p<div id=x>q<b>r</b>s",
      "a<br>b<p>cd<p>efg h<BR>i<P>j<br>k<br>l<br>m n o<p>p<p>qrs");
  ExpectFormatted("<li>1</ul><dt>2<dd>3</ol></dl></table>", "<br>1<br><br>2<br>3<br><br><br>");
  ExpectFormatted("<center>x</center><blockquote>y</blockquote></div>", "x<br><br>y<br><br>");
  ExpectFormatted("<h1>T</h1><thead></th>", "<p>T<p>  ");
  ExpectFormatted("<HTML><BODY BGCOLOR=white>x", "x");
}

TEST(FormatHtmlTags, StrayAndLoneAngleBrackets) {
  ExpectFormatted("a > b < c > d", "a  b  d");
  // A lone "<" swallows everything up to the next ">".
  ExpectFormatted("x < y <br> z", "x  z");
  ExpectFormatted("1 < 2", "1 ");
  ExpectFormatted(">>a", "a");
}

TEST(FormatHtmlTags, PlaceholderBytesAndEntities) {
  // The page's own yen and micro signs come out as angle brackets.
  ExpectFormatted(
      "5\xA5 and 3\xB5m \xA5"
      "b\xB5",
      "5< and 3>m <b>");
  ExpectFormatted("a&nbsp;&nbsp;b&NBSP;c&Nbsp;d&nbspe", "a  b&NBSP;c&Nbsp;d&nbspe");
  ExpectFormatted("&&nbsp;nbsp;", "& nbsp;");
}

TEST(FormatHtmlTags, APagesOwnEndTagStopsTheScan) {
  ExpectFormatted("x<EOF>y<b>z>", "xy<b>z><eof>");
}

TEST(TextOnlyLines, CutAfterEveryMarker) {
  ExpectLines("one<br>two<P>three", (Lines{"one<br>", "two<P>", "three"}));
  ExpectLines("a<bR>", (Lines{"a<bR>", ""}));
  ExpectLines("no markers <b r>", (Lines{"no markers <b r>"}));
}

TEST(TextOnlyLines, BreakOnlyLinesShrinkToOne) {
  ExpectLines("a<br><br><br>b", (Lines{"a<br>", "<br>", "b"}));
  ExpectLines("a<br> <p>\t<BR>  <br>b<p><p>", (Lines{"a<br>", "  <br>", "b<p>", ""}));
  // A leading break is dropped, and the first line loses its leading blanks (not tabs).
  ExpectLines("<BR>hello world", (Lines{"hello world"}));
  ExpectLines(" <p><br>   text<br>\tmore", (Lines{"text<br>", "\tmore"}));
}

TEST(TextOnlyLines, AnEmptyPageHasNoLines) {
  ExpectLines("", Lines{});
  ExpectLines("<br><P> ", Lines{});
}

TEST(TextOnlyRendering, MatchesTheReferenceOnGeneratedPages) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(52));
  for (int round = 0; round < 2000; ++round) {
    std::string seed(rng() % 120, '\0');
    for (char& c : seed) c = static_cast<char>(rng());
    const std::string page = testing::PageFromTokens(seed);
    SCOPED_TRACE(page);
    const std::string formatted = formathtmltags(page);
    ASSERT_EQ(formatted, testing::LiteralFormatHtmlTags(page));
    ASSERT_EQ(TextOnlyLines(formatted), testing::LiteralTextOnlyLines(formatted));
    ASSERT_EQ(TextOnlyLines(page), testing::LiteralTextOnlyLines(page));
  }
}

TEST(TextOnlyRendering, MatchesTheReferenceOnRandomBytes) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(53));
  const std::string alphabet = "<>/!-tTsScCrRiIpPbBeEyYlL &n;\xA5\xB5 x";
  for (int round = 0; round < 2000; ++round) {
    std::string text(rng() % 200, '\0');
    for (char& c : text)
      c = round % 2 ? static_cast<char>(rng()) : alphabet[rng() % alphabet.size()];
    SCOPED_TRACE(text);
    const std::string formatted = formathtmltags(text);
    ASSERT_EQ(formatted, testing::LiteralFormatHtmlTags(text));
    ASSERT_EQ(TextOnlyLines(text), testing::LiteralTextOnlyLines(text));
  }
}

}  // namespace
}  // namespace ferrowyn
