// The queue database through its public operations: golden files built by hand, the open
// cases with their recovery and version rules, the 1.3 conversion and a full shared region.
#include "adpurge/qdb/queue_db.h"

#include <gtest/gtest.h>

#include "adpurge/qdb/queue_db_test_files.h"

namespace adpurge::qdb {
namespace {

struct Visit {
  uint32_t key;
  Bytes bytes;
  uint32_t format_word;
  bool operator==(const Visit&) const = default;
};

std::vector<Visit> VisitAll(QueueDb& db, uint32_t mode = kLiveEntries | kReadOnly) {
  std::vector<Visit> seen;
  db.Walk(
      [&](WalkRecord& r) {
        seen.push_back({r.entry.key(), r.bytes, r.entry.word[3]});
      },
      kAllTypes, mode);
  return seen;
}

const Bytes kRecord55 = {1, 2, 3, 4, 5, 6, 7, 8, 9};
const Bytes kRecord101 = {'A', 'B', 'C', 'D', 'E', 'F'};

TEST(QueueDb, GoldenFilesAreReadAndWrittenBackByteForByte) {
  const TestFolder dir("golden");
  WriteGoldenFiles(dir / "q");
  {
    QueueDb db;
    ASSERT_TRUE(db.Open(dir / "q"));
    EXPECT_EQ(VisitAll(db),
              (std::vector<Visit>{{0x55, kRecord55, 0x107D0}, {0x101, kRecord101, 0x10BB8}}));
    EXPECT_TRUE(VisitAll(db, kDeadEntries).empty());  // a free entry is not in the tree
    db.Close();
  }
  // Nothing changed, yet the backups are made; the index written back is the one read.
  EXPECT_EQ(ReadBytes(dir / "q.cdb"), kGoldenData);
  EXPECT_EQ(ReadBytes(dir / "q.idx"), kGoldenIndex);
  EXPECT_EQ(ReadBytes(dir / "q1.cdb"), kGoldenData);
  EXPECT_EQ(ReadBytes(dir / "q1.idx"), kGoldenIndex);

  // Upgrading on open shortens record 0x55 in place (at 58); a walk then lengthens 0x101,
  // which moves to the end. A new first opener checks both digests and both checksums.
  const auto upgrade = [](Bytes& record, IndexEntry& entry) {
    if (entry.format() == 3000) return false;
    record = {'u', 'p'};
    entry.word[3] = (entry.word[3] & 0xFFFF0000) | 3000;
    return true;
  };
  {
    QueueDb db;
    ASSERT_TRUE(db.Open(dir / "q.cdb", upgrade));
    db.Walk(
        [](WalkRecord& r) {
          r.bytes = {'l', 'o', 'n', 'g', 'e', 'r', '!'};
          r.changed = r.entry.key() == 0x101;
        },
        kAllTypes, kLiveEntries);
  }
  Bytes data = ReadBytes(dir / "q.cdb");
  ASSERT_EQ(data.size(), 75u + 7 + 8);
  EXPECT_EQ(Bytes(data.begin() + 58, data.begin() + 68),
            (Bytes{'u', 'p', 4, 0, 0, 0, 0, 0, 0x70, 0x75}));
  QueueDb db;
  ASSERT_TRUE(db.Open(dir / "q"));
  EXPECT_EQ(VisitAll(db),
            (std::vector<Visit>{{0x55, {'u', 'p'}, 0x10BB8},
                                {0x101, {'l', 'o', 'n', 'g', 'e', 'r', '!'}, 0x10BB8}}));
}

TEST(QueueDb, AnOpenerThatEndedBeforeMakingTheRegionLeavesTheLoadingToTheNext) {
  const TestFolder dir("orphan");
  WriteGoldenFiles(dir / "q");
  // The guard mutex of an opener that ended before it made the shared region; the next opener
  // finds the mutex and must not take an empty new region for a loaded one.
  const auto guard = platform::create_mutex(NamesOf(dir / "q").objects + "__BMTX", false);
  {
    QueueDb db;
    ASSERT_TRUE(db.Open(dir / "q"));
    EXPECT_EQ(VisitAll(db).size(), 2u);
  }
  EXPECT_EQ(ReadBytes(dir / "q.idx"), kGoldenIndex);
}

TEST(QueueDb, OpenFailsWithoutFilesAndCreatesNothing) {
  const TestFolder dir("missing");
  QueueDb db;
  EXPECT_FALSE(db.Open(dir / "Pending"));
  EXPECT_EQ(db.last_failure(), QueueDb::Failure::kCannotOpen);
  EXPECT_TRUE(platform::list_folder(dir.path)->empty());
}

TEST(QueueDb, BadDigestIsRecoveredFromBothBackups) {
  const TestFolder dir("backups");
  Bytes damaged = kGoldenData;
  damaged[45] ^= 1;
  WriteBytes(dir / "q.cdb", damaged);
  WriteBytes(dir / "q.idx", kGoldenIndex);
  WriteBytes(dir / "q1.cdb", kGoldenData);
  WriteBytes(dir / "q1.idx", kGoldenIndex);
  QueueDb db;
  ASSERT_TRUE(db.Open(dir / "q"));
  EXPECT_EQ(VisitAll(db).size(), 2u);
  EXPECT_EQ(ReadBytes(dir / "q.cdb"), kGoldenData);
}

TEST(QueueDb, DamagedRecordsAndEntriesAfterTheTerminatorLeaveTheIndex) {
  const TestFolder dir("damaged");
  Bytes data = kGoldenData;
  data[58] = 0x7F;  // record 0x55 no longer matches its checksum
  WriteBytes(dir / "q.cdb", WithDigest(data));
  // Entries 0x101 and 0x55, the terminator, then entry 0x77 for a sound record, and zeros.
  Bytes index(44 + 5 * 24, 0), ignored;
  std::copy_n(kGoldenIndex.begin(), 44 + 48, index.begin());
  AppendEntry(ignored, IndexEntry{{0x77, 7, kLive, 3000, 6, 44}});
  std::copy(ignored.begin(), ignored.end(), index.begin() + 44 + 72);
  WriteBytes(dir / "q.idx", WithDigest(index));
  {
    QueueDb db;
    ASSERT_TRUE(db.Open(dir / "q"));
    EXPECT_EQ(VisitAll(db, kLiveEntries | kDeadEntries),
              (std::vector<Visit>{{0x101, kRecord101, 0x10BB8}}));
  }
  // Entry 0x101, then the terminator; the older bytes after it stay.
  const Bytes written = ReadBytes(dir / "q.idx");
  ASSERT_EQ(written.size(), index.size());
  EXPECT_EQ(Bytes(written.begin() + 44, written.begin() + 68),
            Bytes(kGoldenIndex.begin() + 44, kGoldenIndex.begin() + 68));
  EXPECT_EQ(Bytes(written.begin() + 68, written.begin() + 92), Bytes(24, 0));
  EXPECT_EQ(Bytes(written.begin() + 92, written.end()), Bytes(index.begin() + 92, index.end()));
}

TEST(QueueDb, VersionZeroIsKeptAndUnknownVersionsAreEmptied) {
  const TestFolder dir("versions");
  const Bytes empty_index = WithDigest(Concat(NewFileHeader(kIndexMarker), Bytes(24, 0)));
  const std::pair<uint16_t, uint16_t> versions[] = {{0, 0}, {1, 0}, {1, 2}, {2, 1}, {3, 0}};
  for (const auto& [version, sub] : versions) {
    Bytes data = kGoldenData;
    data[32] = static_cast<uint8_t>(version);
    data[36] = static_cast<uint8_t>(sub);
    WriteBytes(dir / "q.cdb", WithDigest(data));
    WriteBytes(dir / "q.idx", kGoldenIndex);
    QueueDb db;
    ASSERT_TRUE(db.Open(dir / "q")) << version << "." << sub;
    EXPECT_EQ(VisitAll(db).size(), version == 0 ? 2u : 0u) << version << "." << sub;
    db.Close();
    if (version != 0) {
      EXPECT_EQ(ReadBytes(dir / "q.cdb"), WithDigest(NewFileHeader(kDataMarker)));
      EXPECT_EQ(ReadBytes(dir / "q.idx"), empty_index);
    }
  }
}

TEST(QueueDb, Version13RecordsAreConvertedIntoNewFiles) {
  const TestFolder dir("v13");
  // Length, marker, digest field, version 1, sub-version 3, a record count of 2 in 4 bytes.
  Bytes old = {36, 0, 0, 0, 'A', 'D', 'C', 'R', '-', 'S', 'D', 'K', 16, 0};
  old.resize(old.size() + 16, 0);
  Bytes rest = {2, 0, 1, 0, 2, 0, 3, 0, 4, 0, 2, 0, 0, 0,
                // key 0x10, A 5, B 9, version 1000, 3 bytes, checksum of 4 bytes
                0x10, 0, 0, 0, 5, 0, 0, 0, 9, 0, 0, 0, 0xe8, 0x03, 3, 0, 0, 0, 'a', 'b', 'c', 4, 0,
                0, 0, 1, 2, 3, 4,
                // key 0x08, A 4, B 6, version 2000, 2 bytes, no checksum bytes
                0x08, 0, 0, 0, 4, 0, 0, 0, 6, 0, 0, 0, 0xd0, 0x07, 2, 0, 0, 0, 'x', 'y', 0, 0, 0,
                0};
  WriteBytes(dir / "q.cdb", WithDigest(Concat(old, rest)));
  WriteBytes(dir / "q.idx", Bytes{});
  std::vector<IndexEntry> given;
  const auto convert = [&](Bytes& record, IndexEntry& entry) {
    if (entry.format() == 3000) return false;
    given.push_back(entry);
    record.push_back('+');
    entry.word[3] = 3000;
    return true;
  };
  {
    QueueDb db;
    ASSERT_TRUE(db.Open(dir / "q", convert));
    EXPECT_EQ(
        VisitAll(db, kLiveEntries | kDeadEntries),
        (std::vector<Visit>{{0x08, {'x', 'y', '+'}, 3000}, {0x10, {'a', 'b', 'c', '+'}, 3000}}));
  }
  ASSERT_EQ(given.size(), 2u);
  EXPECT_EQ(given[0].word, (std::array<uint32_t, 6>{0x10, 9, 5, 1000, 3, 0}));
  EXPECT_EQ(given[1].word, (std::array<uint32_t, 6>{0x08, 6, 4, 2000, 2, 0}));
  const Bytes index = ReadBytes(dir / "q.idx");
  ASSERT_EQ(index.size(), 44u + 3 * 24);  // both entries in pre-order, then the terminator
  EXPECT_EQ(ReadEntry(index, 44).word, (std::array<uint32_t, 6>{0x10, 9, 5, 3000, 4, 44}));
  EXPECT_EQ(ReadEntry(index, 68).word, (std::array<uint32_t, 6>{0x08, 6, 4, 3000, 3, 56}));
}

TEST(QueueDb, IndexLargerThanTheRegionFailsTheOpenAndTouchesNothing) {
  const TestFolder dir("full");
  const auto write = [&](uint32_t count) {
    Bytes data = NewFileHeader(kDataMarker), index = NewFileHeader(kIndexMarker);
    for (uint32_t i = 1; i <= count; ++i) {
      // Distinct keys in a scattered order keep the tree shallow.
      const uint32_t key = 1 + i * 7919 % 65521;
      AppendEntry(index, IndexEntry{{key, 0, kLive, 3000, 4, static_cast<uint32_t>(data.size())}});
      data = Concat(data, StoredRecord(Bytes{1, 2, 3, 4}));
    }
    WriteBytes(dir / "q.cdb", WithDigest(data));
    WriteBytes(dir / "q.idx", WithDigest(Concat(index, Bytes(24, 0))));
  };
  write(1814);
  const Bytes data = ReadBytes(dir / "q.cdb"), index = ReadBytes(dir / "q.idx");
  WriteBytes(dir / "q1.cdb", kGoldenData);
  WriteBytes(dir / "q1.idx", kGoldenIndex);
  {
    QueueDb db;
    EXPECT_FALSE(db.Open(dir / "q"));
    EXPECT_EQ(db.last_failure(), QueueDb::Failure::kRegionFull);
  }
  EXPECT_EQ(ReadBytes(dir / "q.cdb"), data);
  EXPECT_EQ(ReadBytes(dir / "q.idx"), index);
  EXPECT_EQ(ReadBytes(dir / "q1.cdb"), kGoldenData);

  write(1813);  // the most that fit
  QueueDb db;
  ASSERT_TRUE(db.Open(dir / "q"));
  EXPECT_EQ(VisitAll(db).size(), 1813u);
}

}  // namespace
}  // namespace adpurge::qdb
