// A stored page from its record to what the viewer shows: joining the record's lines, the
// title and caption, both ways of opening a page, and doubling ampersands.
#include "view/page_rendering.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/literal_rendering.h"
#include "tests/support/test_seed.h"
#include "view/filter_amps.h"
#include "view/highlighting.h"
#include "view/html_rendering.h"

namespace ferrowyn {
namespace {

using Lines = std::vector<std::string>;

const std::string kOpen = "<font color=\"#FF0000\"><b>";
const std::string kClose = "</b></font>";

std::string Marked(const std::string& text) { return kOpen + text + kClose; }

TEST(JoinStoredPage, APageWithoutHtmlKeepsItsLineBreaks) {
  EXPECT_EQ(JoinStoredPage("plain text line\r\n"), "<BR>plain text line");
  EXPECT_EQ(JoinStoredPage("a\r\n  b\t\n c\r"), "<BR>a<BR>b<BR>c");
  // Its closing pre tag ends the breaks.
  EXPECT_EQ(JoinStoredPage("text <PRE>x</PRE>\r\n"), " text <PRE>x</PRE>");
  EXPECT_EQ(JoinStoredPage("a</pre>\r\nb\r\n"), " a</pre> b");
  EXPECT_EQ(JoinStoredPage(""), "");
}

TEST(JoinStoredPage, AnHtmlPageBreaksOnlyInsidePre) {
  EXPECT_EQ(JoinStoredPage(" <html><body>x</body></html>\r\n"), " <html><body>x</body></html>");
  EXPECT_EQ(JoinStoredPage("<html><pre>a</pre></html>\r\n"), " <html><pre>a</pre></html>");
  EXPECT_EQ(JoinStoredPage("<html><PRE>a\r\n"), "<BR><html><PRE>a");
  EXPECT_EQ(JoinStoredPage("<HTML>\r\n<pre>\r\n  a  \r\nb</pre>\r\nc\r\n"),
            " <HTML><BR><pre><BR>a b</pre> c");
  // The test for HTML looks at every line, the later ones too.
  EXPECT_EQ(JoinStoredPage("a\r\n<Html>\r\n"), " a <Html>");
}

// TakeTitle against the reference; returns the caption.
std::string Title(std::string& html) {
  std::string literal = html;
  const std::string caption = TakeTitle(html);
  EXPECT_EQ(caption, testing::LiteralTakeTitle(literal));
  EXPECT_EQ(html, literal);
  return caption;
}

TEST(TakeTitle, TheTitleGoesToTheCaption) {
  std::string html = " <html><TITLE>Home</title>x";
  EXPECT_EQ(Title(html), "Home");
  EXPECT_EQ(html, " <html><TITLE></title>x");
  // Only as many characters as the trimmed title has are taken.
  html = "<title>  Home </title>";
  EXPECT_EQ(Title(html), "Home");
  EXPECT_EQ(html, "<title>me </title>");
  // Markup in the title does not show in the caption; a lone bracket stays.
  html = "<title>My " + Marked("key") + " page > <x</title>";
  EXPECT_EQ(Title(html), "My key page > <x");
  EXPECT_EQ(html, "<title></title>");
}

TEST(TakeTitle, UntitledPages) {
  for (const std::string page : {"no title", "<title> \t</title>", "</title>x<title>", "<title>x",
                                 "<title><b></b></title>"}) {
    std::string html = page;
    EXPECT_EQ(Title(html), "Untitled") << page;
  }
  std::string html = "<title><b></b></title>";
  Title(html);
  EXPECT_EQ(html, "<title></title>");
}

TEST(TakeTitle, MatchesTheReferenceOnGeneratedPages) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(71));
  for (int round = 0; round < 1000; ++round) {
    std::string seed(rng() % 60, '\0');
    for (char& c : seed) c = static_cast<char>(rng());
    std::string html = testing::PageFromTokens(seed);
    SCOPED_TRACE(html);
    Title(html);
  }
}

const std::string kRecord =
    "<html><head><title>Key Page</title></head><body>The key is here.<br><br><br>"
    "A key, a key <b>key</b></body></html>\r\n";

TEST(RenderPage, AQueryResultWithItsKeywordsMarked) {
  PageHighlight highlight{{"key"}, "#FF0000", false, true, true, true};
  const PageRendering page = RenderPage(kRecord, highlight);
  EXPECT_EQ(page.Caption, "Key Page");
  EXPECT_EQ(page.HtmlLines, Lines{" <html><head><title></title></head><body>The " + Marked("key") +
                                  " is here.<br><br><br>A key, a " + Marked("key") + " <b>" +
                                  Marked("key") + "</b></body></html>"});
  EXPECT_EQ(page.TextLines, (Lines{"The " + Marked("key") + " is here.<br>", "<br>",
                                   "A key, a " + Marked("key") + " " + Marked("key") + "<p>", ""}));
}

TEST(RenderPage, EachPaneIsMarkedOnlyWhenItsSettingSaysSo) {
  PageHighlight highlight{{"key"}, "#FF0000", false, true, false, true};
  PageRendering page = RenderPage(kRecord, highlight);
  EXPECT_EQ(page.HtmlLines, (Lines{" <html><head><title></title></head><body>The key is "
                                   "here.<br><br><br>A key, a key <b>key</b></body></html>"}));
  EXPECT_EQ(page.TextLines.front(), "The " + Marked("key") + " is here.<br>");

  highlight.InHtml = true;
  highlight.InText = false;
  page = RenderPage(kRecord, highlight);
  EXPECT_EQ(page.TextLines, (Lines{"The key is here.<br>", "<br>", "A key, a key key<p>", ""}));
  EXPECT_EQ(page.Caption, "Key Page");
}

TEST(RenderPage, APageFromTheSiteMapIsNotMarked) {
  const PageRendering page = RenderPage(kRecord);
  EXPECT_EQ(page.Caption, "Key Page");
  EXPECT_EQ(page.HtmlLines, (Lines{" <html><head><title></title></head><body>The key is "
                                   "here.<br><br><br>A key, a key <b>key</b></body></html>"}));
  EXPECT_EQ(page.TextLines, (Lines{"The key is here.<br>", "<br>", "A key, a key key<p>", ""}));
}

TEST(RenderPage, APageWithoutHtmlIsOneParagraph) {
  const PageRendering page = RenderPage(
      "Hello &amp; world &NBSP; \xA5"
      "5\r\n");
  EXPECT_EQ(page.Caption, "Untitled");
  EXPECT_EQ(page.HtmlLines, Lines{"<BR>Hello &amp; world &NBSP; \xA5"
                                  "5"});
  EXPECT_EQ(page.TextLines, Lines{"Hello &amp; world &NBSP; <5"});
  // An empty record renders as an empty page.
  const PageRendering empty = RenderPage("");
  EXPECT_EQ(empty.HtmlLines, Lines{""});
  EXPECT_EQ(empty.TextLines, Lines{});
  EXPECT_EQ(empty.Caption, "Untitled");
  EXPECT_EQ(RenderPage("\r\n").TextLines, Lines{});
}

TEST(FilterAmps, DoublesEveryAmpersand) {
  std::string text = "Tom & Jerry && co&";
  filteramps(text);
  EXPECT_EQ(text, "Tom && Jerry &&&& co&&");
  text = "no ampersand";
  filteramps(text);
  EXPECT_EQ(text, "no ampersand");
}

}  // namespace
}  // namespace ferrowyn
