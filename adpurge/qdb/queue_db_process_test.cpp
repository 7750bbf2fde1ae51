// Processes sharing one queue database: the shared index region, the reader-writer lock and
// a holder that is killed. Each child is a routine of this test program in its own process.
#include <gtest/gtest.h>

#include "adpurge/qdb/queue_db.h"
#include "adpurge/qdb/queue_db_test_files.h"
#include "adpurge/qdb/rw_lock.h"
#include "adpurge/testing/child.h"

namespace adpurge::qdb {
namespace {

namespace pf = platform;
constexpr uint32_t kGuard = 120000;  // against a hung child only; never reached when all is well

bool Signalled(const pf::Handle& h, uint32_t ms) {
  return pf::wait_one(h, ms).status == pf::WaitStatus::kSignaled;
}
pf::Handle Event(const std::string& name) { return pf::create_event(name, true, false).handle; }

// args: database. Exit code: the number of live records a walk sees.
ADPURGE_CHILD(qdb_count_records) {
  QueueDb db;
  if (!db.Open(args[0])) return 100;
  int count = 0;
  db.Walk([&](WalkRecord&) { ++count; }, kAllTypes, kLiveEntries);
  return count;
}

// args: lock prefix, "shared" or "exclusive", event set once held, event that ends the hold.
ADPURGE_CHILD(qdb_hold_lock) {
  RwLock lock;
  const bool shared = args[1] == "shared";
  if (!lock.Create(args[0]) || !(shared ? lock.LockShared() : lock.LockExclusive())) return 1;
  pf::set_event(Event(args[2]));
  pf::wait_one(Event(args[3]), pf::kInfinite);
  return (shared ? lock.UnlockShared() : lock.UnlockExclusive()) ? 0 : 2;
}

// args: database, event set once everything is held. Holds the guard mutex and the region's
// and the data file's locks until it is killed.
ADPURGE_CHILD(qdb_hold_until_killed) {
  QueueDb db;
  if (!db.Open(args[0])) return 1;
  const std::string b = NamesOf(args[0]).objects;
  auto guard = pf::create_mutex(b + "__BMTX", true);
  RwLock region, data;
  if (guard.existed) pf::wait_one(guard.handle, pf::kInfinite);
  if (!region.Create(b + "__IS__SS") || !region.LockExclusive() || !data.Create(b + "__BA") ||
      !data.LockExclusive())
    return 2;
  pf::set_event(Event(args[1]));
  pf::wait_one(Event(args[1] + "-never"), pf::kInfinite);
  return 3;
}

TEST(QueueDbProcesses, SecondOpenerUsesTheRegionTheFirstLoaded) {
  const TestFolder dir("shared");
  WriteGoldenFiles(dir / "q");
  QueueDb first;
  ASSERT_TRUE(first.Open(dir / "q"));
  // A second opener that checked or loaded the index file again would find nothing usable.
  WriteBytes(dir / "q.idx", std::vector<uint8_t>(200, 0xEE));
  auto child = testing::start_child("qdb_count_records", {dir / "q"});
  EXPECT_EQ(testing::wait_child(child), 2u);
}

TEST(QueueDbProcesses, ReadersShareTheLockAndAWriterWaitsForTheLastOne) {
  const std::string prefix = testing::unique_name("rwl");
  RwLock lock;
  ASSERT_TRUE(lock.Create(prefix));
  pf::Handle no_readers = pf::create_event(prefix + "__RWL2_NRE", true, true).handle;
  pf::Handle mutex = pf::create_mutex(prefix + "__RWL2_NWM", false).handle;
  std::vector<std::string> in, go;
  for (const char* who : {"r1", "r2", "w"}) {
    in.push_back(testing::unique_name(std::string(who) + "-in"));
    go.push_back(testing::unique_name(std::string(who) + "-go"));
  }
  std::vector<pf::Handle> in_events, go_events;
  for (size_t i = 0; i < 3; ++i)
    in_events.push_back(Event(in[i])), go_events.push_back(Event(go[i]));

  auto r1 = testing::start_child("qdb_hold_lock", {prefix, "shared", in[0], go[0]});
  ASSERT_TRUE(Signalled(in_events[0], kGuard));
  auto r2 = testing::start_child("qdb_hold_lock", {prefix, "shared", in[1], go[1]});
  ASSERT_TRUE(Signalled(in_events[1], kGuard)) << "a second reader must not wait";
  auto w = testing::start_child("qdb_hold_lock", {prefix, "exclusive", in[2], go[2]});

  pf::set_event(go_events[0]);
  EXPECT_EQ(testing::wait_child(r1), 0u);
  EXPECT_FALSE(Signalled(no_readers, 0)) << "one reader is left";
  EXPECT_FALSE(Signalled(in_events[2], 0));

  pf::set_event(go_events[1]);
  EXPECT_EQ(testing::wait_child(r2), 0u);
  ASSERT_TRUE(Signalled(in_events[2], kGuard));
  EXPECT_EQ(pf::wait_one(mutex, 0).status, pf::WaitStatus::kTimeout) << "the writer is alone";
  pf::set_event(go_events[2]);
  EXPECT_EQ(testing::wait_child(w), 0u);
  EXPECT_TRUE(Signalled(no_readers, 0));
}

TEST(QueueDbProcesses, AWriterGivesUpOnAReaderThatDiedHoldingTheLock) {
  const std::string prefix = testing::unique_name("rwl-dead");
  RwLock lock;  // keeps the objects in being, as the ad client would
  ASSERT_TRUE(lock.Create(prefix, 50));
  const std::string in = testing::unique_name("dead-in"), go = testing::unique_name("dead-go");
  pf::Handle in_event = Event(in), go_event = Event(go);
  auto reader = testing::start_child("qdb_hold_lock", {prefix, "shared", in, go});
  ASSERT_TRUE(Signalled(in_event, kGuard));
  ASSERT_TRUE(reader.kill());
  testing::wait_child(reader);

  // Its count stays behind for good: a writer would wait forever without a bound.
  EXPECT_FALSE(lock.LockExclusive());
  ASSERT_TRUE(lock.LockShared()) << "the mutex must not stay taken after the failed wait";
  EXPECT_TRUE(lock.UnlockShared());
}

TEST(QueueDbProcesses, AKilledHolderLeavesTheDatabaseUsable) {
  const TestFolder dir("killed");
  WriteGoldenFiles(dir / "q");
  QueueDb first;
  ASSERT_TRUE(first.Open(dir / "q"));
  const std::string ready = testing::unique_name("holder-ready");
  pf::Handle ready_event = Event(ready);
  auto child = testing::start_child("qdb_hold_until_killed", {dir / "q", ready});
  ASSERT_TRUE(Signalled(ready_event, kGuard));
  ASSERT_TRUE(child.kill());
  testing::wait_child(child);

  int count = 0;
  first.Walk([&](WalkRecord&) { ++count; }, kAllTypes, kLiveEntries);
  EXPECT_EQ(count, 2);
  QueueDb next;
  EXPECT_TRUE(next.Open(dir / "q"));
}

}  // namespace
}  // namespace adpurge::qdb
