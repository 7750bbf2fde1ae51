// Key comparison of the record store (see key_collation.h).
#include "store/key_collation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/case_folding.h"

namespace ferrowyn {

unsigned char FoldKeyByte(unsigned char c) {
  return static_cast<unsigned char>(Latin1Lower(static_cast<char>(c)));
}

int CompareKeys(std::string_view a, std::string_view b, bool case_sensitive) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  if (case_sensitive) {
    const int r = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (r != 0) return r;
  } else {
    // Keys of one store share long prefixes ("DISPLAYXXhttp://..."): skip equal
    // bytes quickly and fold only where the raw bytes differ.
    std::size_t i = 0;
    while (i < n) {
      // Eight bytes at a time while they are equal.
      while (n - i >= 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) break;
        i += 8;
      }
      while (i < n && a[i] == b[i]) ++i;
      if (i == n) break;
      const int fx = FoldKeyByte(static_cast<unsigned char>(a[i]));
      const int fy = FoldKeyByte(static_cast<unsigned char>(b[i]));
      if (fx != fy) return fx - fy;
      ++i;
    }
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace ferrowyn
