// Texts kept back to back in a few large blocks that never move: a long list of short
// texts (result rows, a site's URLs) costs little more than its bytes, with no allocation
// of its own per text and no copying as the list grows.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace ferrowyn {

// One owner at a time; a kept text's view stays good until Clear or destruction.
class ByteBlocks {
 public:
  // A copy of the parts, back to back, that stays where it is (null when all are empty).
  const char* Keep(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts) size += part.size();
    if (size == 0) return nullptr;
    char* const room = Room(size);
    char* at = room;
    for (const std::string_view part : parts) {
      if (!part.empty()) std::memcpy(at, part.data(), part.size());
      at += part.size();
    }
    return room;
  }
  // A copy of `text` that stays where it is.
  std::string_view Keep(std::string_view text) { return {Keep({text}), text.size()}; }
  // Frees every block.
  void Clear() {
    std::vector<std::unique_ptr<char[]>>().swap(blocks_);
    used_ = size_ = 0;
  }

 private:
  static constexpr std::size_t kBlockSize = 64 * 1024;

  // Room for `size` bytes at the end of the last block, or in a new one (of its own when
  // larger than a block).
  char* Room(std::size_t size) {
    if (blocks_.empty() || size_ - used_ < size) {
      const std::size_t block = std::max(size, kBlockSize);
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(block));
      size_ = block;
      used_ = 0;
    }
    char* const room = blocks_.back().get() + used_;
    used_ += size;
    return room;
  }

  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t used_ = 0, size_ = 0;  // of blocks_.back()
};

}  // namespace ferrowyn
