// A slow, step-by-step transcription of the item block coder (see
// literal_coder.h): every position, item and control bit handled one at a time.
#include "tests/support/literal_coder.h"

#include <vector>

namespace ferrowyn::literal {
namespace {

constexpr std::size_t kPiece = 32768;

}  // namespace

std::string CompressPiece(std::string_view piece) {
  const std::size_t n = piece.size();
  auto in = [&](std::size_t i) -> std::uint32_t {
    // Bytes past the piece read as 0; they never change the outcome.
    return i < n ? static_cast<std::uint8_t>(piece[i]) : 0u;
  };
  std::vector<int> table(4096, -1);
  std::vector<std::uint8_t> out(n + 6, 0);
  out[0] = 0x40;
  std::size_t p = 1, w = 3, x = 0;
  std::uint32_t c = 0;
  int k = 0;
  while (x < n && w <= n) {
    if (k == 16) {
      out[p] = static_cast<std::uint8_t>(c >> 8);
      out[p + 1] = static_cast<std::uint8_t>(c);
      p = w;
      w += 2;
      k = 0;
    }
    std::size_t r = 1;
    while (r < 4095 && x + r < n && in(x + r) == in(x)) ++r;
    if (r >= 16) {
      out[w] = 0;
      out[w + 1] = static_cast<std::uint8_t>((r - 16) >> 8);
      out[w + 2] = static_cast<std::uint8_t>((r - 16) & 255);
      out[w + 3] = static_cast<std::uint8_t>(in(x));
      w += 4;
      x += r;
      c = (c * 2 + 1) & 0xFFFF;
    } else {
      const std::uint32_t h = ((((in(x)*16) ^ in(x + 1)) * 16 ^ in(x + 2)) * 40543u >> 4) & 4095;
      const int cand = table[h];
      table[h] = static_cast<int>(x);
      bool copied = false;
      if (cand != -1 && x - static_cast<std::size_t>(cand) < 4096) {
        std::size_t m = 0;
        while (m < 18 && x + m < n && in(x + m) == in(cand + m)) ++m;
        if (m >= 3) {
          const std::uint32_t v = static_cast<std::uint32_t>((x - cand) * 16 + (m - 3));
          out[w] = static_cast<std::uint8_t>(v >> 8);
          out[w + 1] = static_cast<std::uint8_t>(v);
          w += 2;
          x += m;
          c = (c * 2 + 1) & 0xFFFF;
          copied = true;
        }
      }
      if (!copied) {
        out[w] = static_cast<std::uint8_t>(in(x));
        w += 1;
        x += 1;
        c = (c * 2) & 0xFFFF;
      }
    }
    k += 1;
  }
  c = (c << (16 - k)) & 0xFFFF;
  out[p] = static_cast<std::uint8_t>(c >> 8);
  out[p + 1] = static_cast<std::uint8_t>(c);
  if (w > n) return std::string(1, '\x80') + std::string(piece);
  return std::string(reinterpret_cast<const char*>(out.data()), w);
}

std::optional<std::string> ExpandBody(std::string_view body) {
  const std::size_t b = body.size();
  if (b <= 1) return std::string();
  if (static_cast<std::uint8_t>(body[0]) == 0x80) {
    if (b - 1 > kPiece) return std::nullopt;
    return std::string(body.substr(1));
  }
  bool bad = false;
  auto at = [&](std::size_t i) -> std::uint32_t {
    if (i >= b) {
      bad = true;
      return 0;
    }
    return static_cast<std::uint8_t>(body[i]);
  };
  std::string out;
  std::size_t x = 3;
  std::uint32_t c = at(1) * 256 + at(2);
  int k = 16;
  while (!bad && x < b) {
    if (k == 0) {
      c = at(x) * 256 + at(x + 1);
      x += 2;
      k = 16;
    }
    if ((c & 0x8000) == 0) {
      out.push_back(static_cast<char>(at(x)));
      x += 1;
    } else {
      const std::uint32_t b0 = at(x), b1 = at(x + 1);
      const std::uint32_t offset = b0 * 16 + (b1 >> 4);
      if (offset != 0) {
        const std::size_t length = (b1 & 15) + 3;
        if (offset > out.size()) return std::nullopt;
        for (std::size_t i = 0; i < length; ++i) out.push_back(out[out.size() - offset]);
        x += 2;
      } else {
        const std::size_t length = b1 * 256 + at(x + 2) + 16;
        out.append(length, static_cast<char>(at(x + 3)));
        x += 4;
      }
    }
    if (out.size() > kPiece) return std::nullopt;
    c = (c << 1) & 0xFFFF;
    k -= 1;
  }
  if (bad) return std::nullopt;
  return out;
}

std::string CompressItem(std::string_view item) {
  std::string stored;
  for (std::size_t at = 0; at < item.size(); at += kPiece) {
    const std::string body = CompressPiece(item.substr(at, kPiece));
    stored.push_back(static_cast<char>(body.size() & 255));
    stored.push_back(static_cast<char>(body.size() >> 8));
    stored += body;
  }
  return stored;
}

std::optional<std::string> ExpandItem(std::string_view stored) {
  std::string item;
  std::size_t consumed = 0;
  while (consumed < stored.size()) {
    if (stored.size() - consumed < 2) return std::nullopt;
    const std::size_t b =
        static_cast<std::uint8_t>(stored[consumed]) +
        static_cast<std::size_t>(static_cast<std::uint8_t>(stored[consumed + 1])) * 256;
    if (b > stored.size() - consumed - 2) return std::nullopt;
    const auto piece = ExpandBody(stored.substr(consumed + 2, b));
    if (!piece) return std::nullopt;
    item += *piece;
    consumed += 2 + b;
  }
  return item;
}

}  // namespace ferrowyn::literal
