// Page capture on a real site store: the two records of a page, refused and failing
// additions, the hand-over to the query queue, and the site map, page list and mail list
// entries a crawl makes.
#include "crawl/page_capture.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "store/record_store.h"
#include "store/site_layout.h"
#include "tests/support/qdb_test_files.h"
#include "view/mail_list_model.h"
#include "view/page_list_model.h"
#include "view/site_map_model.h"

namespace ferrowyn {
namespace {

using Strings = std::vector<std::string>;

class PageCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TQDB::SetTempDirectory(work_.path());
    QDB_.SetFileName(dir_.File("temp.fwt"));
  }
  void TearDown() override {
    QDB_.SetFileName("");
    TQDB::SetTempDirectory("");
  }

  // What the crawl worker does with a retrieved page: prepare it and its records on its own
  // thread, then store it in the page's synchronised call. Gives what StorePage did.
  StoreOutcome Capture(const std::string& url, Strings lines,
                       const QueryTextSettings& settings = {}) {
    LinkPage page;
    page.CurrentUrl = url;
    PreparePage(lines, page);
    return capture_.StorePage(page.CurrentUrl,
                              PreparePageRecords(lines, MakeQueryText(page.PageText, settings)),
                              livequery_, DbError_, [&] { ++stops_; });
  }

  std::string Record(const std::string& key) {
    if (!QDB_.FindKey(key)) return "(none)";
    return QDB_.GetItem();
  }

  testing::ScratchDir dir_;
  testing::ScratchDir work_;
  TQDB QDB_;
  SiteMapModel mainview_;
  PageListModel urllistview_;
  MailListModel maillist_;
  QueryQueue queries_;
  PageCapture capture_{QDB_, mainview_, urllistview_, maillist_, queries_};
  std::atomic<bool> Stopping_{false};
  bool livequery_ = false;
  bool DbError_ = false;
  int stops_ = 0;
};

TEST_F(PageCaptureTest, PreparedPageIsStoredAsDisplayAndQueryRecords) {
  const std::string url = "http://host/a/index.htm";
  EXPECT_EQ(Capture(url, {"<html><head><title>Home</title></head>",
                          "\t<body><h1>Welcome</h1>Text<br>more</body></html>  "}),
            StoreOutcome::kStored);
  EXPECT_EQ(QDB_.Count(), 2);
  EXPECT_EQ(Record("DISPLAYXX" + url),
            " <html><head><title>Home</title></head> "
            "<body><h1>Welcome</h1>Text<br>more</body></html>\r\n");
  EXPECT_EQ(Record("QUERYXX" + url), "    Welcome Text more \r\n");
  EXPECT_FALSE(DbError_);
  EXPECT_TRUE(queries_.querypending.empty());
  EXPECT_TRUE(queries_.preparedcopy.empty());
}

TEST_F(PageCaptureTest, EntitiesAreDecodedBeforeTheDisplayRecordAndSpacesAfterIt) {
  EXPECT_EQ(Capture("http://h/1", {"Fish &amp;amp; Chips &amp;quot;to go&amp;quot;"}),
            StoreOutcome::kStored);
  EXPECT_EQ(Record("DISPLAYXXhttp://h/1"), " Fish & Chips \"to go\"\r\n");
  EXPECT_EQ(Record("QUERYXXhttp://h/1"), " Fish & Chips \"to go\"\r\n");

  Capture("http://h/2", {"&copy; 1999"});
  EXPECT_EQ(Record("DISPLAYXXhttp://h/2"), " \xA9; 1999\r\n");

  Capture("http://h/3", {"a&amp;nbsp;b"});
  EXPECT_EQ(Record("DISPLAYXXhttp://h/3"), " a&nbsp;b\r\n");
  EXPECT_EQ(Record("QUERYXXhttp://h/3"), " a b\r\n");

  Capture("http://h/4", {"  A", "\tB\t"});
  EXPECT_EQ(Record("DISPLAYXXhttp://h/4"), " A B\r\n");
}

TEST_F(PageCaptureTest, SearchWithinSettingsShapeTheQueryRecord) {
  const Strings body = {"<title>T</title><!-- c > d --><b>x</b>"};
  Capture("http://h/none", body);
  Capture("http://h/titles", body, {false, true, false});
  Capture("http://h/comments", body, {false, false, true});
  Capture("http://h/tags", body, {true, false, false});
  EXPECT_EQ(Record("QUERYXXhttp://h/none"), " x\r\n");
  EXPECT_EQ(Record("QUERYXXhttp://h/titles"), " Tx\r\n");
  // A kept comment still loses its "<" through its first ">" as a tag, and the ">" of its
  // "-->" goes as a stray one.
  EXPECT_EQ(Record("QUERYXXhttp://h/comments"), "  d --x\r\n");
  EXPECT_EQ(Record("QUERYXXhttp://h/tags"), " <b>x</b>\r\n");
}

TEST_F(PageCaptureTest, PreparePageSetsTheBaseForLinkResolution) {
  Strings lines = {"x"};
  LinkPage page;
  page.CurrentUrl = "http://Host/a/b/c.htm?q=1";
  PreparePage(lines, page);
  EXPECT_EQ(page.Base.BaseUrl, "http://Host/a/b/");
  EXPECT_EQ(page.PageText, " x");
  EXPECT_EQ(lines, Strings{" x"});
}

TEST_F(PageCaptureTest, StoredPagesAreHandedToTheQueriesWhenLive) {
  livequery_ = true;
  Capture("http://h/1", {"<p>one"});
  Capture("http://h/2", {"two"});
  // The queue holds the texts as made; the prepared copy holds none, only where each
  // page's query record lies.
  Strings pending, prepared;
  for (const QueryPage& page : queries_.querypending)
    pending.push_back(page.url + "|" + *page.text);
  for (const QueryPage& page : queries_.preparedcopy) {
    EXPECT_EQ(page.text, nullptr);
    EXPECT_TRUE(page.crawled);
    prepared.push_back(page.url + "|" + queries_.reader->Read(page.place));
  }
  EXPECT_EQ(pending, (Strings{"http://h/1|  one", "http://h/2| two"}));
  EXPECT_EQ(prepared, (Strings{"http://h/1|  one\r\n", "http://h/2| two\r\n"}));
}

TEST_F(PageCaptureTest, PageStoredAlreadyIsSkippedSilently) {
  livequery_ = true;
  ASSERT_EQ(Capture("http://host/a.htm", {"first"}), StoreOutcome::kStored);
  // The same URL in other letter case is the same key.
  EXPECT_EQ(Capture("HTTP://HOST/A.HTM", {"second"}), StoreOutcome::kRefused);
  EXPECT_EQ(QDB_.Count(), 2);
  EXPECT_EQ(Record("DISPLAYXXhttp://host/a.htm"), " first\r\n");
  EXPECT_EQ(Record("QUERYXXhttp://host/a.htm"), " first\r\n");
  ASSERT_EQ(queries_.querypending.size(), 1u);
  EXPECT_EQ(queries_.querypending[0].url, "http://host/a.htm");
  EXPECT_EQ(queries_.preparedcopy.size(), 1u);
  EXPECT_FALSE(DbError_);
  EXPECT_EQ(stops_, 0);
}

TEST_F(PageCaptureTest, LongUrlsShareTheirFirst246Characters) {
  const std::string stem = "http://host/" + std::string(234, 'x');
  ASSERT_EQ(stem.size(), 246u);
  EXPECT_EQ(Capture(stem + "/one.htm", {"one"}), StoreOutcome::kStored);
  EXPECT_EQ(Capture(stem + "/two.htm", {"two"}), StoreOutcome::kRefused);
  EXPECT_EQ(QDB_.Count(), 2);
  EXPECT_EQ(Record("DISPLAYXX" + stem), " one\r\n");
  EXPECT_EQ(Record(QueryKey(stem + "/one.htm")), " one\r\n");
}

TEST_F(PageCaptureTest, ReadOnlyStoreRefusesWithoutADatabaseError) {
  livequery_ = true;
  QDB_.SetReadOnly(true);
  EXPECT_EQ(Capture("http://h/x", {"x"}), StoreOutcome::kRefused);
  EXPECT_EQ(QDB_.Count(), 0);
  EXPECT_FALSE(DbError_);
  EXPECT_EQ(stops_, 0);
  EXPECT_TRUE(queries_.querypending.empty());
}

TEST_F(PageCaptureTest, StoreFailureStopsTheRunAsADatabaseError) {
  livequery_ = true;
  ASSERT_EQ(Capture("http://h/before", {"fits"}), StoreOutcome::kStored);
  // The working files may not grow any more: the next write fails with EFBIG.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const sighandler_t previous = signal(SIGXFSZ, SIG_IGN);
  rlimit tight = saved;
  tight.rlim_cur = 1;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
  const StoreOutcome outcome =
      capture_.StorePage("http://h/after", PreparePageRecords({" no room"}, " no room"), livequery_,
                         DbError_, [&] { ++stops_; });
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);

  EXPECT_EQ(outcome, StoreOutcome::kDatabaseError);
  EXPECT_TRUE(DbError_);
  EXPECT_EQ(stops_, 1);
  ASSERT_EQ(queries_.querypending.size(), 1u);
  EXPECT_EQ(queries_.querypending[0].url, "http://h/before");
  EXPECT_FALSE(QDB_.KeyExists(QueryKey("http://h/after")));
}

TEST_F(PageCaptureTest, EmptyPageLinesStoreNothing) {
  livequery_ = true;
  EXPECT_EQ(Capture("http://h/", {}), StoreOutcome::kNothing);
  EXPECT_EQ(capture_.StorePage("http://h/", PreparePageRecords({}, ""), true, DbError_,
                               [&] { ++stops_; }),
            StoreOutcome::kNothing);
  EXPECT_EQ(QDB_.Count(), 0);
  EXPECT_TRUE(queries_.querypending.empty());
}

// A page stored after a halt still gets its whole query text, so that the saved site does
// not hold a page that no query can find.
TEST_F(PageCaptureTest, StopRequestDoesNotEmptyAStoredQueryRecord) {
  Stopping_ = true;
  EXPECT_EQ(
      capture_.StorePage("http://h/",
                         PreparePageRecords({" <b>late</b>"}, MakeQueryText(" <b>late</b>", {})),
                         false, DbError_, [&] { ++stops_; }),
      StoreOutcome::kStored);
  EXPECT_EQ(Record("QUERYXXhttp://h/"), " late\r\n");
}

TEST_F(PageCaptureTest, SiteMapGrowsUnderTheStartPage) {
  const SiteMapNode start = capture_.AddPageNode(kNoNode, "http://h/", Stopping_);
  ASSERT_NE(start, kNoNode);
  capture_.AddRejectedNode(start, "http://h/");  // a link back to the start page
  capture_.AddRejectedNode(start, "http://elsewhere/");
  const SiteMapNode child = capture_.AddPageNode(start, "http://h/a.htm", Stopping_);
  const SiteMapNode grandchild = capture_.AddPageNode(child, "http://h/b.htm", Stopping_);
  capture_.AddRejectedNode(grandchild, "http://h/deep.htm");
  // Any page taken without a node is a top-level node.
  const SiteMapNode other = capture_.AddPageNode(kNoNode, "http://other/", Stopping_);

  EXPECT_EQ(mainview_.ImageIndex(start), kStartPageImage);
  EXPECT_EQ(mainview_.ImageIndex(other), kStartPageImage);
  EXPECT_EQ(mainview_.ImageIndex(child), kPageImage);
  EXPECT_EQ(mainview_.ImageIndex(mainview_.Children(start)[0]), kPageImage);
  EXPECT_EQ(mainview_.Depth(grandchild), 2);
  const SiteMapTree expected = {
      {"http://h/",
       {{"http://h/", {}},
        {"http://elsewhere/", {}},
        {"http://h/a.htm", {{"http://h/b.htm", {{"http://h/deep.htm", {}}}}}}}},
      {"http://other/", {}}};
  EXPECT_EQ(mainview_.Tree(), expected);
}

TEST_F(PageCaptureTest, NodesAreNotAddedOnceStoppingOrForAStaleNode) {
  const SiteMapNode start = capture_.AddPageNode(kNoNode, "http://h/", Stopping_);
  Stopping_ = true;
  EXPECT_EQ(capture_.AddPageNode(start, "http://h/a.htm", Stopping_), start);
  EXPECT_EQ(mainview_.NodeCount(), 1);
  // Rejected links have no stop test.
  capture_.AddRejectedNode(start, "http://h/x.htm");
  EXPECT_EQ(mainview_.NodeCount(), 2);

  Stopping_ = false;
  mainview_.Clear();
  EXPECT_EQ(capture_.AddPageNode(start, "http://h/a.htm", Stopping_), start);
  capture_.AddRejectedNode(start, "http://h/x.htm");
  EXPECT_EQ(mainview_.NodeCount(), 0);
}

TEST_F(PageCaptureTest, PageListRowsAreUniqueWithoutRegardToCase) {
  capture_.AddPageListRow("http://h/a.htm", "A", Stopping_);
  capture_.AddPageListRow("HTTP://H/A.HTM", "Again", Stopping_);
  capture_.AddPageListRow("", "No URL", Stopping_);
  capture_.AddPageListRow("http://h/\xC0.htm", "Grave", Stopping_);
  capture_.AddPageListRow("http://h/\xE0.htm", "Small grave", Stopping_);
  Stopping_ = true;
  capture_.AddPageListRow("http://h/late.htm", "Late", Stopping_);
  EXPECT_EQ(urllistview_.Rows(),
            (std::vector<PageListRow>{{"http://h/a.htm", "A"}, {"http://h/\xC0.htm", "Grave"}}));
}

TEST_F(PageCaptureTest, MailAddressesAreCollectedOnceInSmallLetters) {
  capture_.AddMailAddress("Info@Example.COM", Stopping_);
  capture_.AddMailAddress("info@example.com", Stopping_);
  capture_.AddMailAddress("sales@example.com", Stopping_);
  capture_.AddMailAddress("INFO@EXAMPLE.COM", Stopping_);
  Stopping_ = true;
  capture_.AddMailAddress("late@example.com", Stopping_);
  EXPECT_EQ(maillist_.Lines(), (Strings{"info@example.com", "sales@example.com"}));
}

}  // namespace
}  // namespace ferrowyn
