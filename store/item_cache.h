// TCacheList: the record store's item cache. Keeps uncompressed copies of
// recently used items within a byte budget, evicting the least recently used,
// and counts hits against lookups for CacheFrequency. Keys compare exactly.
//
// Not thread-safe; owned by its store. Never throws: a copy that cannot be
// had is simply not cached.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

namespace ferrowyn {

class TCacheList {
 public:
  explicit TCacheList(std::int64_t budget) : budget_(budget) {}

  std::int64_t Budget() const { return budget_; }
  // Sets the budget and drops every entry and counter.
  void SetBudget(std::int64_t bytes);

  // Offers an item: cached only when shorter than the budget, after evicting
  // the least recently used entries until it fits. Counts as one lookup.
  void Offer(const std::string& key, std::string_view bytes);

  // On a hit copies the bytes to *out, renews the entry and returns true.
  bool Lookup(const std::string& key, std::string* out);

  void Remove(const std::string& key);

  // Drops every entry and resets the counters.
  void Clear();
  void ResetCounters();

  // hits * 100 / lookups rounded to the nearest integer, halves to even; 0 without lookups.
  int Frequency() const;

  std::int64_t CachedBytes() const { return cached_bytes_; }
  std::size_t Entries() const { return entries_.size(); }

 private:
  struct Item;
  using EntryMap = std::unordered_map<std::string, Item>;
  // Recency order, least recently used first: a list rather than a search tree of
  // stamps, so that a crawl's URL store, which caches an empty item for every URL it
  // meets, pays a list node per entry and no second copy of its key.
  // The list holds each entry's key as it lies in entries_ (which keeps element addresses,
  // unlike iterators, when it grows).
  using Recency = std::list<const std::string*>;
  struct Item {
    std::string bytes;
    Recency::iterator place;
  };

  std::int64_t budget_;
  std::int64_t cached_bytes_ = 0;
  std::uint64_t hits_ = 0;
  std::uint64_t lookups_ = 0;
  EntryMap entries_;
  Recency recency_;
};

}  // namespace ferrowyn
