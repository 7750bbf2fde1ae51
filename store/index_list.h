// TIndexList: a sorted key list whose objects are index entries, searched by
// key in O(log n) and reached by position in O(log n), with insertion and
// removal costing O(sqrt n): the entries live in sorted blocks of bounded size,
// so an insertion moves at most one block's entries, never the whole list.
//
// Not thread-safe; owned by its store. Throws EQDBListError when it would grow
// past the largest key list the store keeps.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ferrowyn {

// One index entry: where an item's stored form lies in the data section.
struct TIndex {
  std::int32_t position = 0;
  std::int32_t size = 0;
  std::uint32_t flags = 0;
  friend bool operator==(const TIndex&, const TIndex&) = default;
};

struct TIndexEntry {
  std::string key;
  TIndex index;
};

class TIndexList {
 public:
  explicit TIndexList(bool case_sensitive = false) : case_sensitive_(case_sensitive) {}

  bool CaseSensitive() const { return case_sensitive_; }
  // Changes the comparison; only allowed while the list is empty.
  void SetCaseSensitive(bool on);

  int Count() const { return count_; }

  // Binary search. Returns true when an equal key exists; `*at` receives its
  // position, or the position where the key would be inserted.
  bool Find(std::string_view key, int* at) const;

  // Inserts at the key's sorted place; returns false (and changes nothing) when
  // an equal key exists. `*at` receives the position of the new or equal key.
  bool Insert(std::string key, const TIndex& index, int* at = nullptr);
  // Insert without the search, at `place` as a Find that found no equal key gave it, with
  // no change to the list since: a caller that has just searched does not search twice.
  void InsertAt(int place, std::string key, const TIndex& index);

  void Erase(int at);

  const std::string& Key(int at) const { return Locate(at).key; }
  const TIndex& Entry(int at) const { return Locate(at).index; }

  // Replaces the contents with `entries`, which must be strictly ascending.
  void AssignSorted(std::vector<TIndexEntry> entries);

  // Frees all entries.
  void EmptyAndClear();

  // Calls f(entry) for each entry, from the last key to the first.
  template <typename F>
  void ForEachDescending(F&& f) const {
    for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block)
      for (auto entry = block->rbegin(); entry != block->rend(); ++entry) f(*entry);
  }

 private:
  const TIndexEntry& Locate(int at) const;
  // Index of the block whose entries start at or before position `at`.
  std::size_t BlockOf(int at) const;
  void RebuildStarts(std::size_t from);

  bool case_sensitive_;
  int count_ = 0;
  std::vector<std::vector<TIndexEntry>> blocks_;
  // starts_[b]: position of the first entry of block b.
  std::vector<int> starts_;
};

}  // namespace ferrowyn
