// Queries through the search page with the real query workers: over a stored site (the
// preparation pass, its reuse, the end messages, stopping) and alongside a crawl of a
// fixture site served on loopback (the dynamic query against a later stored-site query).
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/search_center.h"
#include "store/site_layout.h"
#include "tests/support/http_test_server.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn {
namespace {

using ferrowyn::testing::HttpTestServer;
using ferrowyn::testing::ScriptedResponse;
using testing::ScriptedUserPort;
using Strings = std::vector<std::string>;
using namespace std::chrono_literals;

constexpr char kCompleted[] = "Query completed.";
constexpr char kStopped[] = "Query stopped.";
constexpr char kPreparing[] =
    "show Preparing...|Ferrowyn! is now preparing your stored site for querying. This process "
    "may take a few minutes depending on the size of the site.|";

// A port whose please-wait window cannot be set up.
class BrokenPleaseWaitPort : public ScriptedUserPort {
 public:
  void ShowPleaseWait(const std::string&, const std::string&, int) override {
    throw std::runtime_error("no window");
  }
};

class QueryRunTest : public ::testing::Test {
 protected:
  QueryRunTest() : programdir_(dir_.path().toStdString()), store_(programdir_ + "/settings.ini") {
    live_.querybar = 1;
  }

  Tsearchmain& Make(ScriptedUserPort& port) {
    main_ = std::make_unique<Tsearchmain>(port, store_, programdir_, live_, ops_, Strings{});
    return *main_;
  }
  Tsearchmain& Make() { return Make(port_); }

  // A stored site of pages (URL, query record lines), with or without the list records of
  // a saved site. Display records are written too, as the crawl writes them.
  void StoreSite(const std::vector<std::pair<std::string, std::string>>& pages, bool saved) {
    TQDB& qdb = main_->QDB();
    qdb.SetFileName(programdir_ + "/site.fwt");
    for (const auto& [url, text] : pages) {
      qdb.AddItem("<p>display\r\n", DisplayKey(url));
      qdb.AddItem(text + "\r\n", QueryKey(url));
    }
    if (saved) {
      qdb.AddItem(WriteWebList({}), std::string(kWebListKey));
      qdb.AddItem(WriteEmail({}), std::string(kEmailKey));
      qdb.AddItem(WriteWebMap({}), std::string(kWebMapKey));
    }
    qdb.Commit();
    main_->state().siteloaded = true;
  }

  bool QueryEnded() const {
    return !main_->state().queryactive && !main_->queries().AnyWorkerRunning();
  }
  // Runs a query from the search page and waits for its end.
  void Query(const std::string& keywords) {
    main_->state().fields.querysearch.text = keywords;
    main_->executequery();
    ASSERT_TRUE(HttpTestServer::WaitFor([this] { return QueryEnded(); }, 20s));
  }

  // The results list's rows as "URL|Hits|Found".
  Strings Rows() const {
    Strings rows;
    const QueryListModel& list = main_->querylist();
    for (int row = 0; row < list.rowCount(); ++row) {
      rows.push_back(std::string(list.Cell(row, 0)) + "|" + std::string(list.Cell(row, 1)) + "|" +
                     std::string(list.Cell(row, 2)));
    }
    return rows;
  }
  static Strings Sorted(Strings rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  Strings QueryRows() const {
    Strings rows;
    for (int slot = 1; slot <= 4; ++slot) rows.push_back(main_->slotview().QueryAction(slot));
    return rows;
  }

  QTemporaryDir dir_;
  std::string programdir_;
  SettingsStore store_;
  LiveSettings live_;
  ScriptedUserPort port_;
  SearchOperations ops_;
  std::unique_ptr<Tsearchmain> main_;
};

const std::vector<std::pair<std::string, std::string>> kThreePages = {
    {"http://s.test/a", "the Fox and the dog"},
    {"http://s.test/b", "fox fox fox cat cat"},
    {"http://s.test/c", "nothing here"},
};

TEST_F(QueryRunTest, AnyAndAllOverAStoredSiteListMatchesCountHitsAndReuseThePreparedCopy) {
  Make();
  StoreSite(kThreePages, true);
  port_.ExpectInformation(kCompleted);
  Query("cat fox");

  // The first query reads every record once behind the please-wait window (9 records:
  // progress 0 to 8) and lists pages in the store's key order.
  Strings expected_events{kPreparing + std::string("8")};
  for (int i = 0; i <= 8; ++i) expected_events.push_back("progress " + std::to_string(i));
  expected_events.push_back("close");
  EXPECT_EQ(port_.events(), expected_events);
  // Stored pages begin with a blank: " the Fox and the dog".
  EXPECT_EQ(Rows(), (Strings{"http://s.test/a|1|fox", "http://s.test/b|5|cat | fox"}));
  const SearchCenterState& state = main_->state();
  EXPECT_EQ(state.pages, "3");
  EXPECT_EQ(state.pagesavl, "3");
  EXPECT_EQ(state.hits, "6");
  EXPECT_EQ(state.querykeywords, "cat fox");
  EXPECT_EQ(state.querysitename, "Untitled");
  EXPECT_TRUE(state.queryprepared);
  EXPECT_TRUE(state.querysearchenabled);
  EXPECT_EQ(state.searchbtn.caption, "Ferrowyn!");
  EXPECT_EQ(QueryRows(), (Strings(4, "Inactive")));

  // The second query on the same site starts at once from the prepared copy.
  main_->state().any = false;
  port_.ExpectInformation(kCompleted);
  Query("fox cat");
  EXPECT_EQ(port_.events().size(), expected_events.size());
  EXPECT_EQ(Rows(), (Strings{"http://s.test/b|5|All"}));
  EXPECT_EQ(main_->state().hits, "5");
  EXPECT_EQ(main_->state().pagesavl, "3");
  EXPECT_FALSE(main_->state().queryany);
}

TEST_F(QueryRunTest, WholeWordAndMatchCaseComeFromTheSearchPage) {
  Make();
  StoreSite({{"http://s.test/w", "<b>Fox</b> fox, fox. fox fox"}}, false);
  main_->state().word = true;
  port_.ExpectInformation(kCompleted);
  Query("fox");
  // "<b>Fox</b>" has ">" before and "<" after; "fox," and "fox." have no boundary after;
  // of "fox fox" at the end the second is skipped with the blank after the first.
  EXPECT_EQ(Rows(), (Strings{"http://s.test/w|2|fox"}));

  main_->state().casesensitive = true;
  port_.ExpectInformation(kCompleted);
  Query("Fox");
  EXPECT_EQ(Rows(), (Strings{"http://s.test/w|1|Fox"}));
  EXPECT_TRUE(main_->state().querywholeword);
  EXPECT_TRUE(main_->state().querycasesensitive);
}

TEST_F(QueryRunTest, ASiteOfOnlyListRecordsEndsAtOnceAsCompleted) {
  live_.querybar = 4;
  Make();
  StoreSite({}, true);
  port_.ExpectInformation(kCompleted);
  Query("anything");
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(main_->state().pages, "0");
  EXPECT_EQ(main_->state().pagesavl, "0");
}

TEST_F(QueryRunTest, FourWorkersShareOnePageAndTheQueryEndsWhenAllHaveSeenTheQueueEmpty) {
  live_.querybar = 4;
  Make();
  StoreSite({{"http://s.test/only", "fox"}}, false);
  port_.ExpectInformation(kCompleted);
  Query("fox");
  EXPECT_EQ(Rows(), (Strings{"http://s.test/only|1|fox"}));
  EXPECT_EQ(main_->state().pagesavl, "1");
  EXPECT_EQ(QueryRows(), (Strings(4, "Inactive")));
}

TEST_F(QueryRunTest, StoppingHalfWayReportsStoppedAndKeepsTheRowsListed) {
  Make();
  std::vector<std::pair<std::string, std::string>> pages;
  for (int i = 0; i < 400; ++i)
    pages.push_back({"http://s.test/" + std::to_string(1000 + i), "fox"});
  StoreSite(pages, false);
  // The search button is pressed again as soon as the first row appears.
  const QMetaObject::Connection press = QObject::connect(
      &main_->querylist(), &QueryListModel::rowsInserted, [this] { main_->executequery(); });
  port_.ExpectInformation(kStopped);
  Query("fox");
  QObject::disconnect(press);
  EXPECT_EQ(Rows(), (Strings{"http://s.test/1000|1|fox"}));
  EXPECT_EQ(main_->state().pagesavl, "1");
  // The stop came between the row and its hits: a stopped worker adds nothing more.
  EXPECT_EQ(main_->state().hits, "0");
  EXPECT_TRUE(main_->queryqueue().querypending.empty());
  EXPECT_EQ(main_->queryqueue().preparedcopy.size(), 400u);

  // The prepared copy is whole: the next query searches every page.
  port_.ExpectInformation(kCompleted);
  Query("fox");
  EXPECT_EQ(Rows().size(), 400u);
}

TEST_F(QueryRunTest, FourSlotsTakingPagesInBatchesListWhatOneSlotListsInStoreOrder) {
  // 600 pages hold "fox" 0 to 4 times, every seventh also "Cat" once, on lines of their
  // own; the URLs sort by number.
  std::vector<std::pair<std::string, std::string>> pages;
  Strings expected;
  int total = 0;
  for (int i = 0; i < 600; ++i) {
    const std::string url = "http://s.test/" + std::to_string(1000 + i);
    std::string text = "page " + std::to_string(i);
    for (int k = 0; k < i % 5; ++k) text += "\r\nthe fox ran";
    if (i % 7 == 0) text += "\r\nCat";
    pages.push_back({url, text});
    const int hits = i % 5 + (i % 7 == 0 ? 1 : 0);
    if (hits == 0) continue;
    total += hits;
    expected.push_back(url + "|" + std::to_string(hits) + "|" +
                       (i % 5 == 0   ? "cat"
                        : i % 7 == 0 ? "fox | cat"
                                     : "fox"));
  }
  Make();
  StoreSite(pages, false);
  port_.ExpectInformation(kCompleted);
  Query("fox cat");
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(main_->state().pagesavl, "600");
  EXPECT_EQ(main_->state().hits, std::to_string(total));

  // Four slots over the same site, first from the store and then from the prepared copy.
  live_.querybar = 4;
  for (const bool prepared : {false, true}) {
    main_->state().queryprepared = prepared;
    port_.ExpectInformation(kCompleted);
    Query("fox cat");
    EXPECT_EQ(Sorted(Rows()), Sorted(expected));
    EXPECT_EQ(main_->state().pages, "600");
    EXPECT_EQ(main_->state().pagesavl, "600");
    EXPECT_EQ(main_->state().hits, std::to_string(total));
    EXPECT_EQ(QueryRows(), (Strings(4, "Inactive")));
  }
}

TEST_F(QueryRunTest, APleaseWaitWindowThatFailsStartsNoWorkerAndTheButtonThenStopsTheQuery) {
  BrokenPleaseWaitPort port;
  Make(port);
  StoreSite(kThreePages, false);
  port.ExpectError("There was an error while trying to run query.");
  main_->state().fields.querysearch.text = "fox";
  main_->executequery();
  EXPECT_TRUE(main_->state().queryactive);
  EXPECT_FALSE(main_->queries().AnyWorkerRunning());
  EXPECT_EQ(main_->state().searchbtn.caption, "Halt Search");

  port.ExpectInformation(kStopped);
  main_->executequery();
  EXPECT_FALSE(main_->state().queryactive);
  EXPECT_EQ(main_->state().searchbtn.caption, "Ferrowyn!");
  EXPECT_TRUE(Rows().empty());
}

// A fixture site of many small pages linked from one index, each holding the keywords a
// different number of times.
void ServeKeywordSite(HttpTestServer& server, int pages) {
  std::string links;
  for (int i = 0; i < pages; ++i) {
    const std::string name = "p" + std::to_string(i) + ".htm";
    links += "<a href=\"" + name + "\">" + name + "</a> ";
    std::string body = "<html><head><title>P" + std::to_string(i) + "</title></head><body>";
    for (int k = 0; k < i % 4; ++k) body += "fish and chips ";
    if (i % 3 == 0) body += "<b>Chips</b> ";
    server.Serve("http://k.test/" + name, ScriptedResponse::Page(body + "</body></html>"));
  }
  server.Serve("http://k.test/",
               ScriptedResponse::Page("<html><body>fish " + links + "</body></html>"));
}

TEST_F(QueryRunTest, ADynamicQueryListsWhatAQueryOverTheStoredSiteListsAfterwards) {
  HttpTestServer server;
  ServeKeywordSite(server, 40);
  live_.querybar = 4;
  live_.searchbar = 4;
  live_.httptimeout.text = "30";
  live_.slowtimeout.text = "30";
  live_.proxyserver.text = "127.0.0.1";
  live_.proxyport.text = std::to_string(server.Port());
  live_.searchtype = SearchType::kServer;
  Make();
  main_->SetFreeSpace([] { return std::optional<std::uint64_t>(std::uint64_t{1} << 40); });
  main_->state().fields.URL.text = "http://k.test/";
  main_->state().fields.querysearch.text = "fish chips";
  main_->state().word = true;
  port_.ExpectInformation("Specified site has been retrieved.");
  main_->SearchBtnClick();
  ASSERT_TRUE(HttpTestServer::WaitFor(
      [this] {
        return !main_->crawlrunning() && !main_->crawl().AnyWorkerRunning() &&
               !main_->queries().AnyWorkerRunning();
      },
      30s));

  const Strings live_rows = Sorted(Rows());
  const std::string live_hits = main_->state().hits;
  ASSERT_EQ(main_->state().pages, "41");
  EXPECT_EQ(main_->state().pagesavl, "41");
  EXPECT_TRUE(main_->state().queryprepared);
  // 34 of the 40 pages hold a keyword ("fish and chips" on three pages of four, "Chips"
  // on every third), and so does the index page.
  EXPECT_EQ(live_rows.size(), 35u);
  EXPECT_EQ(QueryRows(), (Strings(4, "Inactive")));

  // Again from the prepared copy the crawl made, then from the stored records.
  port_.ExpectInformation(kCompleted);
  Query("fish chips");
  EXPECT_EQ(Sorted(Rows()), live_rows);
  EXPECT_EQ(main_->state().hits, live_hits);
  main_->state().queryprepared = false;
  port_.ExpectInformation(kCompleted);
  Query("fish chips");
  EXPECT_EQ(Sorted(Rows()), live_rows);
  EXPECT_EQ(main_->state().hits, live_hits);
}

}  // namespace
}  // namespace ferrowyn
