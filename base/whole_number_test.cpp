// The one decimal reader: which texts it takes, with and without a sign, at the edges of
// the range and of the 64-bit integers.
#include "base/whole_number.h"

#include <gtest/gtest.h>

#include <limits>

namespace ferrowyn {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

TEST(WholeNumberTest, TakesOnlyDigitsAfterAtMostOneSign) {
  EXPECT_EQ(ReadDecimal("0042", Signs::kNone, 0, 100), 42);
  EXPECT_EQ(ReadDecimal("+7", Signs::kPlusOrMinus, kMin, kMax), 7);
  EXPECT_EQ(ReadDecimal("-7", Signs::kPlusOrMinus, kMin, kMax), -7);
  for (const char* text : {"", "+", "-", " 1", "1 ", "1.5", "0x10", "+-5", "--5", "1e3", "\xB2"}) {
    EXPECT_EQ(ReadDecimal(text, Signs::kPlusOrMinus, kMin, kMax), std::nullopt) << text;
  }
  EXPECT_EQ(ReadDecimal("+7", Signs::kNone, kMin, kMax), std::nullopt);
  EXPECT_EQ(ReadDecimal("-0", Signs::kNone, kMin, kMax), std::nullopt);
}

TEST(WholeNumberTest, ValuesOutsideTheRangeOrTheIntegersAreUnreadable) {
  EXPECT_EQ(ReadDecimal("65535", Signs::kNone, 0, 65535), 65535);
  EXPECT_EQ(ReadDecimal("65536", Signs::kNone, 0, 65535), std::nullopt);
  EXPECT_EQ(ReadDecimal("-1", Signs::kPlusOrMinus, 0, 10), std::nullopt);
  EXPECT_EQ(ReadDecimal("9223372036854775807", Signs::kNone, kMin, kMax), kMax);
  EXPECT_EQ(ReadDecimal("-9223372036854775808", Signs::kPlusOrMinus, kMin, kMax), kMin);
  EXPECT_EQ(ReadDecimal("9223372036854775808", Signs::kNone, kMin, kMax), std::nullopt);
  EXPECT_EQ(ReadDecimal("-9223372036854775809", Signs::kPlusOrMinus, kMin, kMax), std::nullopt);
  EXPECT_EQ(ReadDecimal("184467440737095516160", Signs::kNone, kMin, kMax), std::nullopt);

  EXPECT_EQ(ReadWholeNumber("-2147483648"), std::numeric_limits<int>::min());
  EXPECT_EQ(ReadWholeNumber("+2147483647"), std::numeric_limits<int>::max());
  EXPECT_EQ(ReadWholeNumber("2147483648"), std::nullopt);
}

}  // namespace
}  // namespace ferrowyn
