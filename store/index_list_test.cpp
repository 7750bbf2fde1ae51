// The blocked sorted key list against a std::map model, across many block splits and merges.
#include "store/index_list.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "store/key_collation.h"
#include "tests/support/test_seed.h"

namespace ferrowyn {
namespace {

struct FoldedLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return CompareKeys(a, b, false) < 0;
  }
};

TEST(TIndexList, MatchesAnOrderedMapUnderRandomInsertsAndErases) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(4711));
  TIndexList list;
  std::map<std::string, std::int32_t, FoldedLess> model;
  for (int step = 0; step < 12000; ++step) {
    // Few distinct letters and both cases make equal-under-fold keys common.
    std::string key;
    const int length = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < length; ++i) key += "aAbBcCdD"[rng() % 8];
    key += std::to_string(rng() % 400);
    if (step < 8000 || rng() % 2) {
      int at = -1;
      const bool inserted = list.Insert(key, TIndex{step, 1, 0}, &at);
      const bool expected = model.emplace(key, step).second;
      ASSERT_EQ(inserted, expected) << key;
      ASSERT_EQ(at, std::distance(model.begin(), model.find(key)));
    } else if (!model.empty()) {
      const int at = static_cast<int>(rng() % model.size());
      auto it = std::next(model.begin(), at);
      ASSERT_EQ(list.Key(at), it->first);
      list.Erase(at);
      model.erase(it);
    }
    ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
  }
  int position = 0;
  for (const auto& [key, value] : model) {
    ASSERT_EQ(list.Key(position), key);
    ASSERT_EQ(list.Entry(position).position, value);
    int found = -1;
    ASSERT_TRUE(list.Find(key, &found));
    ASSERT_EQ(found, position);
    ++position;
  }
  std::string descending;
  list.ForEachDescending([&](const TIndexEntry& e) { descending = e.key; });
  EXPECT_EQ(descending, model.begin()->first);  // the last one visited is the first key
}

TEST(TIndexList, FindGivesTheInsertionPointOfAMissingKey) {
  TIndexList list;
  std::vector<TIndexEntry> sorted;
  for (int i = 0; i < 2000; i += 2) {
    char key[8];
    std::snprintf(key, sizeof key, "k%05d", i);
    sorted.push_back({key, TIndex{i, 0, 0}});
  }
  list.AssignSorted(std::move(sorted));
  int at = -1;
  EXPECT_FALSE(list.Find("k00999", &at));
  EXPECT_EQ(at, 500);
  EXPECT_FALSE(list.Find("z", &at));
  EXPECT_EQ(at, 1000);
  EXPECT_TRUE(list.Find("K01998", &at));
  EXPECT_EQ(at, 999);
  TIndexList sensitive(true);
  sensitive.Insert("a", {});
  EXPECT_FALSE(sensitive.Find("A", &at));
  EXPECT_TRUE(sensitive.Insert("A", {}));
  EXPECT_EQ(sensitive.Key(0), "A");
}

}  // namespace
}  // namespace ferrowyn
