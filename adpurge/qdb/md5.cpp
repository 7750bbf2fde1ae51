// MD5 as RFC 1321 describes it: 64-byte blocks, four rounds of sixteen steps.
#include "adpurge/qdb/md5.h"

#include <bit>
#include <cstring>

namespace adpurge::qdb {
namespace {

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

}  // namespace

Md5::Md5() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void Md5::Block(const uint8_t* block) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i)
    x[i] = uint32_t{block[4 * i]} | uint32_t{block[4 * i + 1]} << 8 |
           uint32_t{block[4 * i + 2]} << 16 | uint32_t{block[4 * i + 3]} << 24;
  uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  for (int i = 0; i < 64; ++i) {
    const int round = i / 16;
    uint32_t f;
    int k;
    switch (round) {
      case 0:
        f = (b & c) | (~b & d);
        k = i;
        break;
      case 1:
        f = (b & d) | (c & ~d);
        k = (1 + 5 * i) % 16;
        break;
      case 2:
        f = b ^ c ^ d;
        k = (5 + 3 * i) % 16;
        break;
      default:
        f = c ^ (b | ~d);
        k = (7 * i) % 16;
        break;
    }
    const uint32_t rotated = std::rotl(a + f + kSine[i] + x[k], kShift[round][i % 4]);
    a = d;
    d = c;
    c = b;
    b = b + rotated;
  }
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
}

void Md5::Update(std::span<const uint8_t> bytes) {
  size_t used = length_ % 64;
  length_ += bytes.size();
  size_t pos = 0;
  if (used > 0) {
    const size_t take = std::min(bytes.size(), 64 - used);
    std::memcpy(buffer_.data() + used, bytes.data(), take);
    pos = take;
    if (used + take < 64) return;
    Block(buffer_.data());
  }
  for (; pos + 64 <= bytes.size(); pos += 64) Block(bytes.data() + pos);
  if (pos < bytes.size()) std::memcpy(buffer_.data(), bytes.data() + pos, bytes.size() - pos);
}

Md5Digest Md5::Final() {
  const uint64_t bits = length_ * 8;
  const uint8_t one = 0x80;
  Update({&one, 1});
  const uint8_t zero = 0;
  while (length_ % 64 != 56) Update({&zero, 1});
  uint8_t tail[8];
  for (int i = 0; i < 8; ++i) tail[i] = static_cast<uint8_t>(bits >> (8 * i));
  Update(tail);
  Md5Digest out;
  for (int i = 0; i < 16; ++i) out[i] = static_cast<uint8_t>(state_[i / 4] >> (8 * (i % 4)));
  return out;
}

Md5Digest Md5Of(std::span<const uint8_t> bytes) {
  Md5 md5;
  md5.Update(bytes);
  return md5.Final();
}

}  // namespace adpurge::qdb
