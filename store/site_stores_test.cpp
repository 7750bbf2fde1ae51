// Starting the scratch stores of a retrieval and counting the pages of a store, on real
// record stores in a temporary directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "store/record_store.h"
#include "store/site_layout.h"
#include "tests/support/qdb_test_files.h"

namespace ferrowyn {
namespace {

class SiteStoresTest : public ::testing::Test {
 protected:
  void SetUp() override { TQDB::SetTempDirectory(work_.path()); }
  void TearDown() override { TQDB::SetTempDirectory(""); }

  testing::ScratchDir dir_;
  testing::ScratchDir work_;
};

TEST_F(SiteStoresTest, NewScratchStoresAreEmptyWithTheirBudgets) {
  const std::filesystem::path data = std::filesystem::path(dir_.path()) / "data";
  TQDB site, urls;
  site.SetCompression(true);
  urls.SetCompression(true);

  // A saved site is open: starting over writes it back, then leaves it alone.
  site.SetFileName(dir_.File("saved.fwb"));
  site.AddItem("page", DisplayKey("http://host/"));
  StartNewStores(site, urls, data, 5);
  EXPECT_TRUE(std::filesystem::is_directory(data));
  EXPECT_EQ(site.FileName(), (data / "temp.fwt").string());
  EXPECT_EQ(urls.FileName(), (data / "url.fwt").string());
  EXPECT_EQ(site.Count(), 0);
  EXPECT_EQ(urls.Count(), 0);
  EXPECT_EQ(site.CacheSize(), 5 * 1024);
  EXPECT_EQ(urls.CacheSize(), 1024);
  {
    TQDB saved;
    saved.SetFileName(dir_.File("saved.fwb"));
    EXPECT_EQ(saved.Count(), 1);
  }

  // The scratch files of the previous retrieval are not carried over, and a site opened
  // read-only does not make the next retrieval's store refuse its pages.
  site.AddItem("d", DisplayKey("http://host/a.htm"));
  site.AddItem("q", QueryKey("http://host/a.htm"));
  urls.AddItem("", "http://host/a.htm");
  site.SetReadOnly(true);
  StartNewStores(site, urls, data, 0);
  EXPECT_FALSE(site.ReadOnly());
  EXPECT_EQ(site.Count(), 0);
  EXPECT_EQ(urls.Count(), 0);
  EXPECT_EQ(site.CacheSize(), 0);
  EXPECT_FALSE(urls.KeyExists("http://host/a.htm"));
}

TEST_F(SiteStoresTest, PageCountOfAStore) {
  TQDB site;
  site.SetFileName(dir_.File("site.fwt"));
  EXPECT_EQ(StoredPageCount(site), 0);
  for (const char* url : {"http://host/", "http://host/a.htm"}) {
    site.AddItem("d\r\n", DisplayKey(url));
    site.AddItem("q\r\n", QueryKey(url));
  }
  EXPECT_EQ(StoredPageCount(site), 2);
  site.AddItem(WriteWebList({}), std::string(kWebListKey));
  site.AddItem(WriteEmail({}), std::string(kEmailKey));
  site.AddItem(WriteWebMap({}), std::string(kWebMapKey));
  EXPECT_EQ(site.Count(), 7);
  EXPECT_EQ(StoredPageCount(site), 2);
}

}  // namespace
}  // namespace ferrowyn
