// Write-back: read-only files, files changed on disk, SaveOnClose and SaveAs,
// failures that must leave the old file intact, a process killed in the middle
// of a write-back, and the journalled index against a full-rewrite reference.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/record_store.h"
#include "tests/support/qdb_index_oracle.h"
#include "tests/support/qdb_test_files.h"
#include "tests/support/test_seed.h"

namespace ferrowyn {
namespace {

using testing::IndexOracle;
using testing::Int32Bytes;
using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::WriteFileBytes;

class WriteBack : public ::testing::Test {
 protected:
  void SetUp() override { TQDB::SetTempDirectory(work_.path()); }
  void TearDown() override { TQDB::SetTempDirectory(""); }

  static std::string IndexSection(const std::string& file) {
    const auto* b = reinterpret_cast<const unsigned char*>(file.data());
    const std::size_t data_length = b[4] | (b[5] << 8) | (b[6] << 16) | (std::size_t{b[7]} << 24);
    EXPECT_EQ(file.substr(8 + data_length, 4), std::string("QIX\0", 4));
    return file.substr(8 + data_length + 8);
  }

  ScratchDir dir_;
  ScratchDir work_;
};

TEST_F(WriteBack, AReadOnlyFileIsNeverWrittenAndReadOnlyStaysOn) {
  {
    TQDB db;
    db.SetFileName(dir_.File("ro.QDB"));
    db.AddItem("kept", "k");
  }
  const std::string before = ReadFileBytes(dir_.File("ro.QDB"));
  ASSERT_EQ(::chmod(dir_.File("ro.QDB").c_str(), 0444), 0);
  TQDB db;
  db.SetFileName(dir_.File("ro.QDB"));
  EXPECT_TRUE(db.ReadOnly());
  EXPECT_EQ(db.GetItem(), "kept");
  try {
    db.AddItem("new", "n");
    ADD_FAILURE() << "AddItem accepted";
  } catch (const EQDBReadOnly& e) {
    EXPECT_EQ(std::string(e.what()), dir_.File("ro.QDB") + " is marked as read-only");
  }
  db.Commit();  // does nothing
  db.SetFileName(dir_.File("other.QDB"));
  EXPECT_EQ(ReadFileBytes(dir_.File("ro.QDB")), before);
  EXPECT_TRUE(db.ReadOnly());
  EXPECT_THROW(db.AddItem("new", "n"), EQDBReadOnly);
  db.SetFileName("");
  EXPECT_TRUE(work_.List().empty());
}

TEST_F(WriteBack, AFileChangedOnDiskIsLeftAloneAndTheStoreWritesBesideIt) {
  const std::string name = dir_.File("site.fwb");
  TQDB db;
  db.SetFileName(name);
  db.AddItem("mine", "k");
  // Another program replaces the file, with another modification time.
  WriteFileBytes(name, "theirs");
  struct timespec times[2] = {{1000000, 0}, {1000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, name.c_str(), times, 0), 0);
  WriteFileBytes(dir_.File("1.site.fwb"), "also theirs");
  db.SetFileName("");
  EXPECT_EQ(ReadFileBytes(name), "theirs");
  EXPECT_EQ(ReadFileBytes(dir_.File("1.site.fwb")), "also theirs");
  TQDB check;
  check.SetFileName(dir_.File("1.1.site.fwb"));
  EXPECT_EQ(check.GetItem(), "mine");
}

TEST_F(WriteBack, TheFileNameFollowsTheRenamedWriteBack) {
  const std::string name = dir_.File("s.QDB");
  TQDB db;
  db.SetFileName(name);
  db.AddItem("v", "k");
  WriteFileBytes(name, "changed");
  struct timespec times[2] = {{5, 0}, {5, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, name.c_str(), times, 0), 0);
  db.SaveAs(name);  // SaveAs forgets the time stamp: it overwrites
  EXPECT_EQ(db.FileName(), name);
  db.AddItem("w", "l");
  db.SetFileName("");
  TQDB check;
  check.SetFileName(name);
  EXPECT_EQ(check.Count(), 2);
}

TEST_F(WriteBack, CloseAfterSaveAsRewritesOnlyWhatChangedSince) {
  const std::string name = dir_.File("site.QDB");
  TQDB db;
  db.SetFileName(dir_.File("temp.fwt"));
  db.AddItem("a", "DISPLAYXXa");
  db.AddItem("b", "DISPLAYXXb");
  db.SaveAs(name);
  const std::string saved = ReadFileBytes(name);
  struct stat before;
  ASSERT_EQ(::stat(name.c_str(), &before), 0);
  db.SetFileName("");
  struct stat after;
  ASSERT_EQ(::stat(name.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // not written again
  EXPECT_EQ(ReadFileBytes(name), saved);
  // A deletion after SaveAs is a change like an addition: it reaches the file.
  db.SetFileName(dir_.File("temp.fwt"));
  db.AddItem("c", "DISPLAYXXc");
  db.SaveAs(name);
  db.SetItemIndex(0);
  db.DeleteItem();
  db.SetFileName("");
  TQDB check;
  check.SetFileName(name);
  ASSERT_EQ(check.Count(), 0);
}

TEST_F(WriteBack, WithoutSaveOnCloseOnlyCommittedChangesReachTheFile) {
  TQDB db;
  db.SetFileName(dir_.File("s"));
  db.AddItem("one", "1");
  db.AddItem("two", "2");
  db.Commit();
  db.AddItem("three", "3");
  db.SetItemIndex(0);
  db.DeleteItem();
  db.SetSaveOnClose(false);
  db.SetFileName("");
  db.SetSaveOnClose(true);
  db.SetFileName(dir_.File("s"));
  ASSERT_EQ(db.Count(), 2);
  EXPECT_EQ(db.CurrentKey(), "1");
  db.SetItemIndex(1);
  EXPECT_EQ(db.GetItem(), "two");
}

TEST_F(WriteBack, AStoreIsReadInPlaceAndItsFileIsWrittenOnlyAfterAChange) {
  const std::string name = dir_.File("site.fwb");
  const std::string large(70000, 'x');
  {
    TQDB db;
    db.SetCompression(true);
    db.SetFileName(name);
    db.AddItem("first page", "a");
    db.AddItem(large, "b");
  }
  const std::string before = ReadFileBytes(name);
  struct stat was {};
  ASSERT_EQ(::stat(name.c_str(), &was), 0);

  TQDB db;
  db.SetFileName(name);
  EXPECT_TRUE(db.InPlace());
  EXPECT_TRUE(work_.List().empty());  // nothing was copied
  EXPECT_EQ(db.GetItem(), "first page");
  EXPECT_EQ(db.KeyAt(1), "b");
  EXPECT_EQ(db.ItemAt(1), large);
  const TQDB::RawItem raw = db.ReadRawItem(0);
  EXPECT_TRUE(raw.compressed);
  EXPECT_EQ(TQDB::ExpandRawItem(raw, name), "first page");
  EXPECT_EQ(db.ItemIndex(), 0);  // reading by position leaves the current item alone
  EXPECT_THROW(db.KeyAt(2), EQDBOutOfBounds);
  db.SetFileName("");
  struct stat now {};
  ASSERT_EQ(::stat(name.c_str(), &now), 0);
  EXPECT_EQ(now.st_ino, was.st_ino);
  EXPECT_EQ(now.st_mtim.tv_sec, was.st_mtim.tv_sec);
  EXPECT_EQ(now.st_mtim.tv_nsec, was.st_mtim.tv_nsec);
  EXPECT_EQ(ReadFileBytes(name), before);

  // The first change makes the working copy, which the items are read from from then on,
  // and closing writes the store back.
  db.SetFileName(name);
  db.SetCompression(true);
  db.AddItem("new", "c");
  EXPECT_FALSE(db.InPlace());
  EXPECT_EQ(work_.List().size(), 3u);
  EXPECT_EQ(db.ItemAt(1), large);
  db.SetFileName("");
  EXPECT_TRUE(work_.List().empty());
  TQDB check;
  check.SetFileName(name);
  ASSERT_EQ(check.Count(), 3);
  EXPECT_EQ(check.ItemAt(2), "new");
}

TEST_F(WriteBack, ADiscardedStoreLeavesItsFileAsItWasAndNoWorkingFiles) {
  TQDB db;
  db.SetFileName(dir_.File("url.fwt"));
  db.AddItem("", "http://a/");
  db.SetFileName("");
  const std::string before = ReadFileBytes(dir_.File("url.fwt"));

  db.SetFileName(dir_.File("url.fwt"));
  db.AddItem("", "http://b/");
  db.Commit();
  db.AddItem("", "http://c/");
  db.Discard();
  EXPECT_EQ(db.FileName(), "");
  EXPECT_EQ(db.Count(), 0);
  EXPECT_EQ(ReadFileBytes(dir_.File("url.fwt")), before);
  EXPECT_TRUE(work_.List().empty());
  db.Discard();  // closed already: nothing happens

  // The store opens again on the same file as before the discarded changes.
  db.SetFileName(dir_.File("url.fwt"));
  EXPECT_EQ(db.Count(), 1);
  EXPECT_TRUE(db.FindKey("http://a/"));
  EXPECT_FALSE(db.FindKey("http://b/"));
}

TEST_F(WriteBack, SaveAsMovesTheStoreOntoTheNewFile) {
  TQDB db;
  db.SetFileName(dir_.File("temp.fwt"));
  db.AddItem("page", "DISPLAYXXu");
  db.SaveAs(dir_.File("site"));
  EXPECT_EQ(db.FileName(), dir_.File("site.QDB"));
  EXPECT_EQ(db.Count(), 1);
  db.AddItem("list", "WEBLIST");
  db.SetFileName("");
  TQDB check;
  check.SetFileName(dir_.File("site.QDB"));
  EXPECT_EQ(check.Count(), 2);
  check.SetFileName(dir_.File("temp.fwt"));
  EXPECT_EQ(check.Count(), 0);  // the scratch file was never written back
  check.SetFileName("");

  // Saved through a link: the file it leads to is replaced, and the link stays.
  ASSERT_EQ(::symlink(dir_.File("site.QDB").c_str(), dir_.File("link.QDB").c_str()), 0);
  db.SetFileName(dir_.File("temp.fwt"));
  db.AddItem("other", "DISPLAYXXv");
  db.SaveAs(dir_.File("link.QDB"));
  db.SetFileName("");
  struct stat st;
  ASSERT_EQ(::lstat(dir_.File("link.QDB").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  check.SetFileName(dir_.File("site.QDB"));
  EXPECT_EQ(check.Count(), 1);
}

TEST_F(WriteBack, SaveAsWritesTheSameBytesWhereverTheWorkingFilesLie) {
  const std::string expected = std::string("QDB\0", 4) + Int32Bytes(12) + "abc" +
                               std::string("\x07\x00\x40\x80\x00\x00\x00\x04\x61", 9) +
                               std::string("QIX\0", 4) + Int32Bytes(33) + Int32Bytes(2) +
                               std::string("B\0", 2) + Int32Bytes(0) + Int32Bytes(3) +
                               Int32Bytes(0) + std::string("a\0", 2) + Int32Bytes(3) +
                               Int32Bytes(9) + Int32Bytes(2) + std::string(1, '\0');
  // On the site file's file system the working data file itself becomes the site file; on
  // another one (/dev/shm, where it is one) the data are copied.
  std::vector<std::string> temps{work_.path()};
  char other[] = "/dev/shm/qdbtestXXXXXX";
  struct stat here = {};
  struct stat there = {};
  const bool have_other = ::mkdtemp(other) != nullptr;
  if (have_other && ::stat(other, &there) == 0 && ::stat(dir_.path().c_str(), &here) == 0 &&
      here.st_dev != there.st_dev)
    temps.push_back(other);
  for (std::size_t i = 0; i < temps.size(); ++i) {
    TQDB::SetTempDirectory(temps[i]);
    const std::string name = dir_.File("site" + std::to_string(i) + ".fwb");
    TQDB db;
    db.SetFileName(dir_.File("temp.fwt"));
    db.AddItem("abc", "B");
    const TQDB::ItemPlace place = db.CurrentPlace();
    const std::shared_ptr<const TQDB::PlaceReader> working = db.Reader();
    db.SetCompression(true);
    db.AddItem(std::string(20, 'a'), "a");
    db.SaveAs(name);
    EXPECT_EQ(ReadFileBytes(name), expected) << temps[i];
    if (i == 0) {
      EXPECT_TRUE(std::filesystem::is_empty(temps[i]));  // nothing left behind
    }
    EXPECT_EQ(working->Read(place), "abc") << temps[i];
    EXPECT_EQ(db.ItemAt(1), "abc");
    db.AddItem("new", "c");
    db.SetFileName("");
    EXPECT_TRUE(std::filesystem::is_empty(temps[i])) << temps[i];
    TQDB check;
    check.SetFileName(name);
    ASSERT_EQ(check.Count(), 3);
    EXPECT_EQ(check.ItemAt(0), std::string(20, 'a'));
    EXPECT_EQ(check.ItemAt(2), "new");
  }
  if (have_other) std::filesystem::remove_all(other);
}

TEST_F(WriteBack, AFailedWriteBackLeavesTheOldFileIntact) {
  const std::string name = dir_.File("big.QDB");
  {
    TQDB db;
    db.SetFileName(name);
    db.AddItem("old", "k");
  }
  const std::string before = ReadFileBytes(name);

  // The target is a directory: SaveAs fails and the store stays on its file.
  ASSERT_EQ(::mkdir(dir_.File("dir.QDB").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(dir_.File("dir.QDB/inside").c_str(), 0755), 0);
  TQDB db;
  db.SetFileName(name);
  db.AddItem(std::string(300000, 'x'), "large");
  EXPECT_THROW(db.SaveAs(dir_.File("dir.QDB")), EQDBFileError);
  EXPECT_EQ(db.FileName(), name);
  EXPECT_EQ(db.Count(), 2);
  // A FIFO, or a link to one, is refused as well: never replaced by a file.
  ASSERT_EQ(::mkfifo(dir_.File("pipe.QDB").c_str(), 0600), 0);
  ASSERT_EQ(::symlink(dir_.File("pipe.QDB").c_str(), dir_.File("link.QDB").c_str()), 0);
  for (const char* target : {"pipe.QDB", "link.QDB"}) {
    std::string refused;
    try {
      db.SaveAs(dir_.File(target));
    } catch (const EQDBFileError& e) {
      refused = e.what();
    }
    EXPECT_EQ(refused, "The file " + dir_.File(target) + " is not a valid QDB file");
  }
  struct stat st;
  ASSERT_EQ(::stat(dir_.File("link.QDB").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(db.FileName(), name);

  // A file size limit makes the write-back itself fail part way.
  ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit old_limit;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct rlimit limit = old_limit;
  limit.rlim_cur = 100000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  std::string raised;
  try {
    db.SetFileName("");
  } catch (const EQDBFileError& e) {
    raised = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  EXPECT_EQ(raised, "Unidentified problem -  27");  // EFBIG
  EXPECT_EQ(ReadFileBytes(name), before);
  EXPECT_EQ(dir_.List(), (std::vector<std::string>{"big.QDB", "dir.QDB", "link.QDB", "pipe.QDB"}));
  // The working files were kept, so the committed data is not lost.
  EXPECT_EQ(work_.List().size(), 3u);
  EXPECT_EQ(db.FileName(), "");
}

TEST_F(WriteBack, JournalledIndexMatchesAFullRewriteAfterRandomChanges) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(99));
  for (int round = 0; round < 4; ++round) {
    const std::string name = dir_.File("j" + std::to_string(round) + ".QDB");
    IndexOracle oracle(false);
    std::int32_t data_size = 0;
    TQDB db;
    db.SetFileName(name);
    for (int reopen = 0; reopen < 3; ++reopen) {
      for (int step = 0; step < 400; ++step) {
        const unsigned action = rng() % 10;
        if (action < 6) {
          std::string key = "k" + std::to_string(rng() % 300);
          if (rng() % 2) key[0] = 'K';
          const std::string bytes(rng() % 5, 'b');
          const bool fresh =
              oracle.Add({key, data_size, static_cast<std::int32_t>(bytes.size()), 0});
          try {
            db.AddItem(bytes, key);
            ASSERT_TRUE(fresh) << key;
            data_size += static_cast<std::int32_t>(bytes.size());
          } catch (const EQDBIndexError&) {
            ASSERT_FALSE(fresh) << key;
          }
        } else if (action < 9 && db.Count() > 0) {
          const int at = static_cast<int>(rng() % db.Count());
          db.SetItemIndex(at);
          ASSERT_EQ(db.CurrentKey(), oracle.Entries()[at].key);
          db.DeleteItem();
          oracle.Remove(static_cast<std::size_t>(at));
        } else {
          db.Commit();
        }
      }
      db.SetFileName("");
      EXPECT_EQ(IndexSection(ReadFileBytes(name)), oracle.Commit()) << round << "/" << reopen;
      db.SetFileName(name);
      ASSERT_EQ(db.Count(), static_cast<int>(oracle.Entries().size()));
    }
  }
}

TEST_F(WriteBack, AProcessKilledDuringWriteBackLeavesAWholeFile) {
  const std::string name = dir_.File("kill.QDB");
  const std::string big(3 << 20, 'p');
  {
    TQDB db;
    db.SetFileName(name);
    db.AddItem(big, "big");
  }
  std::mt19937 rng(ferrowyn::testing::TestSeed(7));
  for (int round = 0; round < 8; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Each pass adds one small item and writes the whole store back.
      for (int i = 0;; ++i) {
        TQDB db;
        db.SetFileName(name);
        db.AddItem(std::to_string(i), "r" + std::to_string(round) + "-" + std::to_string(i));
      }
    }
    ::usleep(20000 + rng() % 150000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    TQDB db;
    db.SetReadOnly(true);
    ASSERT_NO_THROW(db.SetFileName(name)) << round;
    ASSERT_TRUE(db.FindKey("big"));
    ASSERT_EQ(db.GetItem().size(), big.size());
    for (int i = 0; i < db.Count(); ++i) {
      db.SetItemIndex(i);
      if (db.CurrentKey() != "big") {
        const std::string key = db.CurrentKey();
        EXPECT_EQ(db.GetItem(), key.substr(key.find('-') + 1));
      }
    }
  }
  // A killed write-back may leave its unfinished temporary file beside the store, never in its
  // place.
  int interrupted = 0;
  for (const auto& entry : dir_.List()) {
    EXPECT_TRUE(entry == "kill.QDB" || entry.rfind("QDD", 0) == 0) << entry;
    interrupted += entry.rfind("QDD", 0) == 0;
  }
  TQDB db;
  db.SetReadOnly(true);
  db.SetFileName(name);
  std::printf("%d write-backs completed, %d killed while writing\n", db.Count() - 1, interrupted);
}

}  // namespace
}  // namespace ferrowyn
