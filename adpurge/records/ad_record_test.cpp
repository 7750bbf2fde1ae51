// Ad records: the current layout byte for byte, the upgrade of every older format, and
// records that end before their counts.
#include "adpurge/records/ad_record.h"

#include <gtest/gtest.h>

#include "tests/support/adpurge/old_ad_records.h"

namespace adpurge {
namespace {

std::string Hex(std::string_view hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    out.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    i += 2;
  }
  return out;
}

// A format 3000 record laid out by hand: two part codes (1 and 0x80), one frame of one piece.
const std::string kCurrent =
    Hex("07000000 11000000 01000000 00400000 03000000 04000000 6100 00 12000000 34000000"
        " 7400 00 7800 7900 04030201 0500 0600 09000000 02 0180 01 aabb01cc 3412 ddee ff"
        " 01020304 01 00 0000 0200 0000 0000 0000 0000 0000 0000 0000 0a00 01 02000000 00");

TEST(AdRecordTest, CurrentLayoutReadsAndWritesByteForByte) {
  auto r = ReadAdRecord(kCurrent, 3000);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->ad_number, 7u);
  EXPECT_EQ(r->key, 0x11u);
  EXPECT_EQ(r->words[1], 0x4000u);
  EXPECT_EQ(r->names[0], "a");
  EXPECT_EQ(r->version_a, 0x12u);
  EXPECT_EQ(r->version_b, 0x34u);
  EXPECT_EQ(r->texts[3], "y");
  EXPECT_EQ(r->timing_word1, 0x01020304u);
  EXPECT_EQ(r->part_codes, (std::vector<std::uint8_t>{0x01, 0x80}));
  ASSERT_EQ(r->frames.size(), 1u);
  EXPECT_EQ(r->frames[0].Pieces(), 1);
  EXPECT_EQ(r->frames[0].narrow_blocks, Hex("ddee"));
  EXPECT_EQ(r->frames[0].wide_blocks, Hex("01020304"));
  EXPECT_EQ(r->a1, 1);
  EXPECT_EQ(r->a4(), 2);
  EXPECT_EQ(r->values[9], 10);
  EXPECT_EQ(r->list1, (std::vector<std::uint32_t>{2}));
  EXPECT_TRUE(r->list2.empty());
  EXPECT_EQ(WriteAdRecord(*r), kCurrent);

  std::uint32_t format_word = 0x55550000u | 3000u;
  std::string upgraded;
  EXPECT_FALSE(UpgradeAdRecord(kCurrent, &format_word, &upgraded));
  EXPECT_EQ(format_word, 0x55550000u | 3000u);
}

TEST(AdRecordTest, OlderFormatsUpgradeWithTheirDefaults) {
  const AdRecord base = *ReadAdRecord(kCurrent, 3000);
  struct Case {
    std::uint16_t format;
    std::uint32_t stored_word;  // what the older layout holds in words[1]
    std::uint32_t word;         // what the current layout holds
    bool has_timing;
    bool has_ten_values;
    bool default_lists;  // {2} and {0}; otherwise both empty
  };
  const Case cases[] = {
      {1, 3, 1u << 14, false, false, true},
      {1000, 20, 1u << 29, false, false, true},  // 17 - 20 wraps to a shift of 29
      {2000, 0x4000, 0x4000, true, true, true},
      {2500, 0x4000, 0x4000, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    AdRecord old = base;
    old.words[1] = c.stored_word;
    AdRecord expected = base;
    expected.words[1] = c.word;
    if (!c.has_timing) {
      expected.timing_word1 = expected.timing_word2 = 0;
      expected.timing_value1 = expected.timing_value2 = 0;
    }
    if (!c.has_ten_values) {
      for (int i = 6; i < 10; ++i) expected.values[i] = 0;
    }
    expected.list1 = c.default_lists ? std::vector<std::uint32_t>{2} : std::vector<std::uint32_t>{};
    expected.list2 = c.default_lists ? std::vector<std::uint32_t>{0} : std::vector<std::uint32_t>{};

    std::uint32_t format_word = 0xABCD0000u | c.format;
    std::string upgraded;
    ASSERT_TRUE(UpgradeAdRecord(testing::AdRecordBytes(old, c.format), &format_word, &upgraded));
    EXPECT_EQ(format_word, 0xABCD0000u | 3000u);
    EXPECT_EQ(upgraded, testing::AdRecordBytes(expected, 3000));
  }
}

TEST(AdRecordTest, RecordEndingBeforeItsCountsIsNotRead) {
  const std::string early = testing::AdRecordBytes(*ReadAdRecord(kCurrent, 3000), 1);
  for (std::size_t size = 0; size < kCurrent.size(); ++size) {
    EXPECT_FALSE(ReadAdRecord(std::string_view(kCurrent).substr(0, size), 3000)) << size;
  }
  for (std::size_t size = 0; size < early.size(); ++size) {
    std::uint32_t format_word = 1;
    std::string upgraded;
    EXPECT_FALSE(UpgradeAdRecord(std::string_view(early).substr(0, size), &format_word, &upgraded));
    EXPECT_EQ(format_word, 1u);
  }
}

}  // namespace
}  // namespace adpurge
