// MD5 message digest (RFC 1321), used for the queue database files' header digests.
// Pure computation: no allocation beyond the object, safe on any thread, never throws.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace adpurge::qdb {

using Md5Digest = std::array<uint8_t, 16>;

// Incremental digest: Update any number of times, then Final once.
class Md5 {
 public:
  Md5();
  void Update(std::span<const uint8_t> bytes);
  Md5Digest Final();

 private:
  void Block(const uint8_t* block);

  std::array<uint32_t, 4> state_;
  std::array<uint8_t, 64> buffer_{};
  uint64_t length_ = 0;  // bytes seen so far
};

Md5Digest Md5Of(std::span<const uint8_t> bytes);

}  // namespace adpurge::qdb
