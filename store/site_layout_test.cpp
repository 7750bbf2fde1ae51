// Tests of the site store layout: keys, the list records' bytes and their round trips,
// the site map rebuild and its error, and the page count.
#include "store/site_layout.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace ferrowyn {
namespace {

TEST(SiteKeysTest, PrefixesAndTheCut) {
  EXPECT_EQ(DisplayKey("http://host/a.htm"), "DISPLAYXXhttp://host/a.htm");
  EXPECT_EQ(QueryKey("http://host/a.htm"), "QUERYXXhttp://host/a.htm");

  const std::string url = "http://host/" + std::string(300, 'x');
  EXPECT_EQ(CutKey(url), url.substr(0, 255));
  EXPECT_EQ(CutKey("short"), "short");
  // The prefix counts: 246 characters of a URL stay after "DISPLAYXX", 248 after "QUERYXX".
  EXPECT_EQ(DisplayKey(url), "DISPLAYXX" + url.substr(0, 246));
  EXPECT_EQ(QueryKey(url), "QUERYXX" + url.substr(0, 248));
  EXPECT_EQ(DisplayKey(url + "a"), DisplayKey(url + "b"));
}

TEST(RecordLinesTest, SplitsAtEveryLineBreak) {
  EXPECT_EQ(SplitRecordLines(""), std::vector<std::string>{});
  EXPECT_EQ(SplitRecordLines("\r\n"), std::vector<std::string>{""});
  EXPECT_EQ(SplitRecordLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitRecordLines("a\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitRecordLines(std::string("a\0b\r\n", 5)),
            std::vector<std::string>{std::string("a\0b", 3)});
  EXPECT_EQ(JoinRecordLines({"a", "", "b"}), "a\r\n\r\nb\r\n");

  // Records of every length around the sixteen-byte steps of the scan for line breaks,
  // against a split made a byte at a time.
  std::mt19937 rng(20261210);
  for (std::size_t size = 0; size < 200; ++size) {
    std::string record;
    for (std::size_t k = 0; k < size; ++k) record += "ab\r\n"[rng() % (size % 2 ? 4 : 2)];
    std::vector<std::string> expected;
    std::string line;
    for (std::size_t i = 0; i < record.size(); ++i) {
      if (record[i] != '\r' && record[i] != '\n') {
        line += record[i];
        continue;
      }
      expected.push_back(std::exchange(line, {}));
      if (record[i] == '\r' && i + 1 < record.size() && record[i + 1] == '\n') ++i;
    }
    if (!line.empty()) expected.push_back(line);
    ASSERT_EQ(SplitRecordLines(record), expected) << "record of " << size << " bytes";
  }
}

TEST(WebListTest, BytesAndRoundTrip) {
  const std::vector<PageListRow> rows = {
      {"http://host/", "Home"},
      {"http://host/a.htm?x=1&y=2", "a = b == c"},
      {"http://host/b.htm", ""},
  };
  const std::string bytes = WriteWebList(rows);
  EXPECT_EQ(bytes,
            "[URL]\r\nURL=http://host/\r\nTitle=Home\r\n"
            "[URL]\r\nURL=http://host/a.htm?x=1&y=2\r\nTitle=a = b == c\r\n"
            "[URL]\r\nURL=http://host/b.htm\r\nTitle=\r\n");
  EXPECT_EQ(ReadWebList(bytes), rows);

  EXPECT_EQ(WriteWebList({}), "PLACEHOLDER\r\n");
  EXPECT_TRUE(ReadWebList("PLACEHOLDER\r\n").empty());
  EXPECT_TRUE(ReadWebList("").empty());
}

TEST(WebListTest, ReadsLeniently) {
  // The words before "=" are not checked; a line without "=" is taken whole; a "[URL]"
  // within the last two lines is ignored; lines between sections are skipped.
  const std::string bytes =
      "junk\r\n[URL]\r\nLink=http://a/\r\nName=A=1\r\nmore junk\n"
      "[URL]\r\nhttp://b/\r\nno title\r\n[URL]\r\nURL=http://c/";
  EXPECT_EQ(ReadWebList(bytes),
            (std::vector<PageListRow>{{"http://a/", "A=1"}, {"http://b/", "no title"}}));
  // The record's first line alone decides about "PLACEHOLDER".
  EXPECT_EQ(ReadWebList("[URL]\r\nURL=PLACEHOLDER\r\nTitle=x\r\n"),
            (std::vector<PageListRow>{{"PLACEHOLDER", "x"}}));
}

TEST(EmailTest, BytesAndRoundTrip) {
  const std::vector<std::string> lines = {"ann@example.com", "bob@example.org"};
  EXPECT_EQ(WriteEmail(lines), "ann@example.com\r\nbob@example.org\r\n");
  EXPECT_EQ(ReadEmail(WriteEmail(lines)), lines);
  EXPECT_EQ(WriteEmail({}), "PLACEHOLDER\r\n");
  EXPECT_TRUE(ReadEmail("PLACEHOLDER\r\n").empty());
  // Only a first line "PLACEHOLDER" goes.
  EXPECT_EQ(ReadEmail("PLACEHOLDER\r\nann@x.com\r\nPLACEHOLDER\r\n"),
            (std::vector<std::string>{"ann@x.com", "PLACEHOLDER"}));
}

std::string CompressedPlaceholder() {
  std::string stored;
  CompressItem("PLACEHOLDER\r\n", stored);
  return stored;
}

SiteMapTree SampleTree() {
  return {
      {"http://host/",
       {{"http://host/a.htm", {{"http://host/a1.htm", {}}, {"http://host/a2.htm", {}}}},
        {"http://host/b.htm", {{"http://host/b1.htm", {{"http://host/deep.htm", {}}}}}},
        {"http://host/c.htm", {}}}},
      {"http://second/", {}},
  };
}

TEST(WebMapTest, BytesAndRoundTrip) {
  const std::string bytes = WriteWebMap(SampleTree());
  EXPECT_EQ(bytes,
            "http://host/\r\n"
            "\thttp://host/a.htm\r\n"
            "\t\thttp://host/a1.htm\r\n"
            "\t\thttp://host/a2.htm\r\n"
            "\thttp://host/b.htm\r\n"
            "\t\thttp://host/b1.htm\r\n"
            "\t\t\thttp://host/deep.htm\r\n"
            "\thttp://host/c.htm\r\n"
            "http://second/\r\n");
  EXPECT_EQ(ReadWebMap(bytes), SampleTree());

  EXPECT_EQ(WriteWebMap({}), "PLACEHOLDER\r\n");
  EXPECT_TRUE(ReadWebMap("PLACEHOLDER\r\n").empty());
  EXPECT_TRUE(ReadWebMap("").empty());
}

TEST(WebMapTest, CompressedAsWrittenGivesTheRecordsStoredForm) {
  for (const int nodes : {0, 3, 5000}) {
    WebMapWriter plain, compressed(true);
    for (int i = 0; i < nodes; ++i) {
      const std::string text =
          "http://host/d" + std::to_string(i) + "/p\r" + std::to_string(i * 31);
      plain.Add(static_cast<std::size_t>(i % 4), text);
      compressed.Add(static_cast<std::size_t>(i % 4), text);
    }
    const std::string record = plain.Take();
    std::string stored;
    CompressItem(record, stored);
    const WebMapWriter::StoredRecord got = compressed.TakeStored();
    EXPECT_EQ(got.size, record.size()) << nodes;
    EXPECT_EQ(got.compressed, stored) << nodes;
    EXPECT_EQ(compressed.TakeStored().compressed, CompressedPlaceholder()) << nodes;
  }
}

TEST(WebMapTest, DepthFromTabsAndBlanks) {
  // Blanks count like tabs; a shallower line climbs to the ancestor at its depth; the
  // first line is a top-level node whatever its indent.
  EXPECT_EQ(
      ReadWebMap("root\r\n child\r\n \tgrandchild\r\n\tchild2\r\nroot2\n"),
      (SiteMapTree{{"root", {{"child", {{"grandchild", {}}}}, {"child2", {}}}}, {"root2", {}}}));
  EXPECT_EQ(ReadWebMap("\t\tfirst\r\n\tsecond\r\n"), (SiteMapTree{{"first", {{"second", {}}}}}));
  // A line of indent only is a node with empty text.
  EXPECT_EQ(ReadWebMap("a\r\n\t\r\n"), (SiteMapTree{{"a", {{"", {}}}}}));
  // A first node "PLACEHOLDER" goes with whatever hangs under it; later ones stay.
  EXPECT_EQ(ReadWebMap("PLACEHOLDER\r\n\tx\r\ny\r\nPLACEHOLDER\r\n"),
            (SiteMapTree{{"y", {}}, {"PLACEHOLDER", {}}}));
  // Checked without the tree: the first top-level node's text, as the tree would have it.
  EXPECT_EQ(CheckWebMap("root\r\n child\r\n \tgrandchild\r\n\tchild2\r\nroot2\n"), "root");
  EXPECT_EQ(CheckWebMap("\t\tfirst\r\n\tsecond\r\n"), "first");
  EXPECT_EQ(CheckWebMap("PLACEHOLDER\r\n\tx\r\ny\r\nPLACEHOLDER\r\n"), "y");
  EXPECT_EQ(CheckWebMap("PLACEHOLDER\r\n\tx\r\n"), std::nullopt);
  EXPECT_EQ(CheckWebMap(""), std::nullopt);
}

TEST(WebMapTest, LineTooDeepIsAnError) {
  try {
    ReadWebMap("a\r\n\tb\r\n\t\t\tc\r\n");
    FAIL() << "no error";
  } catch (const ESiteMapError& e) {
    EXPECT_STREQ(e.what(), "Invalid level (3) for item \"c\"");
  }
  EXPECT_THROW(ReadWebMap("a\r\n\t\tb\r\n"), ESiteMapError);
  EXPECT_THROW(ReadWebMap("a\r\n\tb\r\nc\r\n\t\td\r\n"), ESiteMapError);
  EXPECT_THROW(CheckWebMap("a\r\n\tb\r\nc\r\n\t\td\r\n"), ESiteMapError);
  EXPECT_NO_THROW(ReadWebMap("a\r\n\tb\r\n\t\tc\r\n\td\r\n\t\te\r\n"));
}

TEST(WebMapTest, CheckedInPartsAsTheTreeReadsTheWhole) {
  // Breaks of every kind, a CR LF and lines cut at each pair of places.
  for (const std::string& map :
       {std::string("PLACEHOLDER\r\n\tx\n\r\ty\r\r\nroot two\r\n z"),
        std::string("\t\tfirst\r\n\tsecond\r"), std::string("a\r\n\tb\r\nc\n\n\t\td\r\n"),
        std::string("PLACEHOLDER\r\n\tx\r\n\t\ty\r\nreal")}) {
    std::string expected;
    try {
      const SiteMapTree tree = ReadWebMap(map);
      expected = tree.empty() ? "none" : "\"" + tree.front().Text + "\"";
    } catch (const ESiteMapError& error) {
      expected = error.what();
    }
    for (std::size_t i = 0; i <= map.size(); ++i) {
      for (std::size_t j = i; j <= map.size(); ++j) {
        std::string got;
        try {
          WebMapCheck check;
          check.Add(std::string_view(map).substr(0, i));
          check.Add(std::string_view(map).substr(i, j - i));
          check.Add(std::string_view(map).substr(j));
          const std::optional<std::string> first = check.Finish();
          got = first ? "\"" + *first + "\"" : "none";
        } catch (const ESiteMapError& error) {
          got = error.what();
        }
        ASSERT_EQ(got, expected) << i << " " << j << " " << map;
      }
    }
  }
}

TEST(PageCountTest, SavedSitesCarryThreeListRecords) {
  EXPECT_EQ(StoredPageCount(0, false), 0);
  EXPECT_EQ(StoredPageCount(10, false), 5);
  EXPECT_EQ(StoredPageCount(11, false), 5);
  EXPECT_EQ(StoredPageCount(13, true), 5);
  EXPECT_EQ(StoredPageCount(3, true), 0);
  EXPECT_EQ(StoredPageCount(1, true), -1);  // rounded toward zero
  EXPECT_EQ(StoredPageCount(0, true), -1);
}

}  // namespace
}  // namespace ferrowyn
