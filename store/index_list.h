// TIndexList: a sorted key list whose objects are index entries, searched by
// key in O(log n) and reached by position in O(log n), with insertion and
// removal costing O(sqrt n): the entries live in sorted blocks of bounded size,
// so an insertion moves at most one block's entries, never the whole list.
//
// Keys are kept compactly: a block holds the bytes that all of its keys start with
// once, and the rest of each key back to back in one buffer, so a key costs its
// own distinct bytes and a small fixed entry rather than a heap string. The keys
// of a store share long beginnings ("QUERYXXhttp://host/dir/..."), which also lets
// a search compare only the short distinct ends inside a block.
//
// Not thread-safe; owned by its store. Throws EQDBListError when it would grow
// past the largest key list the store keeps.
#pragma once

#include <cstdint>
#include <functional>
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

// An entry as the list hands it out: the key is valid until the next call on the list.
struct TIndexEntryView {
  std::string_view key;
  TIndex index;
  operator TIndexEntry() const { return TIndexEntry{std::string(key), index}; }
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
  bool Insert(std::string_view key, const TIndex& index, int* at = nullptr);
  // Insert without the search, at `place` as a Find that found no equal key gave it, with
  // no change to the list since: a caller that has just searched does not search twice.
  void InsertAt(int place, std::string_view key, const TIndex& index);

  void Erase(int at);

  std::string Key(int at) const;
  const TIndex& Entry(int at) const;

  // Replaces the contents with `entries`, which must be strictly ascending.
  void AssignSorted(std::vector<TIndexEntry> entries);
  // The same for `count` entries handed out by `entry(0)` .. `entry(count - 1)`, in
  // ascending order, without a copy of them all at once.
  void AssignSorted(std::size_t count, const std::function<TIndexEntryView(std::size_t)>& entry);

  // Frees all entries.
  void EmptyAndClear();

  // Calls f(entry) for each entry, from the last key to the first.
  template <typename F>
  void ForEachDescending(F&& f) const {
    std::string key;
    for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block) {
      for (auto slot = block->entries.rbegin(); slot != block->entries.rend(); ++slot) {
        key.assign(block->prefix);
        key.append(block->tails, slot->at, slot->size);
        f(TIndexEntryView{key, slot->index});
      }
    }
  }

 private:
  // One key of a block: its end (the bytes after the block's prefix) lies at `at` in
  // the block's tails, `size` bytes long. `head` is the end's first eight bytes as the
  // comparison sees them (folded unless case-sensitive; zero bytes after a shorter end),
  // the first one most significant: most comparisons inside a block are settled by it
  // without reading the end itself.
  struct Slot {
    // Two halves, so that a slot needs no 8-byte alignment: 28 bytes, not 32.
    std::uint32_t head_high = 0;
    std::uint32_t head_low = 0;
    std::uint32_t at = 0;
    std::uint32_t size = 0;
    TIndex index;
  };
  struct Block {
    std::string prefix;  // the bytes every key of the block starts with
    std::string tails;   // the keys' ends, back to back (with gaps left by removals)
    std::vector<Slot> entries;
    std::size_t live = 0;  // bytes of tails that entries still refer to
  };

  static std::string_view TailOf(const Block& block, const Slot& slot) {
    return std::string_view(block.tails).substr(slot.at, slot.size);
  }
  static std::string FullKey(const Block& block, const Slot& slot);
  std::uint64_t HeadOf(std::string_view tail) const;
  static std::uint64_t HeadOf(const Slot& slot) {
    return (std::uint64_t{slot.head_high} << 32) | slot.head_low;
  }
  // A slot for an end of `tail` at `at` in its block's tails.
  Slot MakeSlot(std::string_view tail, std::size_t at, const TIndex& index) const;
  // Order of a key end `rest` (whose head is `rest_head`) against the slot's end.
  int AgainstTail(const Block& block, const Slot& slot, std::string_view rest,
                  std::uint64_t rest_head) const;
  // Compares `key` with the block's prefix. Returns the order of `key` against every key
  // of the block when the prefix decides it, or 0 with `*rest` set to the part of `key`
  // after the prefix, to be compared with the keys' ends.
  int AgainstPrefix(const Block& block, std::string_view key, std::string_view* rest) const;
  // Position in the block of the first key not below `key`, and whether it equals `key`.
  std::size_t LowerBound(const Block& block, std::string_view key, bool* equal) const;
  // Makes the block's prefix the longest one its keys (and `also`, when not null) share,
  // rewriting the ends accordingly.
  void Repack(Block& block, const std::string_view* also) const;
  // Index of the block whose entries start at or before position `at`.
  std::size_t BlockOf(int at) const;
  void RebuildStarts(std::size_t from);

  bool case_sensitive_;
  int count_ = 0;
  std::vector<Block> blocks_;
  // fences_[b]: the last key of block b, kept apart from the blocks so that finding a
  // key's block reads one small array rather than every block it passes.
  std::vector<std::string> fences_;
  // starts_[b]: position of the first entry of block b.
  std::vector<int> starts_;
};

}  // namespace ferrowyn
