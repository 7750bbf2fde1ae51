// Table formats as the page printer reads them: alignment signs, widths, and refusals.
#include "view/table_format.h"

#include <gtest/gtest.h>

namespace ferrowyn {
namespace {

TEST(TableFormat, ReadsSignsAndWidthsAndRefusesAnythingElse) {
  using A = CellAlignment;
  EXPECT_EQ(ReadTableFormat("<4|<1|<3"),
            (std::vector<TableColumn>{{A::kLeft, 4}, {A::kLeft, 1}, {A::kLeft, 3}}));
  EXPECT_EQ(ReadTableFormat(" >1.5 | ^.75|2"),
            (std::vector<TableColumn>{{A::kRight, 1.5}, {A::kCentre, 0.75}, {A::kLeft, 2}}));
  for (const char* bad : {"", "<", "4|", "<0", "<-1", "<1.2.3", "<4|wide", "<<4", "<2000"})
    EXPECT_EQ(ReadTableFormat(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace ferrowyn
