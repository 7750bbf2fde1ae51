// The query text conversion: the rules for titles, comments, scripts, styles and tags under
// each search-within setting, and the linear version against the slow reference on
// thousands of generated pages and random bytes.
#include "crawl/query_text.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/literal_query_text.h"
#include "tests/support/test_seed.h"

namespace ferrowyn {
namespace {

constexpr QueryTextSettings kDefaults{};

QueryTextSettings Settings(bool tags, bool titles, bool comments) {
  return QueryTextSettings{tags, titles, comments};
}

// Checks the conversion against the expected text and against the reference.
void ExpectQueryText(const std::string& page, const QueryTextSettings& settings,
                     const std::string& expected) {
  SCOPED_TRACE(page);
  EXPECT_EQ(MakeQueryText(page, settings), expected);
  EXPECT_EQ(testing::LiteralMakeQueryText(page, settings.WithinTags, settings.WithinTitles,
                                          settings.WithinComments),
            expected);
}

const std::string kHomePage =
    " <html><head><title>Home</title></head><body><h1>Welcome</h1>Text<br>more</body></html>";

TEST(QueryText, TitleHeadingsAndBreaksUnderEachSetting) {
  // The end of the head, both heading tags, the break and the end of the html element each
  // leave a space; the other tags nothing.
  ExpectQueryText(kHomePage, kDefaults, "   Welcome Text more ");
  ExpectQueryText(kHomePage, Settings(false, true, false), " Home  Welcome Text more ");
  ExpectQueryText(kHomePage, Settings(true, false, false),
                  " <html><head></head><body><h1>Welcome</h1>Text<br>more</body></html>");
  ExpectQueryText(kHomePage, Settings(true, true, true), kHomePage);
}

TEST(QueryText, TitleGoesOnceAndOnlyInOrder) {
  ExpectQueryText(" a<TITLE>x</Title>b<title>y</title>c", Settings(true, false, true),
                  " ab<title>y</title>c");
  // A closing tag before the opening one keeps the title (the tags go later).
  ExpectQueryText(" </title>a<title>b", kDefaults, " ab");
  ExpectQueryText(" <title>unclosed", Settings(true, false, false), " <title>unclosed");
  // The title goes before comments are looked at.
  ExpectQueryText(" <!-- <title> -->x</title>y", kDefaults, " <!-- y");
}

TEST(QueryText, CommentsAreRemovedAgainAfterClosingUp) {
  ExpectQueryText(" a<!-- one -->b<!-- two -->c", Settings(true, false, false), " abc");
  ExpectQueryText(" <!<!-- a -->-- b -->", Settings(true, false, false), " ");
  ExpectQueryText(" <!-->x", Settings(true, false, false), " x");
  // A "-->" before the first "<!--" ends the removal, comments after it stay.
  ExpectQueryText(" a --> b <!-- c -->", Settings(true, false, false), " a --> b <!-- c -->");
  ExpectQueryText(" <!-- open", Settings(true, false, false), " <!-- open");
  // With comments kept but tags not, a comment still goes as a tag up to its first ">".
  ExpectQueryText(" a <!-- x > y --> b", Settings(false, false, true), " a  y --> b");
}

TEST(QueryText, ScriptsAndStylesGoUnlessTagsAreKept) {
  const std::string page =
      " x<SCRIPT type=js>if (a<b) c();</Script>y<style>p {}</STYLE>z<script>never closed";
  // The unclosed script stays, and loses only its tag.
  ExpectQueryText(page, kDefaults, " xyznever closed");
  ExpectQueryText(page, Settings(true, false, false), page);
  ExpectQueryText(" </script><script>a</script>b", kDefaults, " ab");
}

TEST(QueryText, TagsLeaveASpaceOrNothing) {
  ExpectQueryText(" a > b <b>c</b>", kDefaults, " a  b c");
  ExpectQueryText(" <P>a<p class=x>b<p align=center>c<P ALIGN=left>d", kDefaults, "  ab c d");
  ExpectQueryText(" <table><tr><TD width=3>a</td><th>b</th></tr></table>", kDefaults, "   a  b   ");
  ExpectQueryText(" <li>a<li class=x>b<dt>c<dd>d</ul></ol></dl>", kDefaults, "  ab c d   ");
  ExpectQueryText(" <blockquote>q</blockquote><center>c</center><div id=a>d</DIV>", kDefaults,
                  "  q c  d ");
  ExpectQueryText(" <form action=x>f</form><hr><hr/><html lang=en><HEAD>", kDefaults, "  f    ");
  ExpectQueryText(" <thead><tbody><tr class=a><h2>t</H2>", kDefaults, "    t ");
  // A "<" inside a tag belongs to it; a tag left open and a lone ">" at the end stay.
  ExpectQueryText(" a<b <i>c", kDefaults, " ac");
  ExpectQueryText(" a<b", kDefaults, " a<b");
  ExpectQueryText(" a>", kDefaults, " a>");
  ExpectQueryText(" a>b>c<", kDefaults, " abc<");
}

TEST(QueryText, EndOfFileTagStopsTheTagRemoval) {
  ExpectQueryText(" <b>a<EOF>b<i>c</i>", kDefaults, " ab<i>c</i>");
  ExpectQueryText(" a<eof >b<i>", kDefaults, " ab");
}

TEST(QueryText, EntitiesStayAsWritten) {
  ExpectQueryText(" &lt;b&gt; caf&eacute; &amp;", kDefaults, " &lt;b&gt; caf&eacute; &amp;");
}

TEST(QueryText, NothingIsLeftOnceTheWorkerStops) {
  std::atomic<bool> stopping{true};
  EXPECT_EQ(MakeQueryText(kHomePage, kDefaults, stopping), "");
  stopping = false;
  EXPECT_EQ(MakeQueryText(kHomePage, kDefaults, stopping), "   Welcome Text more ");
}

// Pages made of pieces that exercise every rule, in random letter case.
std::string GeneratedPage(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {"<title>",
                                                  "</title>",
                                                  "<!--",
                                                  "-->",
                                                  "<script",
                                                  "</script>",
                                                  "<style",
                                                  "</style>",
                                                  "<eof>",
                                                  "<html>",
                                                  "<head>",
                                                  "<hr>",
                                                  "</center>",
                                                  "<li>",
                                                  "<br>",
                                                  "<p>",
                                                  "<p align",
                                                  "</td>",
                                                  "<td",
                                                  "<th",
                                                  "<tr",
                                                  "<h1>",
                                                  "</h",
                                                  "<form",
                                                  "<div",
                                                  "</div>",
                                                  "<blockquote>",
                                                  "</blockquote>",
                                                  "<a href=x>",
                                                  "</a>",
                                                  "<",
                                                  ">",
                                                  "-",
                                                  "!",
                                                  "/",
                                                  " ",
                                                  "text",
                                                  "A",
                                                  "\t",
                                                  "&nbsp;",
                                                  "<!",
                                                  "--",
                                                  "<!-->",
                                                  "<b",
                                                  "=center>"};
  std::string page = " ";
  const int count = static_cast<int>(rng() % 60);
  for (int i = 0; i < count; ++i) {
    std::string piece = pieces[rng() % pieces.size()];
    if (rng() % 3 == 0) {
      for (char& c : piece) {
        if (c >= 'a' && c <= 'z' && rng() % 2) c = static_cast<char>(c - 32);
      }
    }
    page += piece;
  }
  return page;
}

std::string RandomBytes(std::mt19937& rng) {
  // Half of the inputs from a small alphabet of the characters the rules look at.
  static const std::string alphabet = "<>!-/ tiTlescrpyEOFhd";
  std::string bytes(rng() % 200, '\0');
  const bool small = rng() % 2;
  for (char& c : bytes) {
    c = small ? alphabet[rng() % alphabet.size()] : static_cast<char>(rng());
  }
  return bytes;
}

void ExpectSameAsReference(const std::string& page) {
  for (int combination = 0; combination < 8; ++combination) {
    const QueryTextSettings settings =
        Settings(combination & 1, (combination & 2) != 0, (combination & 4) != 0);
    const std::string fast = MakeQueryText(page, settings);
    const std::string slow = testing::LiteralMakeQueryText(
        page, settings.WithinTags, settings.WithinTitles, settings.WithinComments);
    ASSERT_EQ(fast, slow) << "page: " << page << "\nsettings: " << combination;
  }
}

TEST(QueryText, SameAsTheReferenceOnGeneratedPages) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(4711));
  for (int i = 0; i < 3000; ++i) {
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(GeneratedPage(rng)));
  }
}

TEST(QueryText, SameAsTheReferenceOnRandomBytes) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(1999));
  for (int i = 0; i < 3000; ++i) {
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsReference(RandomBytes(rng)));
  }
}

}  // namespace
}  // namespace ferrowyn
