// QueueLinks on a real URL store: repeats and index pages, the order in which rejected
// links reach the site map, the level limit, the scope, the key cut, stops and store
// failures.
#include "crawl/link_queue.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <string>
#include <vector>

#include "store/record_store.h"
#include "tests/support/qdb_test_files.h"

namespace ferrowyn {
namespace {

using Links = std::vector<std::string>;

class QueueLinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TQDB::SetTempDirectory(work_.path());
    urldb_.SetCompression(true);
    urldb_.SetFileName(dir_.File("url.fwt"));
  }
  void TearDown() override {
    urldb_.SetFileName("");
    TQDB::SetTempDirectory("");
  }

  // Queues one page's candidates; the rejected links of the call land in rejected_.
  QueueLinksResult Queue(const Links& candidates, SiteMapNode node = 7, int depth = 0) {
    rejected_.clear();
    return QueueLinks(
        candidates, {node, depth}, origin_, levels_, urldb_, queue_,
        [&](const std::string& link) { rejected_.push_back(link); }, stop_);
  }

  Links QueuedUrls() const {
    Links urls;
    for (const QueuedUrl& q : queue_) urls.push_back(q.Url);
    return urls;
  }

  testing::ScratchDir dir_;
  testing::ScratchDir work_;
  TQDB urldb_;
  CrawlOrigin origin_ = MakeCrawlOrigin("http://host/", "None", "");
  LevelLimit levels_;
  UrlQueue queue_;
  Links rejected_;
  std::function<bool()> stop_;
};

TEST_F(QueueLinksTest, StartUrlRecordAndRepeatsOfIt) {
  AddStartUrl(urldb_, "http://host/");
  AddStartUrl(urldb_, "HTTP://HOST/");  // already there: ignored
  ASSERT_TRUE(urldb_.FindKey("http://host/"));
  EXPECT_EQ(urldb_.GetItem(), "URL\r\n");
  EXPECT_EQ(urldb_.Count(), 1);

  // "http://host" is also tested with "/" appended.
  const QueueLinksResult r = Queue({"http://host", "http://host/a.htm", "http://HOST/A.HTM"});
  EXPECT_FALSE(r.DbError);
  EXPECT_EQ(r.QueuedCount, 1);
  EXPECT_EQ(queue_, (UrlQueue{{"http://host/a.htm", 7}}));
  EXPECT_EQ(rejected_, (Links{"http://host", "http://HOST/A.HTM"}));
  ASSERT_TRUE(urldb_.FindKey("http://host/a.htm"));
  EXPECT_EQ(urldb_.GetItem(), "");
}

TEST_F(QueueLinksTest, DirectoryAndIndexPageAreOnePage) {
  Queue({"http://host/docs/"});
  EXPECT_EQ(QueuedUrls(), Links{"http://host/docs/"});
  // Tested as http://host/docs and http://host/docs/; then with "/" appended.
  Queue({"http://host/docs/index.htm", "http://host/docs", "http://host/docs/INDEX.HTML"});
  EXPECT_EQ(rejected_, (Links{"http://host/docs/index.htm", "http://host/docs",
                              "http://host/docs/INDEX.HTML"}));
  EXPECT_EQ(queue_.size(), 1u);

  // An index page is queued as found but recorded as its directory without the "/".
  Queue({"http://host/news/index.html", "http://host/news/"}, 9);
  EXPECT_EQ(queue_.back(), (QueuedUrl{"http://host/news/index.html", 9}));
  EXPECT_EQ(rejected_, Links{"http://host/news/"});
  EXPECT_TRUE(urldb_.KeyExists("http://host/news"));
  EXPECT_FALSE(urldb_.KeyExists("http://host/news/index.html"));

  // The scheme is kept: an https index page folds into its https directory, and an
  // https page is another key than the http page of the same path.
  Queue({"http://host/a.htm", "https://host/news/index.html", "https://host/news/",
         "https://host/a.htm"},
        9);
  EXPECT_EQ(rejected_, Links{"https://host/news/"});
  EXPECT_TRUE(urldb_.KeyExists("https://host/news"));
  EXPECT_TRUE(urldb_.KeyExists("https://host/a.htm"));

  // A page whose name only holds "index.htm" is a page of its own.
  Queue({"http://host/news/bookindex.html", "http://host/news/sql-createindex.html"});
  EXPECT_TRUE(rejected_.empty());
  EXPECT_TRUE(urldb_.KeyExists("http://host/news/bookindex.html"));
  EXPECT_TRUE(urldb_.KeyExists("http://host/news/sql-createindex.html"));

  // A name with an extension or arguments is not also tested as a directory.
  Queue({"http://host/a/b.htm", "http://host/c?x=1", "http://host/c"});
  EXPECT_TRUE(rejected_.empty());
  // A link ending in "/" is also tested without it.
  Queue({"http://host/a/b.htm/"});
  EXPECT_EQ(rejected_, Links{"http://host/a/b.htm/"});
  // A directory link written without "/" finds the one written with it.
  Queue({"http://host/e/", "http://host/e"});
  EXPECT_EQ(rejected_, Links{"http://host/e"});
}

TEST_F(QueueLinksTest, RepeatsFirstThenTooDeepOrOutOfScope) {
  origin_ = MakeCrawlOrigin("http://www.example.com/", "Server", "");
  Queue({"http://www.example.com/seen.htm"});
  queue_.clear();

  const QueueLinksResult r =
      Queue({"http://www.example.com/seen.htm", "http://WWW.EXAMPLE.COM/x.htm",
             "http://www.example.com/new1.htm", "http://www.example.com/seen.htm/",
             "http://www.example.com:8080/new2.htm"},
            42);
  EXPECT_EQ(r.QueuedCount, 2);
  EXPECT_EQ(queue_, (UrlQueue{{"http://www.example.com/new1.htm", 42},
                              {"http://www.example.com:8080/new2.htm", 42}}));
  EXPECT_EQ(rejected_, (Links{"http://www.example.com/seen.htm", "http://www.example.com/seen.htm/",
                              "http://WWW.EXAMPLE.COM/x.htm"}));

  // The out-of-scope link was recorded: another page's link to it is a repeat.
  EXPECT_TRUE(urldb_.KeyExists("http://WWW.EXAMPLE.COM/x.htm"));
  Queue({"http://WWW.EXAMPLE.COM/x.htm"});
  EXPECT_EQ(rejected_, Links{"http://WWW.EXAMPLE.COM/x.htm"});
}

TEST_F(QueueLinksTest, DirectoryScopeOnTheStore) {
  origin_ = MakeCrawlOrigin("http://host/docs/intro.htm", "Directory", "");
  Queue({"http://host/docs/a/b.htm", "http://host/docs", "http://host/other.htm"});
  EXPECT_EQ(QueuedUrls(), (Links{"http://host/docs/a/b.htm", "http://host/docs"}));
  EXPECT_EQ(rejected_, Links{"http://host/other.htm"});
}

TEST_F(QueueLinksTest, LevelLimit) {
  levels_ = {true, 1};
  EXPECT_EQ(Queue({"http://host/a.htm"}, 1, 0).QueuedCount, 1);
  EXPECT_EQ(Queue({"http://host/b.htm", "http://host/a.htm"}, 2, 1).QueuedCount, 0);
  // Repeats reach the site map before the links that are too deep.
  EXPECT_EQ(rejected_, (Links{"http://host/a.htm", "http://host/b.htm"}));
  EXPECT_TRUE(urldb_.KeyExists("http://host/b.htm"));

  levels_ = {true, 0};
  EXPECT_EQ(Queue({"http://host/c.htm"}, 1, 0).QueuedCount, 0);
  levels_ = {true, -1};
  EXPECT_EQ(Queue({"http://host/d.htm"}, 1, 0).QueuedCount, 0);
  levels_ = {false, 0};
  EXPECT_EQ(Queue({"http://host/e.htm"}, 1, 50).QueuedCount, 1);
  EXPECT_EQ(QueuedUrls(), (Links{"http://host/a.htm", "http://host/e.htm"}));
}

TEST_F(QueueLinksTest, KeysAreCutTo255Characters) {
  const std::string stem = "http://host/" + std::string(260, 'a');
  Queue({stem + "1.htm", stem + "2.htm"});
  EXPECT_EQ(QueuedUrls(), Links{stem + "1.htm"});
  EXPECT_EQ(rejected_, Links{stem + "2.htm"});
  EXPECT_TRUE(urldb_.KeyExists(stem.substr(0, 255)));
  EXPECT_EQ(urldb_.Count(), 1);
}

TEST_F(QueueLinksTest, StopLeavesTheRestUnqueued) {
  int calls = 0;
  stop_ = [&] { return ++calls > 2; };  // both seen tests run, the second pass stops
  QueueLinksResult r = Queue({"http://host/a.htm", "http://host/b.htm"});
  EXPECT_EQ(r.QueuedCount, 0);
  EXPECT_TRUE(queue_.empty());
  EXPECT_TRUE(rejected_.empty());
  EXPECT_EQ(urldb_.Count(), 2);

  stop_ = [] { return true; };
  r = Queue({"http://host/c.htm"});
  EXPECT_FALSE(urldb_.KeyExists("http://host/c.htm"));
  EXPECT_FALSE(r.DbError);
}

TEST_F(QueueLinksTest, ClosedStoreRefusesAsRepeat) {
  urldb_.SetFileName("");  // every call raises EQDBNoFile, an index error
  const QueueLinksResult r = Queue({"http://host/a.htm"});
  EXPECT_FALSE(r.DbError);
  EXPECT_EQ(rejected_, Links{"http://host/a.htm"});
}

TEST_F(QueueLinksTest, OtherStoreFailureIsADatabaseError) {
  Queue({"http://host/a.htm"});
  // Files may not grow any more: the store's next write fails with a file error.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit none = old;
  none.rlim_cur = 0;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
  const QueueLinksResult r =
      Queue({"http://host/b.htm", "http://host/c.htm", "http://other/x.htm"});
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, SIG_DFL);

  EXPECT_TRUE(r.DbError);
  EXPECT_FALSE(r.ErrorText.empty());
  EXPECT_NE(r.ErrorText, "Duplicate keys are not allowed");
  EXPECT_EQ(r.QueuedCount, 0);
  EXPECT_EQ(queue_.size(), 1u);
  EXPECT_TRUE(rejected_.empty());
}

}  // namespace
}  // namespace ferrowyn
