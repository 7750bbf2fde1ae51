// Link extraction: the values and titles found on typical and odd pages, the whole
// extraction with resolution, filtering and stop requests, and the linear scan against
// the slow reference on thousands of generated pages.
#include "crawl/link_extraction.h"

#include <gtest/gtest.h>

#include <random>

#include "crawl/page_assembly.h"
#include "tests/support/literal_link_extraction.h"
#include "tests/support/test_seed.h"

namespace ferrowyn {
namespace {

using testing::LiteralLinkScan;
using testing::LiteralScanPage;
using Strings = std::vector<std::string>;

const Strings kTypes = {".htm", ".html", ".shtml", ".shtm", ".txt", ".asp", ".stm"};

LiteralLinkScan FastScan(const std::string& page, const Strings& types = kTypes) {
  LiteralLinkScan scan;
  const std::atomic<bool> stopping{false};
  const std::string text = RemoveComments(page);
  scan.title = PageTitleOf(text);
  EXPECT_TRUE(ScanLinkValues(text, types, stopping,
                             [&](std::string&& value) { scan.values.push_back(value); }));
  return scan;
}

// Checks the fast scan against the expected values and against the reference.
void ExpectValues(const std::string& page, const Strings& expected) {
  SCOPED_TRACE(page);
  EXPECT_EQ(FastScan(page).values, expected);
  EXPECT_EQ(LiteralScanPage(page, kTypes).values, expected);
}

void ExpectTitle(const std::string& page, const std::string& expected) {
  SCOPED_TRACE(page);
  EXPECT_EQ(FastScan(page).title, expected);
  EXPECT_EQ(LiteralScanPage(page, kTypes).title, expected);
}

// A value runs through the tag's ">" (link resolution cuts it there later), so only an
// " alt" cut or a quotation mark ends it earlier.
TEST(LinkValues, AnchorsTakeTheValueUpToTheTagEnd) {
  ExpectValues(R"( <a href="news/index.htm">News</a>)", {"news/index.htm"});
  ExpectValues(" <A HREF=page.htm>", {"page.htm>"});
  // The closing apostrophe is not at the end of the value, so it stays.
  ExpectValues(" <a href='x.htm'>", {"x.htm'>"});
  ExpectValues(" <a href=a.htm alt=b>", {"a.htm"});
  ExpectValues(" <a href='a.htm' ALT='b'>", {"a.htm"});
  ExpectValues(R"( <a href="a.htm" title="t">)", {"a.htm"});
  // The value is as long as the stretch from the keyword to ">": here it runs past it.
  ExpectValues(" the word href then a=b c> tail", {"b c> tail"});
  ExpectValues(" <a href=>x", {">"});
  ExpectValues(" <a name=top> href <b>", {});
  ExpectValues(R"( <a href="">)", {});
  ExpectValues(" <a href=''>", {"'>"});
  ExpectValues(" <a href=x.htm>a</a><A Href=\"y.htm\">b</a>", {"x.htm>", "y.htm"});
}

TEST(LinkValues, FramesOptionsAndParamsNeedTheirWordInsideTheTag) {
  ExpectValues(" <frame src=top.htm>", {"top.htm>"});
  ExpectValues(" <iframe name=x src=f.htm>", {"f.htm>"});
  ExpectValues(" <frameset rows=50,50>", {});
  ExpectValues(" <frame name=x> <a src=y.htm>", {});
  ExpectValues(" <FRAME SRC=\"Top.htm\">", {"Top.htm"});
  ExpectValues(" <option value=a.htm>", {"a.htm>"});
  ExpectValues(" <option value=42>", {});
  ExpectValues(" <option>", {});
  ExpectValues(" <OPTION VALUE=\"Page.HTML\">", {"Page.HTML"});
  ExpectValues(" <param name=url value=/docs/a.html>", {"/docs/a.html>"});
  ExpectValues(" <param name=movie value=a.swf>", {});
  // The file type only has to occur somewhere in the value.
  ExpectValues(" <option value=x.htmz>", {"x.htmz>"});
  ExpectValues(" <img src=a.gif> <form action=x.asp> <script src=x.js>", {});
  // A keyword at the very end, and a tag left open.
  ExpectValues(" <a href=x.htm> href", {"x.htm>"});
  ExpectValues(" <a href=x.htm", {});
  ExpectValues(" <frame src=x.htm", {});
}

TEST(LinkValues, OptionAndParamValuesUseTheConfiguredFileTypes) {
  const std::string page = " <option value=a.php> <option value=b.htm> <a href=c.gif>";
  EXPECT_EQ(FastScan(page, {".PHP"}).values, (Strings{"a.php>", "c.gif>"}));
  EXPECT_EQ(LiteralScanPage(page, {".PHP"}).values, (Strings{"a.php>", "c.gif>"}));
  EXPECT_EQ(FastScan(page, {}).values, Strings{"c.gif>"});
}

TEST(LinkValues, CommentsHideLinksOnlyWhenClosed) {
  ExpectValues(" <!-- <a href=hidden.htm> --><a href=shown.htm>", {"shown.htm>"});
  ExpectValues(" <!-- never closed <a href=x.htm>", {"x.htm>"});
  // A "-->" before the first "<!--" ends the removal.
  ExpectValues(" --> <!-- <a href=y.htm> -->", {"y.htm>"});
  // The text that closes up is searched again.
  ExpectValues(" <!<!-- a -->-- <a href=z.htm> --><a href=w.htm>", {"w.htm>"});
  EXPECT_EQ(RemoveComments("a<!-->b<!--->c<!-- x -- y -->d"), "abcd");
  EXPECT_EQ(RemoveComments("<!<!-- a -->-- b -->"), "");
  EXPECT_EQ(RemoveComments("<!<!---->--"), "<!--");
  EXPECT_EQ(RemoveComments("x-->y<!--z-->"), "x-->y<!--z-->");
}

TEST(PageTitle, IsTheTrimmedTextBetweenTheFirstTitleTags) {
  ExpectTitle(" <html><TITLE>  Home page \t</Title></html>", "Home page");
  ExpectTitle(" <title>Home", "Untitled");
  ExpectTitle(" </title>x<title>Home</title>", "Untitled");
  ExpectTitle(" <title>   </title>", "Untitled");
  ExpectTitle(" no title at all", "Untitled");
  ExpectTitle(" <!-- <title>Old</title> --><title>New</title>", "New");
}

TEST(PageTitle, EntitiesRunFromAnAmpersandToTheNextSemicolon) {
  ExpectTitle(" <title>Fish &AMP; Chips &lt;new&gt;</title>", "Fish & Chips new");
  ExpectTitle(" <title>&AMP;lt;</title>", "&lt;");
  ExpectTitle(" <title>Salt & Pepper; the story</title>", "Salt  the story");
  ExpectTitle(" <title>Salt & Pepper</title>", "Salt & Pepper");
  ExpectTitle(" <title>a&NbSp;b</title>", "a b");
  // A ";" before the first "&" ends the decoding.
  ExpectTitle(" <title>a;b &lt;c</title>", "a;b &lt;c");
  ExpectTitle(" <title>&x;</title>", "Untitled");
  ExpectTitle(" <title>&amp;x; y</title>", "&x; y");
}

TEST(ScanLinkValues, StopsAtOnceWhenToldTo) {
  std::atomic<bool> stopping{false};
  Strings seen;
  const bool complete = ScanLinkValues(" <a href=a.htm><a href=b.htm><a href=c.htm>", kTypes,
                                       stopping, [&](std::string&& value) {
                                         seen.push_back(value);
                                         stopping = true;
                                       });
  EXPECT_FALSE(complete);
  EXPECT_EQ(seen, Strings{"a.htm>"});
}

// The whole extraction, with the real resolution and filter.
class ExtractLinksTest : public ::testing::Test {
 protected:
  LinkPage Page(const std::string& body, const std::string& url) {
    LinkPage page;
    page.PageText = AssemblePage({body}).PageText;
    page.CurrentUrl = url;
    const size_t begin = url.find_first_not_of(' ');
    page.Base = MakePageBase(begin == std::string::npos ? "" : url.substr(begin));
    return page;
  }

  LinkExtractionHooks Hooks() {
    LinkExtractionHooks hooks;
    hooks.AddPageListRow = [this](const std::string& url, const std::string& title) {
      rows.push_back(url + "|" + title);
    };
    hooks.ShowSlotStatus = [this](std::string_view status) { statuses.emplace_back(status); };
    hooks.AddMailAddress = [this](const std::string& address) { mail.push_back(address); };
    return hooks;
  }

  std::atomic<bool> stopping{false};
  Strings rows, statuses, mail;
};

TEST_F(ExtractLinksTest, ResolvesFiltersAndReportsThePage) {
  LinkPage page = Page(
      "<title>Fish &amp;amp; Chips</title>\r\n"
      "<a href=\"x.htm\">x</a> <a href='../y.htm'>y</a>\r\n"
      "<!-- <a href=old.htm> --><a href=\"run.asp?a=1&amp;b=2\">r</a>\n"
      "<a href=\"MAILTO:Me@Example.com\">m</a><img src=a.gif><a href=pic.gif>"
      "<frame src=\"/top.htm#x\"><a href=X.HTM>",
      "  http://host/a/b/page.htm ");
  LinkFilterSettings settings;
  settings.FileTypes = kTypes;
  settings.GrabMail = true;

  EXPECT_TRUE(ExtractLinks(page, settings, stopping, Hooks()));
  EXPECT_EQ(page.PageTitle, "Fish & Chips");
  EXPECT_EQ(page.CurrentUrl, "http://host/a/b/page.htm");
  EXPECT_EQ(rows, Strings{"http://host/a/b/page.htm|Fish & Chips"});
  EXPECT_EQ(statuses, Strings{"Filtering Links..."});
  EXPECT_EQ(page.RawLinks,
            (Strings{"http://host/a/b/x.htm", "http://host/a/y.htm'",
                     "http://host/a/b/run.asp?a=1&b=2", "http://host/a/b/MAILTO:Me@Example.com",
                     "http://host/a/b/pic.gif", "http://host/top.htm#x", "http://host/a/b/X.HTM"}));
  EXPECT_EQ(page.Candidates, (Strings{"http://host/a/b/x.htm", "http://host/a/b/run.asp?a=1&b=2",
                                      "http://host/top.htm"}));
  EXPECT_EQ(mail, Strings{"Me@Example.com"});
  EXPECT_TRUE(page.PageText.empty());
}

TEST_F(ExtractLinksTest, AnEmptyPageOrAStopGivesFalse) {
  LinkPage empty = Page("", "http://host/");
  empty.PageText.clear();
  EXPECT_FALSE(ExtractLinks(empty, {}, stopping, Hooks()));
  EXPECT_TRUE(rows.empty());

  LinkPage page = Page("<a href=x.htm>", "http://host/");
  page.RawLinks = {"left over"};
  stopping = true;
  EXPECT_FALSE(ExtractLinks(page, {}, stopping, Hooks()));
  EXPECT_TRUE(page.RawLinks.empty());
  EXPECT_TRUE(rows.empty());
}

TEST_F(ExtractLinksTest, AStopWhileTheRowIsAddedEndsTheScanBeforeAnyLink) {
  LinkPage page = Page("<title>T</title><a href=x.htm><a href=y.htm>", "");
  page.CurrentUrl = "http://host/";
  LinkExtractionHooks hooks = Hooks();
  hooks.AddPageListRow = [this](const std::string&, const std::string&) { stopping = true; };
  EXPECT_FALSE(ExtractLinks(page, {}, stopping, hooks));
  EXPECT_EQ(page.PageTitle, "T");
  EXPECT_TRUE(page.RawLinks.empty());
  EXPECT_TRUE(statuses.empty());
}

TEST_F(ExtractLinksTest, APageWithoutUrlGetsNoRow) {
  LinkPage page = Page("<a href=http://other/docs>", "   ");
  EXPECT_TRUE(ExtractLinks(page, {}, stopping, Hooks()));
  EXPECT_EQ(page.PageTitle, "Untitled");
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(page.Candidates, Strings{"http://other/docs"});
}

// ---- The linear scan against the reference on generated pages ----

std::string Escaped(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 32 && c < 127 && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02x", c);
      out += buffer;
    }
  }
  return out;
}

// Pieces from which HTML-like pages are drawn, weighted toward the markers every rule
// looks at: keywords in all letter cases, "=", ">", quotes, " alt", comment markers and
// parts of them, title tags, entities, file types.
const std::vector<std::string> kPieces = {
    "<a ",     "href",     "HREF",     "HrEf=",   "<frame ", "FRAME ", "<iframe ", "frameset",
    "src",     "SRC=",     "<option ", "OPTION ", "value",   "VALUE=", "<param ",  "PARAM ",
    "=",       "==",       ">",        "<",       "'",       "\"",     " alt",     " ALT=",
    "alt",     ".htm",     ".HTML",    ".gif",    ".asp",    "x.htm",  "/",        "../",
    "<!--",    "-->",      "<!-",      "->",      "--",      "!",      "<title>",  "</title>",
    "<TITLE>", "</TITLE>", "&amp;",    "&AMP;",   "&nbsp;",  "&lt;",   "&",        ";",
    " ",       "  ",       "\t",       "a",       "page",    "\xC9",   "\xE9",     "\x01",
    "http://", "mailto:",  "?x=1",     "#top",    "title",   "opt",    "ion ",     "par"};

std::string HtmlLikePage(std::mt19937& rng) {
  std::string page = " ";
  const size_t pieces = rng() % 80;
  for (size_t i = 0; i < pieces; ++i) page += kPieces[rng() % kPieces.size()];
  return page;
}

std::string Bytes(std::mt19937& rng, const std::string& alphabet, size_t max_size) {
  std::string s(rng() % (max_size + 1), ' ');
  for (char& c : s) c = alphabet[rng() % alphabet.size()];
  return s;
}

void ExpectSameAsReference(const std::string& page, const Strings& types) {
  const LiteralLinkScan expected = LiteralScanPage(page, types);
  const LiteralLinkScan actual = FastScan(page, types);
  if (actual.title != expected.title || actual.values != expected.values) {
    ADD_FAILURE() << "page: \"" << Escaped(page) << "\"\ntitle \"" << Escaped(actual.title)
                  << "\" expected \"" << Escaped(expected.title) << "\"\nvalues "
                  << ::testing::PrintToString(actual.values) << " expected "
                  << ::testing::PrintToString(expected.values);
  }
}

TEST(LinkScanAgainstReference, HtmlLikePages) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(7001));
  const std::vector<Strings> type_sets = {kTypes, {}, {".GIF", "x"}, {""}, {".\xC9"}};
  for (int i = 0; i < 6000 && !HasFailure(); ++i)
    ExpectSameAsReference(HtmlLikePage(rng), type_sets[i % type_sets.size()]);
}

TEST(LinkScanAgainstReference, RandomBytes) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(7002));
  std::string all(256, '\0');
  for (int c = 0; c < 256; ++c) all[c] = static_cast<char>(c);
  const std::string markers = "hrefHREFsrcvalueoptionparamframe =>'\"<!-t;&altALT.";
  for (int i = 0; i < 3000 && !HasFailure(); ++i) {
    ExpectSameAsReference(Bytes(rng, all, 400), kTypes);
    ExpectSameAsReference(Bytes(rng, markers, 300), {".htm", "e", "."});
  }
}

TEST(LinkScanAgainstReference, CommentMarkers) {
  // Short texts over the comment markers' own characters exercise every way in which
  // removing a comment can close the text up into a new marker.
  std::mt19937 rng(ferrowyn::testing::TestSeed(7003));
  const std::vector<std::string> pieces = {"<!--", "-->", "<!-", "<!", "<", "!",
                                           "-",    "--",  "->",  ">",  "a"};
  for (int i = 0; i < 20000 && !HasFailure(); ++i) {
    std::string text = Bytes(rng, "<!->a", 16);
    for (size_t n = rng() % 14; n > 0; --n) text += pieces[rng() % pieces.size()];
    ASSERT_EQ(RemoveComments(text), testing::LiteralRemoveComments(text))
        << "text: \"" << text << "\"";
  }
}

TEST(LinkScanAgainstReference, TitleEntities) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(7004));
  for (int i = 0; i < 5000 && !HasFailure(); ++i) {
    const std::string title = Bytes(rng, "&;ampAMPnbsNBS x", 30);
    ExpectSameAsReference(" <title>" + title + "</title>", kTypes);
  }
}

TEST_F(ExtractLinksTest, NumericCharacterReferencesAreDecodedBeforeTheFilterCuts) {
  LinkPage page = Page(
      "<a href=\"git-web&#45;&#45;browse.html\">g</a><a href=\"a&#X2d;b&#x2E;htm&#35;part\">h</a>"
      "<a href=\"c&#32;d&#256;e&#127;.htm\">n</a>",
      "http://host/docs/");
  LinkFilterSettings settings;
  settings.FileTypes = kTypes;
  EXPECT_TRUE(ExtractLinks(page, settings, stopping, Hooks()));
  // A reference to a blank, to a control character or beyond ASCII stays as written.
  EXPECT_EQ(page.RawLinks,
            (Strings{"http://host/docs/git-web--browse.html", "http://host/docs/a-b.htm#part",
                     "http://host/docs/c&#32;d&#256;e&#127;.htm"}));
  EXPECT_EQ(page.Candidates, (Strings{"http://host/docs/git-web--browse.html",
                                      "http://host/docs/a-b.htm", "http://host/docs/c&"}));
}

TEST(LinkScanAgainstReference, NumericReferences) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(7005));
  for (int i = 0; i < 5000 && !HasFailure(); ++i) {
    const std::string value = Bytes(rng, "&#xX0912afAF;-", 24);
    ExpectSameAsReference(" <a href=\"" + value + "\"> <a href=" + value + ">", kTypes);
  }
}

}  // namespace
}  // namespace ferrowyn
