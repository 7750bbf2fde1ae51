// The elapsed-time clock's text arithmetic.
#include "app/elapsed_clock.h"

#include <gtest/gtest.h>

namespace ferrowyn {
namespace {

TEST(ElapsedClockTest, AddsOneSecondWithCarries) {
  const std::pair<const char*, const char*> cases[] = {
      {"00:00:00", "00:00:01"}, {"00:00:59", "00:01:00"},  {"00:59:59", "01:00:00"},
      {"09:09:09", "09:09:10"}, {"99:59:59", "100:00:00"}, {"123:04:05", "123:04:06"},
      {"0:0:0", "00:00:01"},    {"1:2:3", "01:02:04"},     {"00:00:75", "00:01:00"},
  };
  for (const auto& [before, after] : cases) {
    EXPECT_EQ(AdvanceElapsedClock(before), std::optional<std::string>(after)) << before;
  }
}

TEST(ElapsedClockTest, TextThatIsNotThreeNumbersStays) {
  for (const char* text : {"", "Live", "00:00", "00:00:00:00", "a:b:c", "00::00", "-1:00:00",
                           " 1:00:00", "01:00:0x", "2147483647:59:59"}) {
    EXPECT_EQ(AdvanceElapsedClock(text), std::nullopt) << text;
  }
}

}  // namespace
}  // namespace ferrowyn
