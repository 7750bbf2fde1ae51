// The shared index region: a 65,536-byte block that every process with a queue database
// open maps, holding the index as a binary search tree and two lists linked by byte offsets.
// IndexRegion works over any byte span (a mapped view, or a plain buffer in tests). The
// caller serialises use through the region's locks; allocation takes the hooks' allocation
// lock itself. Nothing throws; every offset read from the region is checked first, and a
// damaged structure is reported as such, never followed out of bounds or round a cycle.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "adpurge/qdb/qdb_format.h"

namespace adpurge::qdb {

struct RegionHooks {
  // Makes the first `pages` pages of the view usable; false when the system refuses.
  std::function<bool(uint32_t pages)> commit = [](uint32_t) { return true; };
  // Takes the allocation mutex; false when it could not be had (nothing is allocated then).
  std::function<bool()> lock_allocation = [] { return true; };
  std::function<void()> unlock_allocation = [] {};
};

class IndexRegion {
 public:
  static constexpr uint32_t kSize = 65536;
  static constexpr uint32_t kFirstFree = 256;
  static constexpr uint32_t kHeldEntryBytes = 36;  // entry copy (24) and node (12)
  enum Slot : uint32_t { kTree = 0, kDeleted = 1, kFree = 2 };
  enum class Result { kDone, kPresent, kFull, kDamaged };

  // `bytes` must span kSize bytes whose first page is committed; not owned.
  IndexRegion(std::span<uint8_t> bytes, uint32_t page_size, RegionHooks hooks);

  // Zeroes the first page and writes a fresh header: the region holds nothing.
  void Initialise();
  // Commits the pages a header written by another process records; false when that
  // header is not one this code could have written.
  bool Attach();

  Result Insert(const IndexEntry& entry);           // into the tree, keyed on word 0
  Result Push(Slot list, const IndexEntry& entry);  // at the tail of a list
  // Visits nodes; false when the structure is damaged (the visit stops there).
  bool PreOrder(const std::function<void(uint32_t node)>& visit);
  bool PostOrder(const std::function<bool(uint32_t node)>& visit);  // visit false: stop
  bool ListOrder(Slot list, const std::function<void(uint32_t node)>& visit);

  IndexEntry EntryOf(uint32_t node);  // node as handed out by a visit
  void SetEntry(uint32_t node, const IndexEntry& entry);
  uint32_t FreeBytes();

 private:
  uint32_t Word(uint32_t at);
  void SetWord(uint32_t at, uint32_t value);
  bool Readable(uint32_t at, uint32_t length);
  bool ValidNode(uint32_t node);
  std::optional<uint32_t> NewNode(const IndexEntry& entry);
  uint32_t MaxNodes() const { return (kSize - kFirstFree) / kHeldEntryBytes; }

  std::span<uint8_t> bytes_;
  uint32_t page_size_;
  RegionHooks hooks_;
  uint32_t pages_here_ = 1;  // pages this process has committed
};

}  // namespace adpurge::qdb
