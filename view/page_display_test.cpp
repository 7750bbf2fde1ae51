// Opening stored pages through the display operations: the refusals and their messages,
// what reaches the viewer, and the highlight settings.
#include "view/page_display.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "store/qdb_format.h"
#include "store/record_store.h"
#include "store/site_layout.h"
#include "tests/support/qdb_test_files.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn {
namespace {

using testing::ScratchDir;
using testing::ScriptedUserPort;

constexpr char kUrl[] = "http://www.example.com/cats.htm";
constexpr char kPage[] = "<html><title>Big cat</title><body>A cat sat</body></html>";
constexpr char kOpening[] = "<font color=\"#123456\"><b>";

class RecordingViewer : public PageViewer {
 public:
  void ShowPage(const ViewerPage& page) override { pages.push_back(page); }
  std::vector<ViewerPage> pages;
};

class ThrowingViewer : public PageViewer {
 public:
  void ShowPage(const ViewerPage&) override { throw std::runtime_error("pane"); }
};

class PageDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TQDB::SetTempDirectory(work_.path());
    QDB_.SetCompression(true);
    QDB_.SetFileName(work_.File("temp.fwt"));
    QDB_.AddItem(kPage, DisplayKey(kUrl));
    QDB_.Commit();
    display_.SetCursorHook([this](bool hourglass) {
      // With the number of messages shown so far, so the order can be checked.
      cursor_.emplace_back(hourglass, port_.prompts().size());
    });
  }
  void TearDown() override {
    QDB_.SetFileName("");
    TQDB::SetTempDirectory("");
  }

  DisplaySiteState Site() const { return {true, "cats.fwb"}; }
  DisplayQueryState Query(std::string keywords) const {
    return {"cats.fwb", std::move(keywords), false, false};
  }
  static DisplayHighlightSettings Settings(bool highgraph, bool hightext) {
    return {highgraph, hightext, Rgb{0x12, 0x34, 0x56}};
  }

  ScratchDir work_;
  TQDB QDB_;
  ScriptedUserPort port_;
  RecordingViewer viewer_;
  PageDisplay display_{QDB_, port_, viewer_};
  std::vector<std::pair<bool, size_t>> cursor_;
};

using CursorLog = std::vector<std::pair<bool, size_t>>;

TEST_F(PageDisplayTest, QueryResultRefusalsInOrder) {
  // No row selected: refused before anything else, the cursor untouched.
  port_.ExpectError("You must first select a query result to open.");
  EXPECT_FALSE(display_.displayinternal(std::nullopt, {false, "x"}, Query("cat"), Settings(1, 1)));
  EXPECT_EQ(cursor_, (CursorLog{{false, 0}}));

  port_.ExpectError("You must first open a Ferrowyn! site to search.");
  EXPECT_FALSE(display_.displayinternal(kUrl, {false, "cats.fwb"}, Query("cat"), Settings(1, 1)));
  // Hourglass first, and the normal cursor back before the message.
  EXPECT_EQ(cursor_, (CursorLog{{false, 0}, {true, 1}, {false, 1}}));

  // A query made on another site, even though this site holds the page.
  port_.ExpectError(
      "The current Ferrowyn! site does not correspond to the open query. Please open the "
      "associated site and then try again.");
  DisplayQueryState other = Query("cat");
  other.querysitename = "Untitled";
  EXPECT_FALSE(display_.displayinternal(kUrl, Site(), other, Settings(1, 1)));

  port_.ExpectError("This page could not be found in the current Ferrowyn! site.");
  EXPECT_FALSE(display_.displayinternal(std::string("http://www.example.com/dogs.htm"), Site(),
                                        Query("cat"), Settings(1, 1)));
  EXPECT_TRUE(viewer_.pages.empty());
  EXPECT_EQ(port_.pending(), 0u);
}

TEST_F(PageDisplayTest, PageListRefusals) {
  port_.ExpectError("You must first open a Ferrowyn! site to search.");
  EXPECT_FALSE(display_.displayinternalnokeys(kUrl, {false, "cats.fwb"}));
  EXPECT_EQ(cursor_, (CursorLog{{false, 0}}));  // refused before the hourglass

  port_.ExpectError("This page could not be found in the current Ferrowyn! site.");
  EXPECT_FALSE(display_.displayinternalnokeys("http://www.example.com/", Site()));
  EXPECT_EQ(cursor_, (CursorLog{{false, 0}, {true, 1}, {false, 1}}));
  EXPECT_TRUE(viewer_.pages.empty());
}

TEST_F(PageDisplayTest, FailuresBecomeTheOperationsMessages) {
  ThrowingViewer broken;
  PageDisplay display(QDB_, port_, broken);
  port_.ExpectError("There was an error while trying to open query result.");
  EXPECT_FALSE(display.displayinternal(kUrl, Site(), Query("cat"), Settings(1, 1)));
  port_.ExpectError("There was an error while trying to requested page.");
  EXPECT_FALSE(display.displayinternalnokeys(kUrl, Site()));

  // A stored item whose compressed form is garbage.
  ScratchDir dir;
  testing::StoreFileBuilder builder;
  builder.AddItem(DisplayKey(kUrl), "\x07garbage", qdb::kFlagCompressed);
  testing::WriteFileBytes(dir.File("bad.fwb"), builder.Bytes());
  TQDB bad;
  bad.SetReadOnly(true);
  bad.SetFileName(dir.File("bad.fwb"));
  PageDisplay reading(bad, port_, viewer_);
  port_.ExpectError("There was an error while trying to open query result.");
  EXPECT_FALSE(reading.displayinternal(kUrl, Site(), Query("cat"), Settings(1, 1)));
  port_.ExpectError("There was an error while trying to requested page.");
  EXPECT_FALSE(reading.displayinternalnokeys(kUrl, Site()));
  EXPECT_TRUE(viewer_.pages.empty());
}

TEST_F(PageDisplayTest, PageFromThePageListIsUnmarked) {
  ASSERT_TRUE(display_.displayinternalnokeys(kUrl, Site()));
  ASSERT_EQ(viewer_.pages.size(), 1u);
  const ViewerPage& page = viewer_.pages[0];
  EXPECT_EQ(page.HtmlLines,
            std::vector<std::string>{" <html><title></title><body>A cat sat</body></html>"});
  EXPECT_EQ(page.TextLines, (std::vector<std::string>{"A cat sat<p>", ""}));
  EXPECT_EQ(page.Caption, "Big cat");
  EXPECT_EQ(page.Url, kUrl);
  EXPECT_EQ(page.HelpTopic, 1028);
  EXPECT_EQ(cursor_, (CursorLog{{true, 0}, {false, 0}}));
}

TEST_F(PageDisplayTest, QueryResultIsMarkedAsTheSettingsSay) {
  const std::string cat = std::string(kOpening) + "cat</b></font>";
  const std::string html_plain = " <html><title></title><body>A cat sat</body></html>";
  const std::string html_marked = " <html><title></title><body>A " + cat + " sat</body></html>";
  const std::vector<std::string> text_plain{"A cat sat<p>", ""};
  const std::vector<std::string> text_marked{"A " + cat + " sat<p>", ""};
  struct Case {
    bool highgraph, hightext;
    std::string html;
    std::vector<std::string> text;
  };
  for (const Case& c :
       {Case{false, false, html_plain, text_plain}, Case{true, false, html_marked, text_plain},
        Case{false, true, html_plain, text_marked}, Case{true, true, html_marked, text_marked}}) {
    SCOPED_TRACE(::testing::Message() << c.highgraph << c.hightext);
    viewer_.pages.clear();
    ASSERT_TRUE(
        display_.displayinternal(kUrl, Site(), Query("  cat "), Settings(c.highgraph, c.hightext)));
    ASSERT_EQ(viewer_.pages.size(), 1u);
    const ViewerPage& page = viewer_.pages[0];
    EXPECT_EQ(page.HtmlLines, std::vector<std::string>{c.html});
    EXPECT_EQ(page.TextLines, c.text);
    EXPECT_EQ(page.Caption, "Big cat");  // the title's markup never shows
    EXPECT_EQ(page.Url, kUrl);
    EXPECT_EQ(page.HelpTopic, 1053);
  }
}

TEST_F(PageDisplayTest, QueryResultUsesTheQuerysMatchFlags) {
  QDB_.AddItem("<html><body>Cat concat, cat</body></html>", DisplayKey("http://a/"));
  DisplayQueryState query = Query("cat");
  query.querycasesensitive = true;
  ASSERT_TRUE(display_.displayinternal(std::string("http://a/"), Site(), query, Settings(0, 1)));
  EXPECT_EQ(viewer_.pages.back().TextLines,
            (std::vector<std::string>{"Cat con" + std::string(kOpening) + "cat</b></font>, " +
                                          kOpening + "cat</b></font><p>",
                                      ""}));
  query.querywholeword = true;
  query.querycasesensitive = false;
  ASSERT_TRUE(display_.displayinternal(std::string("http://a/"), Site(), query, Settings(0, 1)));
  // Whole words in any case: "concat" stays plain, "cat" before the break is marked.
  EXPECT_EQ(
      viewer_.pages.back().TextLines,
      (std::vector<std::string>{
          std::string(kOpening) + "Cat</b></font> concat, " + kOpening + "cat</b></font><p>", ""}));
}

TEST_F(PageDisplayTest, LongUrlsAreLookedUpByTheCutKey) {
  const std::string url = "http://a/" + std::string(300, 'p');
  QDB_.AddItem("plain text", DisplayKey(url));
  ASSERT_TRUE(display_.displayinternalnokeys(url, Site()));
  EXPECT_EQ(viewer_.pages.back().TextLines, std::vector<std::string>{"plain text"});
  EXPECT_EQ(viewer_.pages.back().Caption, "Untitled");
  EXPECT_EQ(viewer_.pages.back().Url, url);
}

}  // namespace
}  // namespace ferrowyn
