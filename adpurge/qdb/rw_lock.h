// The ad client's reader-writer lock over three named objects: a mutex, a manual-reset event
// that is set while no reader holds the lock, and a semaphore whose count is the number of
// readers. Processes that name the same prefix share one lock. Waits have no bound, as in the
// ad client that shares these objects. One thread per object; nothing throws.
#pragma once

#include <string>

#include "adpurge/platform/platform.h"

namespace adpurge::qdb {

class RwLock {
 public:
  // Creates or opens the three objects named from `prefix`; false when one cannot be had.
  bool Create(const std::string& prefix);
  void Close();

  // Each returns false when the system refuses a wait, and then holds nothing.
  bool LockShared();
  bool LockExclusive();
  bool UnlockShared();
  bool UnlockExclusive();

 private:
  platform::Handle mutex_, no_readers_, readers_;
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
