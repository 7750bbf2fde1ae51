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
  while (!recency_.empty() && length + cached_bytes_ > budget_) {
    const auto oldest = entries_.find(*recency_.front());
    cached_bytes_ -= static_cast<std::int64_t>(oldest->second.bytes.size());
    recency_.pop_front();
    entries_.erase(oldest);
  }
  try {
    const auto [entry, added] = entries_.emplace(key, Item{std::string(bytes), {}});
    try {
      entry->second.place = recency_.insert(recency_.end(), &entry->first);
    } catch (const std::bad_alloc&) {
      entries_.erase(entry);
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
  recency_.splice(recency_.end(), recency_, it->second.place);
  ++hits_;
  ++lookups_;
  return true;
}

void TCacheList::Remove(const std::string& key) {
  auto it = entries_.find(key);
  if (it == entries_.end()) return;
  cached_bytes_ -= static_cast<std::int64_t>(it->second.bytes.size());
  recency_.erase(it->second.place);
  entries_.erase(it);
}

void TCacheList::Clear() {
  recency_.clear();
  entries_.clear();
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
