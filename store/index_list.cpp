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
}  // namespace

void TIndexList::SetCaseSensitive(bool on) {
  assert(count_ == 0);
  case_sensitive_ = on;
}

bool TIndexList::Find(std::string_view key, int* at) const {
  // First block whose last key is not below `key`.
  auto block = std::partition_point(blocks_.begin(), blocks_.end(), [&](const auto& b) {
    return CompareKeys(b.back().key, key, case_sensitive_) < 0;
  });
  if (block == blocks_.end()) {
    *at = count_;
    return false;
  }
  auto entry = std::partition_point(block->begin(), block->end(), [&](const TIndexEntry& e) {
    return CompareKeys(e.key, key, case_sensitive_) < 0;
  });
  const auto b = static_cast<std::size_t>(block - blocks_.begin());
  *at = starts_[b] + static_cast<int>(entry - block->begin());
  return CompareKeys(entry->key, key, case_sensitive_) == 0;
}

bool TIndexList::Insert(std::string key, const TIndex& index, int* at) {
  int place = 0;
  if (Find(key, &place)) {
    if (at) *at = place;
    return false;
  }
  InsertAt(place, std::move(key), index);
  if (at) *at = place;
  return true;
}

void TIndexList::InsertAt(int place, std::string key, const TIndex& index) {
  assert(place >= 0 && place <= count_);
  if (count_ >= qdb::kMaxEntries) throw EQDBListError(std::string(qdb_text::kOutOfBounds));
  if (blocks_.empty()) {
    blocks_.emplace_back();
    starts_.push_back(0);
  }
  // A key past the end goes into the last block; otherwise into the block that holds `place`.
  std::size_t b = place == count_ ? blocks_.size() - 1 : BlockOf(place);
  auto& block = blocks_[b];
  block.insert(block.begin() + (place - starts_[b]), TIndexEntry{std::move(key), index});
  ++count_;
  if (block.size() > kMaxBlock) {
    std::vector<TIndexEntry> upper(std::make_move_iterator(block.begin() + kMaxBlock / 2),
                                   std::make_move_iterator(block.end()));
    block.resize(kMaxBlock / 2);
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(upper));
    starts_.push_back(0);
  }
  RebuildStarts(b);
}

void TIndexList::Erase(int at) {
  assert(at >= 0 && at < count_);
  const std::size_t b = BlockOf(at);
  auto& block = blocks_[b];
  block.erase(block.begin() + (at - starts_[b]));
  --count_;
  if (block.empty()) {
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
    starts_.pop_back();
  }
  RebuildStarts(b);
}

void TIndexList::AssignSorted(std::vector<TIndexEntry> entries) {
  EmptyAndClear();
  if (entries.size() > static_cast<std::size_t>(qdb::kMaxEntries))
    throw EQDBListError(std::string(qdb_text::kOutOfBounds));
  // Blocks start half full so that the first insertions do not split at once.
  const std::size_t fill = kMaxBlock / 2;
  for (std::size_t i = 0; i < entries.size(); i += fill) {
    const std::size_t end = std::min(entries.size(), i + fill);
    blocks_.emplace_back(
        std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(i)),
        std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(end)));
    starts_.push_back(0);
  }
  count_ = static_cast<int>(entries.size());
  RebuildStarts(0);
}

void TIndexList::EmptyAndClear() {
  blocks_.clear();
  starts_.clear();
  count_ = 0;
}

const TIndexEntry& TIndexList::Locate(int at) const {
  assert(at >= 0 && at < count_);
  const std::size_t b = BlockOf(at);
  return blocks_[b][static_cast<std::size_t>(at - starts_[b])];
}

std::size_t TIndexList::BlockOf(int at) const {
  auto it = std::upper_bound(starts_.begin(), starts_.end(), at);
  return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

void TIndexList::RebuildStarts(std::size_t from) {
  int start = from == 0 ? 0 : starts_[from - 1] + static_cast<int>(blocks_[from - 1].size());
  for (std::size_t b = from; b < blocks_.size(); ++b) {
    starts_[b] = start;
    start += static_cast<int>(blocks_[b].size());
  }
}

}  // namespace ferrowyn
