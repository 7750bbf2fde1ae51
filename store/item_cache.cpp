// The record store's item cache (see item_cache.h).
#include "store/item_cache.h"

#include <new>

namespace ferrowyn {

void TCacheList::SetBudget(std::int64_t bytes) {
  budget_ = bytes;
  Clear();
}

void TCacheList::Offer(const std::string& key, std::string_view bytes) {
  const auto length = static_cast<std::int64_t>(bytes.size());
  if (length >= budget_) return;
  Remove(key);
  while (!by_stamp_.empty() && length + cached_bytes_ > budget_) {
    const std::string oldest = by_stamp_.begin()->second;
    Remove(oldest);
  }
  try {
    const std::uint64_t stamp = ++clock_;
    entries_.emplace(key, Item{std::string(bytes), stamp});
    try {
      by_stamp_.emplace(stamp, key);
    } catch (const std::bad_alloc&) {
      entries_.erase(key);
      return;
    }
    cached_bytes_ += length;
    ++lookups_;
  } catch (const std::bad_alloc&) {
  }
}

bool TCacheList::Lookup(const std::string& key, std::string* out) {
  auto it = entries_.find(key);
  if (it == entries_.end()) return false;
  *out = it->second.bytes;
  auto node = by_stamp_.extract(it->second.stamp);
  it->second.stamp = ++clock_;
  node.key() = it->second.stamp;
  by_stamp_.insert(std::move(node));
  ++hits_;
  ++lookups_;
  return true;
}

void TCacheList::Remove(const std::string& key) {
  auto it = entries_.find(key);
  if (it == entries_.end()) return;
  cached_bytes_ -= static_cast<std::int64_t>(it->second.bytes.size());
  by_stamp_.erase(it->second.stamp);
  entries_.erase(it);
}

void TCacheList::Clear() {
  entries_.clear();
  by_stamp_.clear();
  cached_bytes_ = 0;
  ResetCounters();
}

void TCacheList::ResetCounters() {
  hits_ = 0;
  lookups_ = 0;
}

int TCacheList::Frequency() const {
  if (lookups_ == 0) return 0;
  const std::uint64_t scaled = hits_ * 100;
  std::uint64_t q = scaled / lookups_;
  const std::uint64_t r = scaled % lookups_;
  if (2 * r > lookups_ || (2 * r == lookups_ && (q & 1))) ++q;
  return static_cast<int>(q);
}

}  // namespace ferrowyn
