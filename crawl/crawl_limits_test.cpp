// The statistics labels as numbers: kilobytes cut to two decimals, the two download
// limits and the page counter.
#include "crawl/crawl_limits.h"

#include <gtest/gtest.h>

namespace ferrowyn {
namespace {

TEST(CrawlLimitsTest, KilobytesAreAddedAndCutNotRounded) {
  struct Case {
    std::string before;
    std::uint64_t bytes;
    std::string after;
  };
  const Case cases[] = {
      {"0", 1234, "1.23"},
      {"1.23", 1000, "2.23"},
      {"2.2", 50, "2.25"},
      {"0", 1999, "1.99"},
      {"0", 9, "0"},
      {"0", 10, "0.01"},
      {"0.99", 10, "1"},
      {"7", 0, "7"},
      {"12.5", 100, "12.6"},
      {"3.456", 0, "3.45"},
      {"0", 123456789, "123456.78"},
  };
  for (const Case& c : cases) {
    std::string bytestran = c.before;
    EXPECT_TRUE(CheckDownloadLimits(bytestran, "0", c.bytes, {}));
    EXPECT_EQ(bytestran, c.after) << c.before << " + " << c.bytes;
  }
}

TEST(CrawlLimitsTest, TheLimitIsComparedWithTheTotalAsShown) {
  const DownloadLimits kbytes{true, 50, false, 0};
  std::string bytestran = "49.99";
  EXPECT_TRUE(CheckDownloadLimits(bytestran, "3", 9, kbytes));  // 9 bytes add nothing shown
  EXPECT_EQ(bytestran, "49.99");
  EXPECT_FALSE(CheckDownloadLimits(bytestran, "3", 10, kbytes));
  EXPECT_EQ(bytestran, "50");

  // Switched off, the same total goes on.
  std::string off = "49.99";
  EXPECT_TRUE(CheckDownloadLimits(off, "3", 5000, {false, 50, false, 0}));

  // Files: the pages counted so far, not this one.
  const DownloadLimits files{false, 0, true, 5};
  std::string kb = "1";
  EXPECT_TRUE(CheckDownloadLimits(kb, "4", 1000, files));
  EXPECT_EQ(kb, "2");
  EXPECT_FALSE(CheckDownloadLimits(kb, "5", 1000, files));
  EXPECT_EQ(kb, "3");  // the refused page is counted in the kilobytes
}

TEST(CrawlLimitsTest, LabelsWithoutANumberNeverStopTheRun) {
  std::string live = "Live";
  EXPECT_TRUE(CheckDownloadLimits(live, "Live", 5000, {true, 1, true, 0}));
  EXPECT_EQ(live, "Live");
  for (const char* text : {"", ".", "1.2.3", "-1", "1e3", " 1"}) {
    std::string label = text;
    EXPECT_TRUE(CheckDownloadLimits(label, "x", 5000, {true, 0, false, 0})) << text;
    EXPECT_EQ(label, text);
  }

  std::string numproc = "41";
  CountPageLabel(numproc);
  EXPECT_EQ(numproc, "42");
  std::string odd = "Live";
  CountPageLabel(odd);
  EXPECT_EQ(odd, "Live");
}

}  // namespace
}  // namespace ferrowyn
