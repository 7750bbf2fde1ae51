// The item cache: the budget edge, least-recently-used eviction and the hit rate.
#include "store/item_cache.h"

#include <gtest/gtest.h>

#include <string>

namespace ferrowyn {
namespace {

TEST(TCacheList, CachesOnlyItemsShorterThanTheBudget) {
  TCacheList cache(1024);
  std::string out;
  cache.Offer("big", std::string(1024, 'x'));
  EXPECT_FALSE(cache.Lookup("big", &out));
  cache.Offer("fits", std::string(1023, 'y'));
  ASSERT_TRUE(cache.Lookup("fits", &out));
  EXPECT_EQ(out, std::string(1023, 'y'));
  TCacheList none(0);
  none.Offer("empty", "");
  EXPECT_FALSE(none.Lookup("empty", &out));
}

TEST(TCacheList, EvictsTheLeastRecentlyUsedUntilTheNewItemFits) {
  TCacheList cache(100);
  std::string out;
  cache.Offer("a", std::string(40, 'a'));
  cache.Offer("b", std::string(40, 'b'));
  ASSERT_TRUE(cache.Lookup("a", &out));  // "b" is now the oldest
  cache.Offer("c", std::string(30, 'c'));
  EXPECT_FALSE(cache.Lookup("b", &out));
  EXPECT_TRUE(cache.Lookup("a", &out));
  EXPECT_TRUE(cache.Lookup("c", &out));
  EXPECT_EQ(cache.CachedBytes(), 70);
  // Exactly at the budget is allowed: 70 + 30 = 100.
  cache.Offer("d", std::string(30, 'd'));
  EXPECT_EQ(cache.Entries(), 3u);
  cache.Remove("a");
  EXPECT_EQ(cache.CachedBytes(), 60);
}

TEST(TCacheList, FrequencyIsHitsOverLookupsRoundedHalfToEven) {
  TCacheList cache(1000);
  std::string out;
  EXPECT_EQ(cache.Frequency(), 0);
  // 1 insertion + 1 hit: 50 %.
  cache.Offer("k", "v");
  cache.Lookup("k", &out);
  EXPECT_EQ(cache.Frequency(), 50);
  // 8 insertions... build 1 hit in 8 lookups = 12.5 -> 12 (half to even).
  TCacheList eighth(1000);
  for (int i = 0; i < 7; ++i) eighth.Offer("k" + std::to_string(i), "v");
  eighth.Lookup("k0", &out);
  EXPECT_EQ(eighth.Frequency(), 12);
  // 3 hits in 8 lookups = 37.5 -> 38.
  eighth.ResetCounters();
  for (int i = 0; i < 5; ++i) eighth.Offer("n" + std::to_string(i), "v");
  for (int i = 0; i < 3; ++i) eighth.Lookup("k1", &out);
  EXPECT_EQ(eighth.Frequency(), 38);
  // A miss counts nothing; Clear resets.
  EXPECT_FALSE(eighth.Lookup("missing", &out));
  EXPECT_EQ(eighth.Frequency(), 38);
  eighth.Clear();
  EXPECT_EQ(eighth.Frequency(), 0);
  EXPECT_FALSE(eighth.Lookup("k1", &out));
}

}  // namespace
}  // namespace ferrowyn
