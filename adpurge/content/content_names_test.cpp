// Content file names in the client's printf forms.
#include "adpurge/content/content_names.h"

#include <gtest/gtest.h>

namespace adpurge {
namespace {

TEST(ContentNamesTest, NamesFollowTheClientsForms) {
  EXPECT_EQ(ContentFolder("C:\\Ads", 42), "C:\\Ads\\42");
  EXPECT_EQ(ContentFolder("C:\\Ads", 0xFFFFFFFEu), "C:\\Ads\\-2");
  EXPECT_EQ(FrameFileName("C:\\Ads", 42, 1, 0x5), "C:\\Ads\\42\\01.005");
  EXPECT_EQ(FrameFileName("C:\\Ads", 42, 0x1AB, 0x1234), "C:\\Ads\\42\\1ab.1234");
  EXPECT_EQ(PieceFileName("C:\\Ads", 42, 0x03, 2, 1, 0x7), "C:\\Ads\\42\\03020001.007");
  EXPECT_EQ(PieceFileName("C:\\Ads", 42, 0x80, 1, 0x12345, 0xABCD),
            "C:\\Ads\\42\\ffffff800112345.abcd");
  EXPECT_EQ(ReferenceFileName("C:\\Ads", 42), "C:\\Ads\\42\\rc");
}

}  // namespace
}  // namespace adpurge
