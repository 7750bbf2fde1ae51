// The results list sorted by each column header.
#include "view/list_sorting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ferrowyn {
namespace {

using Strings = std::vector<std::string>;

class ListSortingTest : public ::testing::Test {
 protected:
  void Add(const char* url, const char* hits, const char* found) {
    list_.AppendRow(url, hits, found);
  }
  Strings Urls() const {
    Strings urls;
    for (int row = 0; row < list_.rowCount(); ++row) {
      urls.push_back(std::string(list_.Cell(row, 0)) + "|" + std::string(list_.Cell(row, 1)) + "|" +
                     std::string(list_.Cell(row, 2)));
    }
    return urls;
  }
  QueryListModel list_;
};

TEST_F(ListSortingTest, EachColumnSortsAscendingWithHitsHighestFirst) {
  Add("http://b/", "9", "fox");
  Add("http://A/", "12", "Cat | fox");
  Add("http://a/", "x", "All");
  Add("http://c/", "3", "cat");
  Add("http://C/", "9", "All");

  SortQueryList(list_, 1);
  // Numbers highest first, equal ones in their order, a row without a number last.
  EXPECT_EQ(Urls(), (Strings{"http://A/|12|Cat | fox", "http://b/|9|fox", "http://C/|9|All",
                             "http://c/|3|cat", "http://a/|x|All"}));

  SortQueryList(list_, 0);
  // ASCII letter case is ignored; rows that compare equal keep their order.
  EXPECT_EQ(Urls(), (Strings{"http://A/|12|Cat | fox", "http://a/|x|All", "http://b/|9|fox",
                             "http://C/|9|All", "http://c/|3|cat"}));

  SortQueryList(list_, 2);
  EXPECT_EQ(Urls(), (Strings{"http://a/|x|All", "http://C/|9|All", "http://c/|3|cat",
                             "http://A/|12|Cat | fox", "http://b/|9|fox"}));
  // A second click sorts the same way again rather than reversing.
  SortQueryList(list_, 2);
  EXPECT_EQ(Urls().front(), "http://a/|x|All");
}

TEST_F(ListSortingTest, AHeldRowFollowsTheSortAndCellsShowAsLatin1) {
  Add("http://b/", "1", "x");
  Add("http://\xE9/", "2", "y");
  Add("http://a/", "3", "z");
  const QPersistentModelIndex held = list_.index(1, 2);  // as a selection holds a row
  SortQueryList(list_, 0);
  EXPECT_EQ(Urls(), (Strings{"http://a/|3|z", "http://b/|1|x", "http://\xE9/|2|y"}));
  EXPECT_EQ(held.row(), 2);
  EXPECT_EQ(held.data().toString().toStdString(), "y");
  EXPECT_EQ(list_.index(2, 0).data().toString().toStdString(), "http://\xC3\xA9/");
}

}  // namespace
}  // namespace ferrowyn
