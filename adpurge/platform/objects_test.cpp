// Named kernel objects across processes: mutex, events, semaphore, waiting for several at
// once, a holder killed while it owns a mutex, and a mapping seen by two processes.
#include <gtest/gtest.h>

#include <cstring>

#include "adpurge/platform/platform.h"
#include "adpurge/testing/child.h"

namespace p = adpurge::platform;
using adpurge::testing::start_child;
using adpurge::testing::unique_name;
using adpurge::testing::wait_child;

namespace {

constexpr std::uint32_t kGuard = 120000;  // failure guard only; every wait ends on a signal

}  // namespace

// Takes the mutex, says so, and keeps it until told to go; then releases it and adds two to
// the semaphore.
ADPURGE_CHILD(hold_mutex_until_told) {
  auto mutex = p::create_mutex(unique_name("mutex"), true);
  auto held = p::create_event(unique_name("held"), true, false);
  auto go = p::create_event(unique_name("go"), false, false);
  auto semaphore = p::create_semaphore(unique_name("semaphore"), 0, 10);
  if (mutex.existed || !p::set_event(held.handle)) return 1;
  if (p::wait_one(go.handle, kGuard).status != p::WaitStatus::kSignaled) return 2;
  if (!p::release_mutex(mutex.handle)) return 3;
  return p::release_semaphore(semaphore.handle, 2) == 0 ? 0 : 4;
}

TEST(NamedObjects, MutexEventAndSemaphoreAcrossProcesses) {
  auto held = p::create_event(unique_name("held"), true, false);
  auto go = p::create_event(unique_name("go"), false, false);
  auto semaphore = p::create_semaphore(unique_name("semaphore"), 0, 10);
  auto child = start_child("hold_mutex_until_told", {});
  ASSERT_TRUE(child.valid());
  ASSERT_EQ(p::wait_one(held.handle, kGuard).status, p::WaitStatus::kSignaled);

  auto mutex = p::create_mutex(unique_name("mutex"), true);
  EXPECT_TRUE(mutex.existed);
  EXPECT_EQ(p::wait_one(mutex.handle, 0).status, p::WaitStatus::kTimeout);
  EXPECT_FALSE(p::release_mutex(mutex.handle));  // not the owner

  ASSERT_TRUE(p::set_event(go.handle));
  EXPECT_EQ(p::wait_one(mutex.handle, kGuard).status, p::WaitStatus::kSignaled);
  EXPECT_EQ(wait_child(child), 0u);
  EXPECT_EQ(p::wait_one(semaphore.handle, 0).status, p::WaitStatus::kSignaled);
  EXPECT_EQ(p::wait_one(semaphore.handle, 0).status, p::WaitStatus::kSignaled);
  EXPECT_EQ(p::wait_one(semaphore.handle, 0).status, p::WaitStatus::kTimeout);
  // The auto-reset event was consumed by the child's wait; the manual one stays set.
  EXPECT_EQ(p::wait_one(go.handle, 0).status, p::WaitStatus::kTimeout);
  EXPECT_EQ(p::wait_one(held.handle, 0).status, p::WaitStatus::kSignaled);
  EXPECT_TRUE(p::release_mutex(mutex.handle));
  EXPECT_FALSE(p::release_semaphore(semaphore.handle, 11).has_value());
  EXPECT_EQ(p::release_semaphore(semaphore.handle, 10), 0);
}

// Exits 0 when the mutex could be taken at once, 1 when it could not.
ADPURGE_CHILD(try_mutex) {
  auto mutex = p::create_mutex(unique_name(args.at(0)), false);
  const auto result = p::wait_one(mutex.handle, 0);
  if (result.status == p::WaitStatus::kSignaled) return p::release_mutex(mutex.handle) ? 0 : 3;
  return result.status == p::WaitStatus::kTimeout ? 1 : 2;
}

TEST(NamedObjects, WaitForSeveralTakesAllOrNothing) {
  auto mutex = p::create_mutex(unique_name("all-mutex"), false);
  auto event = p::create_event(unique_name("all-event"), false, true);
  auto semaphore = p::create_semaphore(unique_name("all-semaphore"), 0, 5);
  const p::Handle* three[] = {&mutex.handle, &event.handle, &semaphore.handle};

  // The semaphore is at 0: nothing is taken, the event stays set, the mutex stays free.
  EXPECT_EQ(p::wait_all(three, 0).status, p::WaitStatus::kTimeout);
  auto free_child = start_child("try_mutex", {"all-mutex"});
  EXPECT_EQ(wait_child(free_child), 0u);

  ASSERT_EQ(p::release_semaphore(semaphore.handle, 1), 0);
  EXPECT_EQ(p::wait_all(three, kGuard).status, p::WaitStatus::kSignaled);
  auto owned_child = start_child("try_mutex", {"all-mutex"});
  EXPECT_EQ(wait_child(owned_child), 1u);
  EXPECT_EQ(p::wait_one(event.handle, 0).status, p::WaitStatus::kTimeout);
  EXPECT_EQ(p::wait_one(semaphore.handle, 0).status, p::WaitStatus::kTimeout);
  EXPECT_TRUE(p::release_mutex(mutex.handle));
  EXPECT_FALSE(p::release_mutex(mutex.handle));
}

// Owns the mutex and an event of its own, says so, and waits to be killed.
ADPURGE_CHILD(hold_mutex_until_killed) {
  auto mutex = p::create_mutex(unique_name("doomed-mutex"), true);
  auto own = p::create_event(unique_name("doomed-own-event"), true, false);
  auto held = p::create_event(unique_name("doomed-held"), true, false);
  if (mutex.existed || own.existed || !p::set_event(held.handle)) return 1;
  p::wait_one(own.handle, p::kInfinite);
  return 2;
}

TEST(NamedObjects, MutexOfAKilledHolderIsAbandonedToTheNextWaiter) {
  auto held = p::create_event(unique_name("doomed-held"), true, false);
  auto child = start_child("hold_mutex_until_killed", {});
  ASSERT_TRUE(child.valid());
  ASSERT_EQ(p::wait_one(held.handle, kGuard).status, p::WaitStatus::kSignaled);
  auto mutex = p::create_mutex(unique_name("doomed-mutex"), true);
  ASSERT_TRUE(mutex.existed);
  EXPECT_EQ(p::wait_one(mutex.handle, 0).status, p::WaitStatus::kTimeout);

  ASSERT_TRUE(child.kill());
  ASSERT_TRUE(child.wait(kGuard).has_value());
  const p::Handle* one[] = {&mutex.handle};
  const auto taken = p::wait_all(one, kGuard);
  EXPECT_EQ(taken.status, p::WaitStatus::kAbandoned);
  EXPECT_EQ(taken.index, 0u);
  EXPECT_TRUE(p::release_mutex(mutex.handle));
  EXPECT_EQ(p::wait_one(mutex.handle, 0).status, p::WaitStatus::kSignaled);  // reported once
  EXPECT_TRUE(p::release_mutex(mutex.handle));
  // The dead process's handles are closed: its own event is gone with it.
  EXPECT_FALSE(p::create_event(unique_name("doomed-own-event"), true, false).existed);
}

// Checks the parent's bytes in the mapping's first page and writes its own in the second.
ADPURGE_CHILD(answer_in_mapping) {
  auto mapping = p::create_mapping(unique_name("mapping"), 65536);
  if (!mapping.existed) return 1;
  auto view = p::map_view(mapping.handle);
  const std::uint32_t page = p::page_size();
  if (!view.valid() || view.size() != 65536 || !view.commit(0, 2 * page)) return 2;
  if (std::memcmp(view.data() + 100, "parent", 6) != 0) return 3;
  std::memcpy(view.data() + page, "child", 5);
  return 0;
}

TEST(NamedObjects, MappingIsSharedBetweenProcesses) {
  auto mapping = p::create_mapping(unique_name("mapping"), 65536);
  ASSERT_FALSE(mapping.existed);
  auto view = p::map_view(mapping.handle);
  ASSERT_TRUE(view.valid());
  const std::uint32_t page = p::page_size();
  ASSERT_TRUE(view.commit(0, 1));
  EXPECT_FALSE(view.commit(65535, 2));
  std::memcpy(view.data() + 100, "parent", 6);
  auto child = start_child("answer_in_mapping", {});
  EXPECT_EQ(wait_child(child), 0u);
  ASSERT_TRUE(view.commit(page, page));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.data() + page), 6),
            std::string("child\0", 6));
}
