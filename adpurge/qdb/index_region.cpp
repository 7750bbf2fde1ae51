// The shared index region: header, allocation, tree and lists over byte offsets.
// Layout of a held entry at offset p: the 24-byte entry copy, then its node at p + 24 made of
// the entry's offset (p), the left link and the right link. Links and slots name nodes.
#include "adpurge/qdb/index_region.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace adpurge::qdb {
namespace {

constexpr uint32_t kInitialisedAt = 0;
constexpr uint32_t kPagesAt = 4;
constexpr uint32_t kNextFreeAt = 8;
constexpr uint32_t kSizeAt = 16;
constexpr uint32_t kSlotsAt = 20;
constexpr uint32_t kSlotCount = 32;
constexpr uint32_t kLeft = 4;
constexpr uint32_t kRight = 8;

}  // namespace

IndexRegion::IndexRegion(std::span<uint8_t> bytes, uint32_t page_size, RegionHooks hooks)
    : bytes_(bytes), page_size_(page_size), hooks_(std::move(hooks)) {}

uint32_t IndexRegion::Word(uint32_t at) { return ReadLe32(bytes_, at); }
void IndexRegion::SetWord(uint32_t at, uint32_t v) { PutLe32(bytes_, at, v); }

void IndexRegion::Initialise() {
  std::memset(bytes_.data(), 0, std::min<size_t>(page_size_, kSize));
  SetWord(kInitialisedAt, 1);
  SetWord(kPagesAt, 1);
  SetWord(kNextFreeAt, kFirstFree);
  SetWord(kSizeAt, kSize);
  for (uint32_t i = 0; i < kSlotCount; ++i) SetWord(kSlotsAt + 4 * i, kNone);
  pages_here_ = 1;
}

bool IndexRegion::Attach() {
  const uint32_t pages = Word(kPagesAt);
  const uint32_t next = Word(kNextFreeAt);
  if (Word(kInitialisedAt) != 1 || Word(kSizeAt) != kSize || pages == 0 ||
      pages > (kSize + page_size_ - 1) / page_size_ || next < kFirstFree || next > kSize ||
      next % 4 != 0 || next > pages * page_size_)
    return false;
  if (pages > pages_here_) {
    if (!hooks_.commit(pages)) return false;
    pages_here_ = pages;
  }
  return true;
}

bool IndexRegion::Readable(uint32_t at, uint32_t length) {
  const uint32_t next = Word(kNextFreeAt);
  if (at < kFirstFree || at % 4 != 0 || next > kSize || at > next || length > next - at)
    return false;
  const uint32_t pages_needed = (at + length + page_size_ - 1) / page_size_;
  if (pages_needed > pages_here_) {
    // Another process committed these pages after we attached.
    const uint32_t pages = Word(kPagesAt);
    if (pages_needed > pages || !hooks_.commit(pages)) return false;
    pages_here_ = pages;
  }
  return true;
}

bool IndexRegion::ValidNode(uint32_t node) {
  if (!Readable(node, 12)) return false;
  return Readable(Word(node), kEntrySize);
}

std::optional<uint32_t> IndexRegion::NewNode(const IndexEntry& entry) {
  if (!hooks_.lock_allocation()) return std::nullopt;
  std::optional<uint32_t> node;
  const uint32_t at = Word(kNextFreeAt);
  const uint32_t pages = Word(kPagesAt);
  if (at >= kFirstFree && at % 4 == 0 && at <= kSize - kHeldEntryBytes) {
    const uint32_t end = at + kHeldEntryBytes;
    const uint32_t pages_needed = (end + page_size_ - 1) / page_size_;
    bool committed = pages_needed <= pages_here_;
    if (!committed && hooks_.commit(std::max(pages_needed, pages))) {
      committed = true;
      pages_here_ = std::max(pages_needed, pages);
      SetWord(kPagesAt, pages_here_);
    }
    if (committed) {
      SetWord(kNextFreeAt, end);
      for (size_t i = 0; i < 6; ++i) SetWord(at + 4 * i, entry.word[i]);
      node = at + kEntrySize;
      SetWord(*node, at);
      SetWord(*node + kLeft, kNone);
      SetWord(*node + kRight, kNone);
    }
  }
  hooks_.unlock_allocation();
  return node;
}

IndexRegion::Result IndexRegion::Insert(const IndexEntry& entry) {
  uint32_t link = kSlotsAt + 4 * kTree;
  for (uint32_t steps = 0; steps <= MaxNodes(); ++steps) {
    const uint32_t node = Word(link);
    if (node == kNone) {
      const auto added = NewNode(entry);
      if (!added) return Result::kFull;
      SetWord(link, *added);
      return Result::kDone;
    }
    if (!ValidNode(node)) return Result::kDamaged;
    const uint32_t key = Word(Word(node));
    if (entry.key() == key) return Result::kPresent;
    link = node + (entry.key() < key ? kLeft : kRight);
  }
  return Result::kDamaged;
}

IndexRegion::Result IndexRegion::Push(Slot list, const IndexEntry& entry) {
  // Appended at the tail, so that a list keeps its order from one close to the next open.
  uint32_t link = kSlotsAt + 4 * list;
  for (uint32_t steps = 0; Word(link) != kNone; ++steps) {
    if (!ValidNode(Word(link)) || steps >= MaxNodes()) return Result::kDamaged;
    link = Word(link) + kRight;
  }
  const auto added = NewNode(entry);
  if (!added) return Result::kFull;
  SetWord(link, *added);
  return Result::kDone;
}

bool IndexRegion::PreOrder(const std::function<void(uint32_t)>& visit) {
  std::vector<uint32_t> stack{Word(kSlotsAt + 4 * kTree)};
  uint32_t visited = 0;
  while (!stack.empty()) {
    const uint32_t node = stack.back();
    stack.pop_back();
    if (node == kNone) continue;
    if (!ValidNode(node) || ++visited > MaxNodes()) return false;
    visit(node);
    stack.push_back(Word(node + kRight));
    stack.push_back(Word(node + kLeft));
  }
  return true;
}

bool IndexRegion::PostOrder(const std::function<bool(uint32_t)>& visit) {
  // Each node is pushed twice: first to expand its children, then to be visited.
  std::vector<std::pair<uint32_t, bool>> stack{{Word(kSlotsAt + 4 * kTree), false}};
  uint32_t expanded = 0;
  while (!stack.empty()) {
    const auto [node, children_done] = stack.back();
    stack.pop_back();
    if (node == kNone) continue;
    if (children_done) {
      if (!visit(node)) return true;
      continue;
    }
    if (!ValidNode(node) || ++expanded > MaxNodes()) return false;
    stack.push_back({node, true});
    stack.push_back({Word(node + kRight), false});
    stack.push_back({Word(node + kLeft), false});
  }
  return true;
}

bool IndexRegion::ListOrder(Slot list, const std::function<void(uint32_t)>& visit) {
  uint32_t node = Word(kSlotsAt + 4 * list);
  for (uint32_t visited = 0; node != kNone; node = Word(node + kRight)) {
    if (!ValidNode(node) || ++visited > MaxNodes()) return false;
    visit(node);
  }
  return true;
}

IndexEntry IndexRegion::EntryOf(uint32_t node) {
  IndexEntry e;
  if (!ValidNode(node)) return e;
  const uint32_t at = Word(node);
  for (size_t i = 0; i < 6; ++i) e.word[i] = Word(at + 4 * static_cast<uint32_t>(i));
  return e;
}

void IndexRegion::SetEntry(uint32_t node, const IndexEntry& entry) {
  if (!ValidNode(node)) return;
  const uint32_t at = Word(node);
  for (size_t i = 0; i < 6; ++i) SetWord(at + 4 * static_cast<uint32_t>(i), entry.word[i]);
}

uint32_t IndexRegion::FreeBytes() {
  const uint32_t next = Word(kNextFreeAt);
  return next <= kSize ? kSize - next : 0;
}

}  // namespace adpurge::qdb
