// The fixed key order: which bytes fold, and that order is by folded unsigned bytes.
#include "store/key_collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace ferrowyn {
namespace {

TEST(KeyCollation, FoldsAsciiAndLatin1CapitalsOnly) {
  for (int c = 0; c < 256; ++c) {
    const bool capital = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
    EXPECT_EQ(FoldKeyByte(static_cast<unsigned char>(c)), capital ? c + 32 : c) << c;
  }
}

TEST(KeyCollation, EqualUnderFoldIsTheSameKey) {
  EXPECT_EQ(CompareKeys("DISPLAYXXhttp://A.COM/", "displayxxhttp://a.com/", false), 0);
  EXPECT_EQ(CompareKeys("\xC9t\xC9", "\xE9t\xE9", false), 0);  // É and é
  EXPECT_NE(CompareKeys("\xD7", "\xF7", false), 0);            // × and ÷ are not a pair
  EXPECT_NE(CompareKeys("A", "a", true), 0);
}

TEST(KeyCollation, OrdersByFoldedUnsignedBytesThenLength) {
  // '_' (0x5F) lies between the capitals and the small letters: folded, it sorts before 'a'.
  EXPECT_LT(CompareKeys("_", "a", false), 0);
  EXPECT_GT(CompareKeys("_", "A", true), 0);  // raw: 0x5F > 0x41
  EXPECT_LT(CompareKeys("z", "\x80", false), 0);
  EXPECT_LT(CompareKeys("ab", "abc", false), 0);
  EXPECT_LT(CompareKeys("", "a", false), 0);
  EXPECT_GT(CompareKeys("b", "ABC", false), 0);
}

TEST(KeyCollation, LongKeysCompareAsTheirFoldedBytesOneByOne) {
  // Keys that share prefixes of every length, then differ in a byte, its case, or length.
  std::mt19937 rng(20261210);
  const std::string base = "QUERYXXhttp://Host.example/Dir/Page-" + std::string(40, 'x');
  for (int round = 0; round < 20000; ++round) {
    std::string a = base.substr(0, rng() % base.size());
    std::string b = a;
    for (std::string* key : {&a, &b}) {
      for (std::size_t k = rng() % 4; k > 0; --k) (*key) += "aAbB\xC9\xE9_"[rng() % 7];
    }
    if (rng() % 3 == 0 && !b.empty()) b[rng() % b.size()] ^= 0x20;
    int expected = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()) && expected == 0; ++i) {
      expected = FoldKeyByte(static_cast<unsigned char>(a[i])) -
                 FoldKeyByte(static_cast<unsigned char>(b[i]));
    }
    if (expected == 0) expected = a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
    const int got = CompareKeys(a, b, false);
    ASSERT_EQ((got > 0) - (got < 0), (expected > 0) - (expected < 0)) << a << " / " << b;
  }
}

}  // namespace
}  // namespace ferrowyn
