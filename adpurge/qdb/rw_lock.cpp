// Reader-writer lock over a named mutex, event and semaphore, operated exactly as the ad
// client operates it, so that both keep each other out.
#include "adpurge/qdb/rw_lock.h"

namespace adpurge::qdb {
namespace {

using platform::WaitStatus;

// An abandoned mutex is ours all the same: its owner died, and the lock must go on.
bool Taken(const platform::WaitResult& r) {
  return r.status == WaitStatus::kSignaled || r.status == WaitStatus::kAbandoned;
}

}  // namespace

bool RwLock::Create(const std::string& prefix, std::uint32_t wait_ms) {
  wait_ms_ = wait_ms;
  mutex_ = platform::create_mutex(prefix + "__RWL2_NWM", false).handle;
  no_readers_ = platform::create_event(prefix + "__RWL2_NRE", true, true).handle;
  readers_ = platform::create_semaphore(prefix + "__RWL2_NES", 0, 0x7FFFFFFF).handle;
  return mutex_.valid() && no_readers_.valid() && readers_.valid();
}

void RwLock::Close() {
  mutex_.close();
  no_readers_.close();
  readers_.close();
}

bool RwLock::LockShared() {
  if (!Taken(platform::wait_one(mutex_, wait_ms_))) return false;
  const auto before = platform::release_semaphore(readers_, 1);
  if (before && *before == 0) platform::reset_event(no_readers_);
  platform::release_mutex(mutex_);
  return before.has_value();
}

bool RwLock::LockExclusive() {
  const platform::Handle* both[] = {&mutex_, &no_readers_};
  return Taken(platform::wait_all(both, wait_ms_));
}

bool RwLock::UnlockShared() {
  const platform::Handle* both[] = {&mutex_, &readers_};
  if (!Taken(platform::wait_all(both, wait_ms_))) return false;
  // Taking one more count without waiting tells whether other readers remain.
  if (platform::wait_one(readers_, 0).status == WaitStatus::kSignaled)
    platform::release_semaphore(readers_, 1);
  else
    platform::set_event(no_readers_);
  platform::release_mutex(mutex_);
  return true;
}

bool RwLock::UnlockExclusive() { return platform::release_mutex(mutex_); }

}  // namespace adpurge::qdb
