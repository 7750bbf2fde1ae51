// The slot text cut to the view's width.
#include "base/slot_status.h"

#include <gtest/gtest.h>

namespace ferrowyn {
namespace {

TEST(SlotStatusTest, SlotTextIsCutToTheViewWidthWithAnEllipsis) {
  const std::string fits(85, 'a');
  EXPECT_EQ(FitSlotStatus(fits, FixedTextWidth), fits);
  EXPECT_EQ(FitSlotStatus(fits + "bc", FixedTextWidth), fits + "...");
  EXPECT_EQ(FitSlotStatus("", FixedTextWidth), "");
  // A measure in which nothing fits leaves only the ellipsis.
  EXPECT_EQ(FitSlotStatus("abc", [](std::string_view) { return 600; }), "...");
  // Wide characters count by the measure, not by their number.
  auto wide_w = [](std::string_view text) {
    int width = 0;
    for (char c : text) width += c == 'W' ? 100 : 1;
    return width;
  };
  EXPECT_EQ(FitSlotStatus("WWWWWWabc", wide_w), "WWWWW...");
}

}  // namespace
}  // namespace ferrowyn
