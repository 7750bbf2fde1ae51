// The blocked sorted key list of the record store's index.
#include "store/index_list.h"

#include <algorithm>
#include <cassert>

#include "store/key_collation.h"
#include "store/qdb_errors.h"
#include "store/qdb_format.h"

namespace ferrowyn {

namespace {
// Blocks split beyond this; at 20,000 keys an insertion moves at most a few
// hundred entries and updates fewer than a hundred block starts.
constexpr std::size_t kMaxBlock = 512;
// A block's ends are packed again once removals left more gaps than ends in them.
constexpr std::size_t kRepackFloor = 1024;

// Length of the common beginning of `a` and `b`, byte for byte.
std::size_t CommonLength(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  std::size_t i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}
}  // namespace

void TIndexList::SetCaseSensitive(bool on) {
  assert(count_ == 0);
  case_sensitive_ = on;
}

std::string TIndexList::FullKey(const Block& block, const Slot& slot) {
  std::string key;
  key.reserve(block.prefix.size() + slot.size);
  key.append(block.prefix);
  key.append(TailOf(block, slot));
  return key;
}

std::uint64_t TIndexList::HeadOf(std::string_view tail) const {
  std::uint64_t head = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    unsigned char c = 0;
    if (i < tail.size()) {
      c = static_cast<unsigned char>(tail[i]);
      if (!case_sensitive_) c = FoldKeyByte(c);
    }
    head = (head << 8) | c;
  }
  return head;
}

TIndexList::Slot TIndexList::MakeSlot(std::string_view tail, std::size_t at,
                                      const TIndex& index) const {
  const std::uint64_t head = HeadOf(tail);
  return Slot{static_cast<std::uint32_t>(head >> 32), static_cast<std::uint32_t>(head),
              static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(tail.size()), index};
}

int TIndexList::AgainstTail(const Block& block, const Slot& slot, std::string_view rest,
                            std::uint64_t rest_head) const {
  const std::uint64_t slot_head = HeadOf(slot);
  if (rest_head != slot_head) return rest_head < slot_head ? -1 : 1;
  // Keys hold no zero byte, so equal heads with an end shorter than eight bytes mean ends
  // of the same length; either way the first min(8, sizes) bytes compare equal.
  if (rest.size() <= 8 || slot.size <= 8) {
    if (rest.size() == slot.size) return 0;
    return rest.size() < slot.size ? -1 : 1;
  }
  return CompareKeys(rest.substr(8), TailOf(block, slot).substr(8), case_sensitive_);
}

int TIndexList::AgainstPrefix(const Block& block, std::string_view key,
                              std::string_view* rest) const {
  const std::string_view prefix = block.prefix;
  const std::size_t n = std::min(key.size(), prefix.size());
  const int r = CompareKeys(key.substr(0, n), prefix.substr(0, n), case_sensitive_);
  if (r != 0) return r;
  // Every key of the block is at least as long as the prefix, and `key` agrees with
  // all of them as far as it goes.
  if (key.size() < prefix.size()) return -1;
  *rest = key.substr(prefix.size());
  return 0;
}

std::size_t TIndexList::LowerBound(const Block& block, std::string_view key, bool* equal) const {
  *equal = false;
  std::string_view rest;
  const int r = AgainstPrefix(block, key, &rest);
  if (r < 0) return 0;
  if (r > 0) return block.entries.size();
  const std::uint64_t head = HeadOf(rest);
  const auto slot =
      std::partition_point(block.entries.begin(), block.entries.end(), [&](const Slot& s) {
        return AgainstTail(block, s, rest, head) > 0;
      });
  *equal = slot != block.entries.end() && AgainstTail(block, *slot, rest, head) == 0;
  return static_cast<std::size_t>(slot - block.entries.begin());
}

void TIndexList::Repack(Block& block, const std::string_view* also) const {
  if (block.entries.empty()) {
    block.prefix = also ? std::string(*also) : std::string();
    block.tails.clear();
    block.live = 0;
    return;
  }
  // Every key starts with the old prefix, so the new one is the old one followed by
  // what the ends share (or less, for `also`).
  const std::string_view first = TailOf(block, block.entries[0]);
  std::size_t shared = first.size();
  for (const Slot& slot : block.entries)
    shared = std::min(shared, CommonLength(first, TailOf(block, slot)));
  std::string prefix = block.prefix;
  prefix.append(first.substr(0, shared));
  if (also) prefix.resize(CommonLength(prefix, *also));
  const std::size_t length = prefix.size();

  std::string tails;
  tails.reserve(block.live + block.entries.size() *
                                 (block.prefix.size() - std::min(length, block.prefix.size())));
  for (Slot& slot : block.entries) {
    const std::string_view tail = TailOf(block, slot);
    const auto at = static_cast<std::uint32_t>(tails.size());
    if (length <= block.prefix.size()) {
      tails.append(block.prefix, length, std::string::npos);
      tails.append(tail);
    } else {
      tails.append(tail.substr(length - block.prefix.size()));
    }
    slot = MakeSlot(std::string_view(tails).substr(at), at, slot.index);
  }
  block.prefix = std::move(prefix);
  block.tails = std::move(tails);
  block.live = block.tails.size();
}

bool TIndexList::Find(std::string_view key, int* at) const {
  // First block whose last key is not below `key`.
  const auto fence = std::partition_point(fences_.begin(), fences_.end(), [&](const std::string& f) {
    return CompareKeys(f, key, case_sensitive_) < 0;
  });
  if (fence == fences_.end()) {
    *at = count_;
    return false;
  }
  const auto b = static_cast<std::size_t>(fence - fences_.begin());
  bool equal = false;
  const std::size_t entry = LowerBound(blocks_[b], key, &equal);
  *at = starts_[b] + static_cast<int>(entry);
  return equal;
}

bool TIndexList::Insert(std::string_view key, const TIndex& index, int* at) {
  int place = 0;
  if (Find(key, &place)) {
    if (at) *at = place;
    return false;
  }
  InsertAt(place, key, index);
  if (at) *at = place;
  return true;
}

void TIndexList::InsertAt(int place, std::string_view key, const TIndex& index) {
  assert(place >= 0 && place <= count_);
  if (count_ >= qdb::kMaxEntries) throw EQDBListError(std::string(qdb_text::kOutOfBounds));
  if (blocks_.empty()) {
    blocks_.emplace_back();
    fences_.emplace_back();
    starts_.push_back(0);
  }
  // A key past the end goes into the last block; otherwise into the block that holds `place`.
  std::size_t b = place == count_ ? blocks_.size() - 1 : BlockOf(place);
  Block& block = blocks_[b];
  if (block.entries.empty() || key.substr(0, block.prefix.size()) != block.prefix)
    Repack(block, &key);
  const std::string_view tail = key.substr(block.prefix.size());
  const Slot slot = MakeSlot(tail, block.tails.size(), index);
  const auto local = static_cast<std::size_t>(place - starts_[b]);
  block.tails.append(tail);
  block.live += tail.size();
  block.entries.insert(block.entries.begin() + static_cast<std::ptrdiff_t>(local), slot);
  if (local + 1 == block.entries.size()) fences_[b] = std::string(key);
  ++count_;
  if (block.entries.size() > kMaxBlock) {
    Block upper;
    upper.prefix = block.prefix;
    upper.tails = block.tails;
    upper.entries.assign(block.entries.begin() + kMaxBlock / 2, block.entries.end());
    block.entries.resize(kMaxBlock / 2);
    for (Block* half : {&block, &upper}) {
      half->live = 0;
      for (const Slot& s : half->entries) half->live += s.size;
      Repack(*half, nullptr);
      half->entries.shrink_to_fit();
    }
    std::string lower_fence = FullKey(block, block.entries.back());
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(upper));
    fences_.insert(fences_.begin() + static_cast<std::ptrdiff_t>(b), std::move(lower_fence));
    starts_.push_back(0);
  }
  RebuildStarts(b);
}

void TIndexList::Erase(int at) {
  assert(at >= 0 && at < count_);
  const std::size_t b = BlockOf(at);
  Block& block = blocks_[b];
  const auto slot = block.entries.begin() + (at - starts_[b]);
  const bool last = slot + 1 == block.entries.end();
  block.live -= slot->size;
  block.entries.erase(slot);
  --count_;
  if (block.entries.empty()) {
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
    fences_.erase(fences_.begin() + static_cast<std::ptrdiff_t>(b));
    starts_.pop_back();
  } else {
    if (block.tails.size() > kRepackFloor && block.live * 2 < block.tails.size())
      Repack(block, nullptr);
    if (last) fences_[b] = FullKey(block, block.entries.back());
  }
  RebuildStarts(b);
}

std::string TIndexList::Key(int at) const {
  assert(at >= 0 && at < count_);
  const std::size_t b = BlockOf(at);
  const Block& block = blocks_[b];
  return FullKey(block, block.entries[static_cast<std::size_t>(at - starts_[b])]);
}

const TIndex& TIndexList::Entry(int at) const {
  assert(at >= 0 && at < count_);
  const std::size_t b = BlockOf(at);
  return blocks_[b].entries[static_cast<std::size_t>(at - starts_[b])].index;
}

void TIndexList::AssignSorted(std::vector<TIndexEntry> entries) {
  AssignSorted(entries.size(), [&entries](std::size_t i) {
    return TIndexEntryView{entries[i].key, entries[i].index};
  });
}

void TIndexList::AssignSorted(std::size_t count,
                              const std::function<TIndexEntryView(std::size_t)>& entry) {
  EmptyAndClear();
  if (count > static_cast<std::size_t>(qdb::kMaxEntries))
    throw EQDBListError(std::string(qdb_text::kOutOfBounds));
  // Blocks start half full so that the first insertions do not split at once.
  const std::size_t fill = kMaxBlock / 2;
  blocks_.reserve(count / fill + 1);
  fences_.reserve(count / fill + 1);
  starts_.reserve(count / fill + 1);
  for (std::size_t i = 0; i < count; i += fill) {
    const std::size_t end = std::min(count, i + fill);
    const std::string first(entry(i).key);
    std::size_t shared = first.size();
    std::size_t bytes = 0;
    for (std::size_t j = i; j < end; ++j) {
      const std::string_view key = entry(j).key;
      shared = std::min(shared, CommonLength(first, key));
      bytes += key.size();
    }
    Block block;
    block.prefix = first.substr(0, shared);
    block.tails.reserve(bytes - shared * (end - i));
    block.entries.reserve(end - i);
    for (std::size_t j = i; j < end; ++j) {
      const TIndexEntryView view = entry(j);
      const std::string_view tail = view.key.substr(shared);
      block.entries.push_back(MakeSlot(tail, block.tails.size(), view.index));
      block.tails.append(tail);
    }
    block.live = block.tails.size();
    fences_.push_back(FullKey(block, block.entries.back()));
    blocks_.push_back(std::move(block));
    starts_.push_back(0);
  }
  count_ = static_cast<int>(count);
  RebuildStarts(0);
}

void TIndexList::EmptyAndClear() {
  blocks_.clear();
  fences_.clear();
  starts_.clear();
  count_ = 0;
}

std::size_t TIndexList::BlockOf(int at) const {
  auto it = std::upper_bound(starts_.begin(), starts_.end(), at);
  return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

void TIndexList::RebuildStarts(std::size_t from) {
  int start = from == 0 ? 0 : starts_[from - 1] + static_cast<int>(blocks_[from - 1].entries.size());
  for (std::size_t b = from; b < blocks_.size(); ++b) {
    starts_[b] = start;
    start += static_cast<int>(blocks_[b].entries.size());
  }
}

}  // namespace ferrowyn
