// TQDB operations through the public interface: items, keys, current item,
// refusals with their exact texts, the cache counters and progress reports.
#include "store/record_store.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "store/item_coder.h"
#include "tests/support/qdb_test_files.h"

namespace ferrowyn {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;

class RecordStore : public ::testing::Test {
 protected:
  void SetUp() override { TQDB::SetTempDirectory(work_.path()); }
  void TearDown() override { TQDB::SetTempDirectory(""); }

  template <typename E>
  static std::string Raised(const std::function<void()>& f) {
    try {
      f();
    } catch (const E& e) {
      return e.what();
    }
    return "(nothing raised)";
  }

  ScratchDir dir_;
  ScratchDir work_;
};

TEST_F(RecordStore, AddFindGetInKeyOrder) {
  TQDB db;
  db.SetFileName(dir_.File("site.fwt"));
  db.AddItem("page two", "DISPLAYXXhttp://b/");
  db.AddItem("page one", "DISPLAYXXhttp://a/");
  db.AddItem("", "QUERYXXhttp://a/");
  EXPECT_EQ(db.Count(), 3);
  EXPECT_EQ(db.ItemIndex(), 2);  // the new item is current
  EXPECT_EQ(db.CurrentKey(), "QUERYXXhttp://a/");
  EXPECT_EQ(db.GetItem(), "");
  ASSERT_TRUE(db.FindKey("displayxxHTTP://B/"));
  EXPECT_EQ(db.ItemIndex(), 1);
  EXPECT_EQ(db.CurrentKey(), "DISPLAYXXhttp://b/");
  EXPECT_EQ(db.GetItem(), "page two");
  EXPECT_TRUE(db.KeyExists("DISPLAYXXHTTP://A/"));
  EXPECT_EQ(db.ItemIndex(), 1);  // KeyExists leaves the current item alone
  EXPECT_FALSE(db.FindKey("DISPLAYXXhttp://c/"));
  EXPECT_EQ(db.CurrentKey(), "DISPLAYXXhttp://b/");
  db.SetItemIndex(0);
  EXPECT_EQ(db.GetItem(), "page one");

  db.SetFileName("");
  db.SetFileName(dir_.File("site.fwt"));
  ASSERT_EQ(db.Count(), 3);
  EXPECT_EQ(db.CurrentKey(), "DISPLAYXXhttp://a/");
  db.SetItemIndex(2);
  EXPECT_EQ(db.GetItem(), "");
}

TEST_F(RecordStore, PreparedAndCompressedItemsGiveTheSameFileAsAddedOnes) {
  std::string varied;
  for (int i = 0; varied.size() < 70000; ++i)
    varied += "\thttp://h/d" + std::to_string(i * 7919 % 1000) + "/p.html\r\n";
  const std::vector<std::pair<std::string, std::string>> items = {
      {"DISPLAYXXhttp://h/", std::string(40000, 'a') + "<p>page\r\n"},
      {"WEBMAP", varied},
      {"QUERYXXhttp://h/", " page text page text page text\r\n"},
      {"EMPTY", ""}};
  for (const bool compression : {true, false}) {
    const std::string added = dir_.File(compression ? "added.fwt" : "plain-added.fwt");
    const std::string prepared = dir_.File(compression ? "prepared.fwt" : "plain-prepared.fwt");
    const std::string streamed = dir_.File(compression ? "streamed.fwt" : "plain-streamed.fwt");
    {
      TQDB a, b, c;
      a.SetCompression(compression);
      b.SetCompression(compression);
      c.SetCompression(compression);
      a.SetFileName(added);
      b.SetFileName(prepared);
      c.SetFileName(streamed);
      ItemCompressor compressor;
      for (const auto& [key, bytes] : items) {
        a.AddItem(bytes, key);
        b.AddPreparedItem(TQDB::PrepareItem(bytes), key);
        // In uneven parts, some across the 32,768-byte pieces.
        for (std::size_t at = 0, part = 1; at < bytes.size(); at += part, part = part * 3 + 5)
          compressor.Add(std::string_view(bytes).substr(at, part));
        EXPECT_EQ(compressor.RawSize(), bytes.size());
        const std::string stored = compressor.Take();
        c.AddCompressedItem(stored, bytes.size(), key);
      }
      EXPECT_EQ(Raised<EQDBIndexError>([&] { c.AddCompressedItem("", 0, "empty"); }),
                "Duplicate keys are not allowed");
      EXPECT_EQ(
          Raised<EQDBIndexError>([&] { b.AddPreparedItem(TQDB::PrepareItem("again"), "empty"); }),
          "Duplicate keys are not allowed");
      ASSERT_TRUE(b.FindKey("DISPLAYXXhttp://h/"));
      EXPECT_EQ(b.GetItem(), items[0].second);
      // Read through in parts: a compressed item a piece at a time.
      ASSERT_TRUE(b.FindKey("WEBMAP"));
      std::vector<std::string> parts;
      b.ScanItem([&parts](std::string_view part) { parts.emplace_back(part); });
      EXPECT_EQ(parts.size(), compression ? 3u : 1u);
      std::string joined;
      for (const std::string& part : parts) joined += part;
      EXPECT_EQ(joined, items[1].second);
    }
    EXPECT_EQ(ReadFileBytes(prepared), ReadFileBytes(added)) << compression;
    EXPECT_EQ(ReadFileBytes(streamed), ReadFileBytes(added)) << compression;
  }
}

TEST_F(RecordStore, KeysThatDifferOnlyInCaseAreDuplicates) {
  TQDB db;
  db.SetFileName(dir_.File("s"));
  db.AddItem("x", "A\xC9");
  db.SetCompression(true);
  EXPECT_EQ(Raised<EQDBIndexError>([&] { db.AddItem("y", "a\xE9"); }),
            "Duplicate keys are not allowed");
  EXPECT_EQ(db.Count(), 1);
  db.SetFileName("");
  // The refused item left nothing in the data section.
  const std::string bytes = ReadFileBytes(dir_.File("s.QDB"));
  EXPECT_EQ(bytes.substr(4, 5), std::string("\1\0\0\0x", 5));
}

TEST_F(RecordStore, LongKeysAreCutTo255Bytes) {
  TQDB db;
  db.SetFileName(dir_.File("s"));
  const std::string key(300, 'k');
  db.AddItem("v", key);
  EXPECT_EQ(db.CurrentKey(), std::string(255, 'k'));
  EXPECT_TRUE(db.FindKey(std::string(255, 'K') + "anything"));
  EXPECT_EQ(Raised<EQDBIndexError>([&] { db.AddItem("w", std::string(256, 'k')); }),
            "Duplicate keys are not allowed");
}

TEST_F(RecordStore, DeletingMovesTheCurrentItemBackOrClearsTheKey) {
  TQDB db;
  db.SetFileName(dir_.File("s"));
  for (const char* key : {"a", "b", "c", "d"}) db.AddItem(std::string("item ") + key, key);
  db.SetItemIndex(2);
  db.DeleteItem();  // "c": the one before becomes current
  EXPECT_EQ(db.ItemIndex(), 1);
  EXPECT_EQ(db.CurrentKey(), "b");
  EXPECT_EQ(db.Count(), 3);
  db.SetItemIndex(0);
  db.DeleteItem();  // "a": index stays 0 and the key is empty
  EXPECT_EQ(db.ItemIndex(), 0);
  EXPECT_EQ(db.CurrentKey(), "");
  EXPECT_EQ(db.GetItem(), "item b");
  EXPECT_FALSE(db.KeyExists("a"));
  db.AddItem("again", "a");  // a deleted key may come back
  EXPECT_EQ(db.GetItem(), "again");
  db.SetFileName("");

  // The deleted items' bytes stay: D only grows while the file lives.
  const std::string bytes = ReadFileBytes(dir_.File("s.QDB"));
  const std::string data = bytes.substr(8, 29);
  EXPECT_EQ(data, "item aitem bitem citem dagain");
  EXPECT_EQ(bytes.substr(4, 4), std::string("\x1D\0\0\0", 4));
}

TEST_F(RecordStore, RefusalsCarryTheirExactTexts) {
  TQDB db;
  const std::string none = "Illegal operation - no file assigned";
  EXPECT_EQ(Raised<EQDBNoFile>([&] { db.AddItem("x", "k"); }), none);
  EXPECT_EQ(Raised<EQDBNoFile>([&] { db.GetItem(); }), none);
  EXPECT_EQ(Raised<EQDBNoFile>([&] { db.DeleteItem(); }), none);
  EXPECT_EQ(Raised<EQDBNoFile>([&] { db.Commit(); }), none);
  EXPECT_EQ(Raised<EQDBNoFile>([&] { db.SaveAs(dir_.File("x")); }), none);
  EXPECT_FALSE(db.FindKey("k"));
  EXPECT_EQ(db.Count(), 0);

  db.SetFileName(dir_.File("empty"));
  const std::string name = dir_.File("empty.QDB");
  EXPECT_EQ(db.FileName(), name);
  EXPECT_EQ(Raised<EQDBNoData>([&] { db.GetItem(); }), "File " + name + " is empty");
  EXPECT_EQ(Raised<EQDBNoData>([&] { db.DeleteItem(); }), "File " + name + " is empty");
  EXPECT_EQ(Raised<EQDBNoData>([&] { db.SetItemIndex(0); }), "File " + name + " is empty");
  db.AddItem("1", "one");
  db.AddItem("2", "two");
  EXPECT_EQ(Raised<EQDBOutOfBounds>([&] { db.SetItemIndex(2); }),
            "The list index is out of bounds");
  EXPECT_EQ(Raised<EQDBOutOfBounds>([&] { db.SetItemIndex(-1); }),
            "The list index is out of bounds");
  // All of them are index errors, which callers that tolerate a refusal catch.
  EXPECT_EQ(Raised<EQDBIndexError>([&] { db.SetItemIndex(5); }), "The list index is out of bounds");
  db.SetReadOnly(true);
  EXPECT_EQ(Raised<EQDBReadOnly>([&] { db.AddItem("3", "three"); }),
            name + " is marked as read-only");
  EXPECT_EQ(Raised<EQDBReadOnly>([&] { db.DeleteItem(); }), name + " is marked as read-only");
  EXPECT_EQ(db.Count(), 2);
}

TEST_F(RecordStore, AssigningTheSameNameKeepsTheStoreOpen) {
  TQDB db;
  db.SetFileName(dir_.File("same.QDB"));
  db.AddItem("1", "one");
  db.AddItem("2", "two");
  db.SetItemIndex(0);
  db.SetFileName(dir_.File("./same.QDB"));  // expands to the same full name
  EXPECT_EQ(db.ItemIndex(), 0);
  EXPECT_EQ(db.CurrentKey(), "one");
  // Another letter case is another name: the store closes and opens that file.
  db.SetItemIndex(1);
  db.SetFileName(dir_.File("SAME.QDB"));
  EXPECT_EQ(db.Count(), 0);
  EXPECT_EQ(db.FileName(), dir_.File("SAME.QDB"));
  db.SetFileName(dir_.File("same.QDB"));
  EXPECT_EQ(db.Count(), 2);
}

TEST_F(RecordStore, CacheHoldsItemsShorterThanItsBudgetAndCountsHits) {
  TQDB db;
  EXPECT_EQ(db.CacheSize(), 65536);
  db.SetFileName(dir_.File("c"));
  db.SetCompression(true);
  db.SetCacheSize(1024);
  db.AddItem(std::string(1023, 'a'), "small");      // cached: one lookup
  EXPECT_EQ(db.GetItem(), std::string(1023, 'a'));  // a hit
  EXPECT_EQ(db.CacheFrequency(), 50);
  db.SetCacheFrequency(0);
  EXPECT_EQ(db.CacheFrequency(), 0);
  db.AddItem(std::string(1024, 'b'), "large");  // too large: no lookup counted
  EXPECT_EQ(db.GetItem(), std::string(1024, 'b'));
  EXPECT_EQ(db.GetItem(), std::string(1024, 'b'));
  EXPECT_EQ(db.CacheFrequency(), 0);
  ASSERT_TRUE(db.FindKey("small"));
  EXPECT_EQ(db.GetItem(), std::string(1023, 'a'));
  EXPECT_EQ(db.CacheFrequency(), 100);
  db.ClearCache();
  EXPECT_EQ(db.CacheFrequency(), 0);
  EXPECT_EQ(db.GetItem(), std::string(1023, 'a'));  // a miss, read and cached again
  EXPECT_EQ(db.GetItem(), std::string(1023, 'a'));
  EXPECT_EQ(db.CacheFrequency(), 50);
  db.DeleteItem();  // drops its cache entry too
  db.AddItem("new", "small");
  EXPECT_EQ(db.GetItem(), "new");
}

TEST_F(RecordStore, ProgressIsReportedInTenthsOfEachPass) {
  std::vector<std::pair<int, int>> reports;  // outlives the store, which reports as it closes
  TQDB db;
  db.SetProgressCallback([&](int kind, int share) { reports.emplace_back(kind, share); });
  db.SetFileName(dir_.File("p"));
  EXPECT_EQ(reports, (std::vector<std::pair<int, int>>{{0, 0}}));
  reports.clear();
  for (int i = 0; i < 25; ++i) db.AddItem("v", "key" + std::to_string(i));
  db.Commit();  // 25 changes: a step of 3
  EXPECT_EQ(
      reports,
      (std::vector<std::pair<int, int>>{
          {2, 0}, {2, 10}, {2, 20}, {2, 30}, {2, 40}, {2, 50}, {2, 60}, {2, 70}, {2, 80}, {2, 0}}));
  reports.clear();
  db.Commit();  // nothing changed: no pass
  EXPECT_TRUE(reports.empty());
  db.SetFileName("");
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.front(), std::make_pair(1, 0));
  EXPECT_EQ(reports.back(), std::make_pair(1, 0));
  reports.clear();
  db.SetFileName(dir_.File("p"));
  ASSERT_EQ(reports.size(), 10u);
  EXPECT_EQ(reports[9], std::make_pair(0, 0));
  EXPECT_EQ(reports[8], std::make_pair(0, 80));
}

}  // namespace
}  // namespace ferrowyn
