// The ad client's reader-writer lock over three named objects: a mutex, a manual-reset event
// that is set while no reader holds the lock, and a semaphore whose count is the number of
// readers. Processes that name the same prefix share one lock. The ad client that shares these
// objects waits without a bound; we give up after kLockWaitMs, since a reader that died holding
// the lock never gives its count back and would keep every writer out for good. One thread per
// object; nothing throws.
#pragma once

#include <cstdint>
#include <string>

#include "adpurge/platform/platform.h"

namespace adpurge::qdb {

// How long any wait for the database's shared objects may last before the step gives up.
inline constexpr std::uint32_t kLockWaitMs = 120000;

class RwLock {
 public:
  // Creates or opens the three objects named from `prefix`; false when one cannot be had.
  // Every wait of the lock lasts at most `wait_ms` milliseconds.
  bool Create(const std::string& prefix, std::uint32_t wait_ms = kLockWaitMs);
  void Close();

  // Each returns false when the system refuses a wait or the wait passes its bound, and then
  // holds nothing.
  bool LockShared();
  bool LockExclusive();
  bool UnlockShared();
  bool UnlockExclusive();

 private:
  platform::Handle mutex_, no_readers_, readers_;
  std::uint32_t wait_ms_ = kLockWaitMs;
};

// Holds a lock for a scope, shared or exclusive; `held()` says whether it was taken.
class RwLockHold {
 public:
  RwLockHold(RwLock& lock, bool shared)
      : lock_(lock), shared_(shared), held_(shared ? lock.LockShared() : lock.LockExclusive()) {}
  ~RwLockHold() {
    if (held_) shared_ ? lock_.UnlockShared() : lock_.UnlockExclusive();
  }
  RwLockHold(const RwLockHold&) = delete;
  RwLockHold& operator=(const RwLockHold&) = delete;
  bool held() const { return held_; }

 private:
  RwLock& lock_;
  bool shared_;
  bool held_;
};

}  // namespace adpurge::qdb
