// The store file byte for byte, the administrative case switch, files written
// elsewhere (out of order, repeated keys), and malformed or truncated files,
// which must end in the store's own exceptions and leave the store closed.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "store/item_coder.h"
#include "store/qdb_format.h"
#include "store/record_store.h"
#include "tests/support/qdb_test_files.h"
#include "tests/support/test_seed.h"

namespace ferrowyn {
namespace {

using testing::Int32Bytes;
using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::StoreFileBuilder;
using testing::WriteFileBytes;

const std::string kEmptyFile("QDB\0\0\0\0\0QIX\0\5\0\0\0\0\0\0\0\0", 21);

class StoreFile : public ::testing::Test {
 protected:
  void SetUp() override { TQDB::SetTempDirectory(work_.path()); }
  void TearDown() override { TQDB::SetTempDirectory(""); }

  // Opens `bytes` as a store file read-only and reads every item. Returns the
  // exception text, or "" when everything could be read.
  std::string OpenAndReadAll(const std::string& bytes) {
    const std::string name = dir_.File("probe.QDB");
    WriteFileBytes(name, bytes);
    TQDB db;
    db.SetReadOnly(true);
    try {
      db.SetFileName(name);
    } catch (const EQDBError& e) {
      EXPECT_EQ(db.FileName(), "");
      EXPECT_EQ(db.Count(), 0);
      return e.what();
    }
    for (int i = 0; i < db.Count(); ++i) {
      db.SetItemIndex(i);
      // Read through in parts, the item gives the same bytes or the same error.
      std::string scanned, read;
      try {
        db.ScanItem([&scanned](std::string_view part) { scanned += part; });
      } catch (const EQDBIndexError& e) {
        scanned = std::string("error ") + e.what();
      }
      try {
        read = db.GetItem();
      } catch (const EQDBIndexError& e) {
        read = std::string("error ") + e.what();
      }
      if (scanned != read) return "read through in parts: " + scanned + " / " + read;
      if (read.starts_with("error ")) return read.substr(6);
    }
    return "";
  }

  std::string Invalid() const {
    return "The file " + dir_.File("probe.QDB") + " is not a valid QDB file";
  }

  ScratchDir dir_;
  ScratchDir work_;
};

TEST_F(StoreFile, ANewStoreIsThe21ByteFileAndStaysSo) {
  {
    TQDB db;
    db.SetFileName(dir_.File("new"));
    EXPECT_EQ(db.Count(), 0);
    EXPECT_EQ(db.CurrentKey(), "");
    EXPECT_EQ(ReadFileBytes(dir_.File("new.QDB")), kEmptyFile);
  }
  // Closing wrote the file back unchanged and removed the working files.
  EXPECT_EQ(ReadFileBytes(dir_.File("new.QDB")), kEmptyFile);
  EXPECT_TRUE(work_.List().empty());
}

TEST_F(StoreFile, TwoItemsOneCompressedByteForByte) {
  {
    TQDB db;
    db.SetFileName(dir_.File("two.fwt"));
    db.AddItem("abc", "B");
    db.SetCompression(true);
    db.AddItem(std::string(20, 'a'), "a");
  }
  const std::string expected =
      std::string("QDB\0", 4) + Int32Bytes(12) + "abc" +
      std::string("\x07\x00\x40\x80\x00\x00\x00\x04\x61", 9) + std::string("QIX\0", 4) +
      Int32Bytes(33) + Int32Bytes(2) +                                         // entry count
      std::string("B\0", 2) + Int32Bytes(0) + Int32Bytes(3) + Int32Bytes(0) +  // last key first
      std::string("a\0", 2) + Int32Bytes(3) + Int32Bytes(9) + Int32Bytes(2) + std::string(1, '\0');
  EXPECT_EQ(ReadFileBytes(dir_.File("two.fwt")), expected);
  TQDB db;
  db.SetFileName(dir_.File("two.fwt"));
  EXPECT_EQ(db.CurrentKey(), "a");
  EXPECT_EQ(db.StoredSize(), 9);
  EXPECT_EQ(db.GetItem(), std::string(20, 'a'));
  db.SetItemIndex(1);
  EXPECT_EQ(db.StoredSize(), 3);
  EXPECT_EQ(db.GetItem(), "abc");
}

TEST_F(StoreFile, CaseSensitiveItemSwitchesTheKeyComparison) {
  for (const auto& [value, sensitive] :
       {std::pair<std::string, bool>{"\1", true}, {"\2", false}, {"\1\1", false}}) {
    StoreFileBuilder file;
    file.AddItem("QDBCaseSensitive", value, 1);
    file.AddItem("Key", "upper");
    WriteFileBytes(dir_.File("cs.QDB"), file.Bytes());
    TQDB db;
    db.SetFileName(dir_.File("cs.QDB"));
    EXPECT_EQ(db.CaseSensitive(), sensitive);
    EXPECT_EQ(db.Count(), 1);  // administrative items do not count
    EXPECT_EQ(db.KeyExists("key"), !sensitive);
    EXPECT_FALSE(db.KeyExists("QDBCaseSensitive"));
    if (sensitive) {
      db.AddItem("lower", "key");
      EXPECT_EQ(db.Count(), 2);
      db.SetFileName("");
      db.SetFileName(dir_.File("cs.QDB"));
      ASSERT_EQ(db.Count(), 2);
      EXPECT_EQ(db.CurrentKey(), "Key");  // raw bytes: 'K' < 'k'
      db.SetFileName("");
      // The administrative entry is kept and written first.
      const std::string bytes = ReadFileBytes(dir_.File("cs.QDB"));
      const std::size_t index = bytes.find(std::string("QIX\0", 4)) + 8;
      EXPECT_EQ(bytes.substr(index, 4 + 17), Int32Bytes(3) + std::string("QDBCaseSensitive\0", 17));
    }
  }
}

TEST_F(StoreFile, AnItemLargerThanTheLargestItemIsRefusedAndTheCaseSwitchIsReadCheaply) {
  // Each block of 40 stored bytes stands for 32,768 zero bytes.
  std::string block;
  CompressItem(std::string(kPieceSize, '\0'), block);
  ASSERT_EQ(block.size(), 40u);
  const std::size_t largest = qdb::kMaxItemSize / kPieceSize;
  ASSERT_EQ(largest * kPieceSize, qdb::kMaxItemSize);
  std::string bomb;
  for (std::size_t i = 0; i <= largest; ++i) bomb += block;
  StoreFileBuilder file;
  // As large as the bomb when expanded in full, but only its first block is needed to
  // know that it is not the single byte 1.
  file.AddItem("QDBCaseSensitive", bomb, qdb::kFlagAdministrative | qdb::kFlagCompressed);
  file.AddItem("big", std::string_view(bomb).substr(block.size()), qdb::kFlagCompressed);
  file.AddItem("bomb", bomb, qdb::kFlagCompressed);
  WriteFileBytes(dir_.File("probe.QDB"), file.Bytes());

  TQDB db;
  db.SetReadOnly(true);
  db.SetFileName(dir_.File("probe.QDB"));
  EXPECT_FALSE(db.CaseSensitive());
  ASSERT_TRUE(db.FindKey("big"));
  EXPECT_EQ(db.GetItem().size(), qdb::kMaxItemSize);
  ASSERT_TRUE(db.FindKey("bomb"));
  try {
    db.GetItem();
    ADD_FAILURE() << "an item past the largest was expanded";
  } catch (const EQDBIndexError& e) {
    EXPECT_EQ(std::string(e.what()), Invalid());
  }
  EXPECT_THROW(db.ItemAt(db.ItemIndex()), EQDBIndexError);
}

TEST_F(StoreFile, AnIndexOutOfOrderIsSortedAndRepeatedKeysAreRefused) {
  StoreFileBuilder ascending;  // the wrong direction, and mixed
  for (const char* key : {"delta", "alpha", "Charlie", "bravo", "echo"})
    ascending.AddItem(key, key);
  EXPECT_EQ(OpenAndReadAll(ascending.Bytes()), "");
  {
    TQDB db;
    db.SetFileName(dir_.File("probe.QDB"));
    std::string order;
    for (int i = 0; i < db.Count(); ++i) {
      db.SetItemIndex(i);
      order += db.CurrentKey() + " ";
      EXPECT_EQ(db.GetItem(), db.CurrentKey());
    }
    EXPECT_EQ(order, "alpha bravo Charlie delta echo ");
    EXPECT_TRUE(db.FindKey("CHARLIE"));
  }
  StoreFileBuilder repeated;
  repeated.AddItem("Same", "1");
  repeated.AddItem("same", "2");
  EXPECT_EQ(OpenAndReadAll(repeated.Bytes()), Invalid());
  StoreFileBuilder admin;
  admin.AddItem("QDBx", "1", 1);
  admin.AddItem("qdbX", "2", 1);
  EXPECT_EQ(OpenAndReadAll(admin.Bytes()),
            "Not enough memory to extend the index to " + dir_.File("probe.QDB"));
}

TEST_F(StoreFile, MalformedFilesAreRefusedWithTheDefinedTexts) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  StoreFileBuilder good;
  good.AddItem("k", "value");
  const std::string g = good.Bytes();  // D at 4, data 8..12, marker at 13, X at 17, index at 21
  std::string bad_key = g;
  bad_key.resize(bad_key.size() - 1);  // drop the spare byte...
  const Case cases[] = {
      {"empty file", ""},
      {"bad signature", "QDC" + g.substr(3)},
      {"no D", g.substr(0, 6)},
      {"negative D", g.substr(0, 4) + Int32Bytes(-1) + g.substr(8)},
      {"D past the end", g.substr(0, 4) + Int32Bytes(1000) + g.substr(8)},
      {"bad marker", g.substr(0, 13) + "QIY" + g.substr(16)},
      {"negative X", g.substr(0, 17) + Int32Bytes(-5) + g.substr(21)},
      {"X past the end", g.substr(0, 17) + Int32Bytes(100) + g.substr(21)},
      {"negative count", g.substr(0, 21) + Int32Bytes(-1) + g.substr(25)},
      {"absurd count", g.substr(0, 21) + Int32Bytes(67108864) + g.substr(25)},
      {"count past the section", g.substr(0, 21) + Int32Bytes(2) + g.substr(25)},
      {"position past the data", g.substr(0, 27) + Int32Bytes(1) + g.substr(31)},
      {"size past the data", g.substr(0, 31) + Int32Bytes(6) + g.substr(35)},
      {"negative position", g.substr(0, 27) + Int32Bytes(-1) + g.substr(31)},
  };
  for (const auto& c : cases) EXPECT_EQ(OpenAndReadAll(c.bytes), Invalid()) << c.what;

  // A key that runs to the end of the section without its zero byte.
  const std::string unterminated = std::string("QDB\0", 4) + Int32Bytes(0) + "QIX" +
                                   std::string(1, '\0') + Int32Bytes(7) + Int32Bytes(1) + "abc";
  EXPECT_EQ(OpenAndReadAll(unterminated), Invalid());
  StoreFileBuilder long_key;
  long_key.AddItem(std::string(256, 'k'), "");
  EXPECT_EQ(OpenAndReadAll(long_key.Bytes()), Invalid());

  // A corrupted compressed body opens but cannot be read.
  StoreFileBuilder body;
  body.AddItem("k", std::string("\x05\x00\x40\x80\x00\x00\x00", 7), 2);
  EXPECT_EQ(OpenAndReadAll(body.Bytes()), Invalid());

  const std::string password = std::string("QDB\0QPW\0", 8) + std::string(20, 'x') + g.substr(4);
  EXPECT_EQ(OpenAndReadAll(password), "The password you have provided is invalid");
  // Nothing of a failed open is left behind.
  EXPECT_TRUE(work_.List().empty());
}

TEST_F(StoreFile, SignatureAndMarkerFaultsAreFileErrors) {
  WriteFileBytes(dir_.File("bad.QDB"), "QDB" + std::string(18, 'x'));
  TQDB db;
  EXPECT_THROW(db.SetFileName(dir_.File("bad.QDB")), EQDBFileError);
  StoreFileBuilder index_fault;
  index_fault.AddEntry("k", 0, 1, 0);  // an item in an empty data section
  WriteFileBytes(dir_.File("bad.QDB"), index_fault.Bytes());
  EXPECT_THROW(db.SetFileName(dir_.File("bad.QDB")), EQDBIndexError);
  EXPECT_EQ(db.FileName(), "");
}

TEST_F(StoreFile, EveryTruncationAndManyByteFlipsEndInTheDefinedException) {
  // A real file: compressed and verbatim items, a deleted one.
  {
    TQDB db;
    db.SetFileName(dir_.File("real.QDB"));
    db.SetCompression(true);
    db.AddItem(std::string(200, 'z') + "<html><body>text text text</body></html>", "DISPLAYXXa");
    db.AddItem("query text", "QUERYXXa");
    db.SetCompression(false);
    db.AddItem("plain", "WEBLIST");
    db.AddItem("gone", "EMAIL");
    db.DeleteItem();
  }
  const std::string real = ReadFileBytes(dir_.File("real.QDB"));
  EXPECT_EQ(OpenAndReadAll(real), "");
  for (std::size_t length = 0; length < real.size(); ++length) {
    EXPECT_EQ(OpenAndReadAll(real.substr(0, length)), Invalid()) << length;
  }
  std::mt19937 rng(ferrowyn::testing::TestSeed(1234));
  int refused = 0;
  for (std::size_t at = 0; at < real.size(); ++at) {
    for (int k = 0; k < 3; ++k) {
      std::string flipped = real;
      flipped[at] = static_cast<char>(flipped[at] ^ (1 + rng() % 255));
      const std::string outcome = OpenAndReadAll(flipped);
      if (!outcome.empty()) {
        ++refused;
        EXPECT_TRUE(outcome == Invalid() ||
                    outcome ==
                        "Not enough memory to extend the index to " + dir_.File("probe.QDB") ||
                    outcome == "The password you have provided is invalid")
            << at << ": " << outcome;
      }
    }
  }
  EXPECT_GT(refused, 0);
  EXPECT_TRUE(work_.List().empty());
}

}  // namespace
}  // namespace ferrowyn
