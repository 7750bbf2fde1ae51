// End-to-end crawls of fixture sites served on loopback: the search page starts the run,
// the workers retrieve through the test server (as a proxy, so that several host names
// reach it), and the test checks the site store, the site map, the page list, the slot
// rows, the statistics and every message.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/search_center.h"
#include "store/site_layout.h"
#include "tests/support/http_test_server.h"
#include "tests/support/real_peers.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn {
namespace {

using ferrowyn::testing::HttpTestServer;
using ferrowyn::testing::ScriptedResponse;
using testing::ScriptedUserPort;
using Strings = std::vector<std::string>;
using namespace std::chrono_literals;

constexpr char kRetrieved[] = "Specified site has been retrieved.";
constexpr char kByLimit[] = "Web download has been stopped due to a download restriction.";
constexpr char kByUser[] = "Web download has been stopped due to user intervention.";
constexpr char kStartError[] = "There was an error retrieving the specified URL: ";
constexpr char kUnsavedQuestion[] =
    "Your previous search has not been saved to disk. Would you like to save? ";
constexpr char kCloseQuestion[] =
    "A transfer is active. Are you sure you wish to abort and exit Ferrowyn!?";

// A page body padded with blanks to exactly 1234 bytes, so that every page adds 1.23
// kilobytes to the statistics.
std::string Padded(const std::string& html) {
  std::string body = html;
  body.resize(1234, ' ');
  return body;
}

std::string Html(const std::string& title, const std::string& links) {
  return Padded("<html><head><title>" + title + "</title></head><body>" + links + "</body></html>");
}

// The fixture site: two servers of site.test and one of other.test.
//   www.site.test/docs/      -> a.htm, /top.htm, news.site.test/n.htm, www.other.test/o.htm,
//                               a mail address twice (capitals, small letters)
//   www.site.test/docs/a.htm -> the start page again (a repeat), b.htm
void ServeSite(HttpTestServer& server) {
  server.Serve(
      "http://www.site.test/docs/",
      ScriptedResponse::Page(
          Html("Docs",
               "<a href=\"a.htm\">A</a><a href=\"/top.htm\">T</a>"
               "<a href=\"http://news.site.test/n.htm\">N</a>"
               "<a href=\"http://www.other.test/o.htm\">O</a>"
               "<a href=\"mailto:Ann@Site.TEST\">m</a><a href=\"mailto:ann@site.test\">m</a>")));
  server.Serve("http://www.site.test/docs/a.htm",
               ScriptedResponse::Page(Html(
                   "A", "<a href=\"http://www.site.test/docs/\">up</a><a href=\"b.htm\">B</a>")));
  server.Serve("http://www.site.test/docs/b.htm", ScriptedResponse::Page(Html("B", "")));
  server.Serve("http://www.site.test/top.htm", ScriptedResponse::Page(Html("Top", "")));
  server.Serve("http://news.site.test/n.htm", ScriptedResponse::Page(Html("News", "")));
  server.Serve("http://www.other.test/o.htm", ScriptedResponse::Page(Html("Other", "")));
}

class CrawlRunTest : public ::testing::Test {
 protected:
  CrawlRunTest() : programdir_(dir_.path().toStdString()), store_(programdir_ + "/settings.ini") {
    live_.httptimeout.text = "30";
    live_.slowtimeout.text = "30";
    live_.searchbar = 1;
    live_.levels.text = "3";
    live_.proxyserver.text = "127.0.0.1";
    live_.proxyport.text = std::to_string(server_.Port());
    main_ = std::make_unique<Tsearchmain>(port_, store_, programdir_, live_, ops_, Strings{});
    main_->SetFreeSpace([] { return std::optional<std::uint64_t>(std::uint64_t{1} << 40); });
    main_->slotview().connect(&main_->slotview(), &QAbstractItemModel::dataChanged,
                              [this] { slottexts_.push_back(main_->slotview().SearchAction(1)); });
  }

  void SetScope(SearchType type) { live_.searchtype = type; }
  // The next crawl replaces an unsaved site: the question is answered No.
  void ExpectUnsavedQuestion() {
    port_.ExpectMessage(MessageKind::kQuestion, kUnsavedQuestion, Answer::kNo);
  }

  // Starts a crawl from the search page as the user does.
  void Start(const std::string& url) {
    main_->state().fields.URL.text = url;
    main_->SearchBtnClick();
  }
  bool Ended() const { return !main_->crawlrunning() && !main_->crawl().AnyWorkerRunning(); }
  void WaitForEnd() {
    ASSERT_TRUE(HttpTestServer::WaitFor([this] { return Ended(); }, 20s));
  }
  void Crawl(const std::string& url) {
    Start(url);
    WaitForEnd();
  }

  Strings PageListRows() const {
    Strings rows;
    for (const PageListRow& row : main_->urllistview().Rows()) {
      rows.push_back(row.Url + "\t" + row.Title);
    }
    return rows;
  }
  // The site map as lines, two blanks of indentation per level, the image after a "|".
  Strings SiteMap() const {
    Strings lines;
    std::function<void(SiteMapNode, int)> walk = [&](SiteMapNode parent, int depth) {
      for (SiteMapNode node : main_->mainview().Children(parent)) {
        lines.push_back(std::string(2 * depth, ' ') + main_->mainview().Text(node) + "|" +
                        std::to_string(main_->mainview().ImageIndex(node)));
        walk(node, depth + 1);
      }
    };
    walk(kNoNode, 0);
    return lines;
  }
  Strings MailView() const {
    return main_->mailview().Lines();
  }
  std::string Display(const std::string& url) {
    TQDB& qdb = main_->QDB();
    if (!qdb.FindKey(DisplayKey(url))) return "<none>";
    return qdb.GetItem();
  }
  void ExpectIdleControls() {
    const SearchCenterState& state = main_->state();
    EXPECT_EQ(state.searchbtn.caption, "Ferrowyn!");
    EXPECT_TRUE(state.searchbtn.enabled && state.clearbtn.enabled &&
                state.EngageFerrowyn1.enabled && state.HaltSearch1.enabled);
    EXPECT_FALSE(main_->crawlrunning());
    for (int slot = 1; slot <= 4; ++slot) {
      EXPECT_EQ(main_->slotview().SearchAction(slot), "Inactive") << slot;
    }
  }
  bool SlotShowed(const std::string& text) const {
    return std::find(slottexts_.begin(), slottexts_.end(), text) != slottexts_.end();
  }

  HttpTestServer server_;
  QTemporaryDir dir_;
  std::string programdir_;
  SettingsStore store_;
  LiveSettings live_;
  ScriptedUserPort port_;
  SearchOperations ops_;
  std::unique_ptr<Tsearchmain> main_;
  Strings slottexts_;
};

const std::string kStart = "http://www.site.test/docs/";

TEST_F(CrawlRunTest, ServerScopeWithOneSlotStoresMapsAndListsEveryPageOnce) {
  ServeSite(server_);
  SetScope(SearchType::kServer);
  live_.mailaddr = true;
  port_.ExpectInformation(kRetrieved);

  Crawl(kStart);

  EXPECT_EQ(PageListRows(), (Strings{kStart + "\tDocs", kStart + "a.htm\tA",
                                     "http://www.site.test/top.htm\tTop", kStart + "b.htm\tB"}));
  EXPECT_EQ(SiteMap(), (Strings{kStart + "|1", "  http://news.site.test/n.htm|0",
                                "  http://www.other.test/o.htm|0", "  " + kStart + "a.htm|0",
                                "    " + kStart + "|0", "    " + kStart + "b.htm|0",
                                "  http://www.site.test/top.htm|0"}));
  EXPECT_EQ(main_->QDB().Count(), 8);
  EXPECT_EQ(Display(kStart + "b.htm"),
            " <html><head><title>B</title></head><body></body></html>\r\n");
  EXPECT_EQ(main_->state().numproc, "4");
  EXPECT_EQ(main_->state().bytestran, "4.92");
  EXPECT_EQ(MailView(), Strings{"ann@site.test"});
  EXPECT_EQ(main_->maillist().Count(), 0);
  EXPECT_EQ(main_->state().sitename, "Untitled");
  EXPECT_TRUE(main_->state().siteloaded);
  EXPECT_EQ(main_->state().siteurl, kStart);
  EXPECT_EQ(main_->state().fields.URL.items, Strings{kStart});
  EXPECT_TRUE(SlotShowed("Retrieving " + kStart + "a.htm"));
  EXPECT_TRUE(SlotShowed("Processing Complete."));
  ExpectIdleControls();
  // Every request went through the proxy with the page's own host.
  EXPECT_EQ(server_.Requests().front(),
            "GET http://www.site.test/docs/ HTTP/1.0\r\nHost: www.site.test\r\n\r\n");
}

TEST_F(CrawlRunTest, AStartThatIsRefusedRestoresTheControlsAndRetrievesNothing) {
  ServeSite(server_);
  SetScope(SearchType::kServer);

  main_->state().fields.querysearch.text = "  fish | chips ";
  port_.ExpectError("This query contains an invalid character. Please re-enter.");
  Start(kStart);
  EXPECT_EQ(main_->state().fields.querysearch.text, "fish | chips");
  EXPECT_FALSE(main_->state().queryactive);
  ExpectIdleControls();

  main_->state().fields.querysearch.text.clear();
  main_->SetFreeSpace([] { return std::optional<std::uint64_t>(9999999); });
  const std::string low_space =
      "The drive from which Ferrowyn! is currently being run may not haveenough free space to "
      "complete this search. We suggest that you delete some files before continuing.";
  port_.ExpectMessage(MessageKind::kWarning, low_space, Answer::kAbort);
  Start(kStart);
  ExpectIdleControls();
  EXPECT_EQ(server_.ConnectionCount(), 0u);

  // Ignore goes on with the crawl.
  port_.ExpectMessage(MessageKind::kWarning, low_space, Answer::kIgnore);
  port_.ExpectInformation(kRetrieved);
  Crawl(kStart);
  EXPECT_EQ(main_->state().numproc, "4");

  // Cancel keeps the unsaved site as it is.
  main_->clearbtnClick();
  main_->SetFreeSpace({});
  port_.ExpectMessage(MessageKind::kQuestion, kUnsavedQuestion, Answer::kCancel);
  Start(kStart);
  ExpectIdleControls();
  EXPECT_EQ(main_->urllistview().RowCount(), 4);
  EXPECT_EQ(main_->QDB().Count(), 8);
}

TEST_F(CrawlRunTest, KeywordsMakeTheStoredPagesReadyForQuerying) {
  ServeSite(server_);
  SetScope(SearchType::kServer);
  main_->state().fields.querysearch.text = "fish";
  main_->state().word = true;
  std::vector<std::string> pages_during;
  QObject::connect(main_.get(), &Tsearchmain::changed,
                   [&] { pages_during.push_back(main_->state().pages); });
  port_.ExpectInformation(kRetrieved);

  Crawl(kStart);

  EXPECT_NE(std::find(pages_during.begin(), pages_during.end(), "Live"), pages_during.end());
  const SearchCenterState& state = main_->state();
  EXPECT_EQ(state.pages, "4");
  EXPECT_TRUE(state.queryprepared);
  EXPECT_FALSE(state.queryactive);
  EXPECT_EQ(state.querykeywords, "fish");
  EXPECT_TRUE(state.querywholeword);
  EXPECT_EQ(state.fields.querysearch.items, Strings{"fish"});
  EXPECT_EQ(main_->queryqueue().preparedcopy.size(), 4u);
  EXPECT_TRUE(main_->queryqueue().querypending.empty());
}

TEST_F(CrawlRunTest, EachScopeFollowsItsOwnLinks) {
  ServeSite(server_);
  struct Case {
    SearchType type;
    Strings urls;
  };
  const Strings all = {kStart,
                       kStart + "a.htm",
                       "http://www.site.test/top.htm",
                       "http://news.site.test/n.htm",
                       "http://www.other.test/o.htm",
                       kStart + "b.htm"};
  const std::vector<Case> cases = {
      {SearchType::kNone, all},
      {SearchType::kDomain, {all[0], all[1], all[2], all[3], all[5]}},
      {SearchType::kServer, {all[0], all[1], all[2], all[5]}},
      {SearchType::kDirectory, {all[0], all[1], all[5]}},
  };
  for (const Case& c : cases) {
    SetScope(c.type);
    main_->clearbtnClick();
    if (!main_->mainview().Empty()) ExpectUnsavedQuestion();
    port_.ExpectInformation(kRetrieved);
    Crawl(kStart);
    Strings urls;
    for (const PageListRow& row : main_->urllistview().Rows()) urls.push_back(row.Url);
    EXPECT_EQ(urls, c.urls) << static_cast<int>(c.type);
    EXPECT_EQ(main_->state().numproc, std::to_string(c.urls.size()));
  }

  // The filter is asked for and compared in small letters.
  SetScope(SearchType::kFilter);
  main_->clearbtnClick();
  port_.ExpectFilter({FilterAnswer::kOk, "NEWS"});
  ExpectUnsavedQuestion();
  port_.ExpectInformation(kRetrieved);
  Crawl(kStart);
  EXPECT_EQ(PageListRows(), (Strings{kStart + "\tDocs", "http://news.site.test/n.htm\tNews"}));
}

TEST_F(CrawlRunTest, FourSlotsRetrieveTheSameSiteAndEndOnlyWhenAllAreIdle) {
  ServeSite(server_);
  SetScope(SearchType::kNone);
  live_.searchbar = 4;
  port_.ExpectInformation(kRetrieved);

  Crawl(kStart);

  Strings rows = PageListRows();
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows,
            (Strings{"http://news.site.test/n.htm\tNews", "http://www.other.test/o.htm\tOther",
                     kStart + "\tDocs", kStart + "a.htm\tA", kStart + "b.htm\tB",
                     "http://www.site.test/top.htm\tTop"}));
  EXPECT_EQ(main_->QDB().Count(), 12);
  EXPECT_EQ(main_->state().numproc, "6");
  EXPECT_EQ(main_->state().bytestran, "7.38");
  EXPECT_EQ(SiteMap().front(), kStart + "|1");
  ExpectIdleControls();
}

TEST_F(CrawlRunTest, LimitsStopTheRunAtThePageThatReachesThem) {
  ServeSite(server_);
  SetScope(SearchType::kServer);

  // Files: the third page is counted in the kilobytes but neither stored nor counted.
  live_.restrictnumberoffiles = true;
  live_.filesrestriction.text = "2";
  port_.ExpectInformation(kByLimit);
  Crawl(kStart);
  EXPECT_EQ(main_->state().numproc, "2");
  EXPECT_EQ(main_->state().bytestran, "3.69");
  EXPECT_EQ(main_->QDB().Count(), 4);
  EXPECT_EQ(Display("http://www.site.test/top.htm"), "<none>");
  ExpectIdleControls();

  // Kilobytes: 3 is reached by the third page (3.69), which is not stored.
  live_.restrictnumberoffiles = false;
  live_.restrictdownloadsize = true;
  live_.megrestriction.text = "3";
  main_->clearbtnClick();
  ExpectUnsavedQuestion();
  port_.ExpectInformation(kByLimit);
  Crawl(kStart);
  EXPECT_EQ(main_->state().numproc, "2");
  EXPECT_EQ(main_->state().bytestran, "3.69");
  EXPECT_EQ(main_->QDB().Count(), 4);
  ExpectIdleControls();

  // Levels: pages one level down are retrieved but their links are not followed.
  live_.restrictdownloadsize = false;
  live_.restrictlevelsdeep = true;
  live_.levels.text = "1";
  main_->clearbtnClick();
  ExpectUnsavedQuestion();
  port_.ExpectInformation(kRetrieved);
  Crawl(kStart);
  EXPECT_EQ(PageListRows(),
            (Strings{kStart + "\tDocs", kStart + "a.htm\tA", "http://www.site.test/top.htm\tTop"}));
  EXPECT_EQ(main_->state().numproc, "3");
  // b.htm is a leaf under a.htm, never retrieved.
  ASSERT_EQ(SiteMap().size(), 7u);
  EXPECT_EQ(SiteMap()[5], "    " + kStart + "b.htm|0");
}

TEST_F(CrawlRunTest, AStartPageThatFailsIsReportedAndLeavesEmptyViews) {
  server_.Serve("http://www.site.test/docs/", ScriptedResponse::Status(404, "Not Found"));
  port_.ExpectError(std::string(kStartError) + "\"404: Not Found.\"");
  Crawl(kStart);
  EXPECT_TRUE(main_->mainview().Empty());
  EXPECT_EQ(main_->urllistview().RowCount(), 0);
  EXPECT_EQ(main_->state().numproc, "0");
  ExpectIdleControls();
}

TEST_F(CrawlRunTest, ARedirectedStartPageMovesTheOriginButNotTheLogin) {
  SetScope(SearchType::kServer);
  live_.userpass = true;
  server_.Serve("http://www.site.test/", ScriptedResponse::Redirect("http://www.moved.test/home/"));
  server_.Serve("http://www.moved.test/home/",
                ScriptedResponse::Page(Html("Home",
                                            "<a href=\"p.htm\">p</a>"
                                            "<a href=\"http://www.site.test/x.htm\">x</a>")));
  // p.htm links back to the address the start page moved to: a page stored already.
  server_.Serve("http://www.moved.test/home/p.htm",
                ScriptedResponse::Page(Html("P", "<a href=\"http://www.moved.test/home/\">h</a>")));
  port_.ExpectLogin({LoginAnswer::kOk, "user", "pass"});
  port_.ExpectInformation(kRetrieved);

  Crawl("http://www.site.test/");

  const std::string home = "http://www.moved.test/home/";
  EXPECT_EQ(main_->state().fields.URL.text, home);
  EXPECT_EQ(PageListRows(), (Strings{home + "\tHome", home + "p.htm\tP"}));
  // The repeated home page gets its node and its links are looked at again, as repeats.
  EXPECT_EQ(SiteMap(),
            (Strings{home + "|1", "  http://www.site.test/x.htm|0", "  " + home + "p.htm|0",
                     "    " + home + "|0", "      " + home + "p.htm|0",
                     "      http://www.site.test/x.htm|0"}));
  EXPECT_EQ(main_->QDB().Count(), 4);
  EXPECT_EQ(main_->state().numproc, "3");

  // The login goes to the server the user named, not to the host the start page moved to.
  const std::string auth = "Authorization: Basic dXNlcjpwYXNz\r\n";
  const Strings requests = server_.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_NE(requests[0].find("GET http://www.site.test/ "), std::string::npos);
  EXPECT_NE(requests[0].find(auth), std::string::npos);
  EXPECT_NE(requests[1].find("Host: www.moved.test\r\n"), std::string::npos);
  EXPECT_EQ(requests[1].find(auth), std::string::npos);
  EXPECT_NE(requests[2].find("GET " + home + "p.htm "), std::string::npos);
  EXPECT_EQ(requests[2].find(auth), std::string::npos);
}

TEST_F(CrawlRunTest, TheLoginGoesOnlyToTheSchemeHostAndPortTheUserNamed) {
  SetScope(SearchType::kNone);
  live_.userpass = true;
  // A redirect within the server keeps the login, for the redirected request as well. The
  // start page moves to the absolute form of its Location.
  server_.Serve("http://www.site.test/", ScriptedResponse::Redirect("/home/"));
  server_.Serve("http://www.site.test/home/",
                ScriptedResponse::Page(Html("Home",
                                            "<a href=\"http://www.site.test:8080/p.htm\">p</a>"
                                            "<a href=\"http://WWW.SITE.TEST:80/q.htm\">q</a>")));
  server_.Serve("http://www.site.test:8080/p.htm", ScriptedResponse::Page(Html("P", "")));
  server_.Serve("http://WWW.SITE.TEST:80/q.htm", ScriptedResponse::Page(Html("Q", "")));
  port_.ExpectLogin({LoginAnswer::kOk, "user", "pass"});
  port_.ExpectInformation(kRetrieved);
  Crawl("http://www.site.test/");
  const std::string auth = "Authorization: Basic dXNlcjpwYXNz\r\n";
  const Strings targets = server_.Targets();
  const Strings requests = server_.Requests();
  ASSERT_EQ(targets, (Strings{"http://www.site.test/", "http://www.site.test/home/",
                              "http://www.site.test:8080/p.htm", "http://WWW.SITE.TEST:80/q.htm"}));
  EXPECT_NE(requests[0].find(auth), std::string::npos);
  EXPECT_NE(requests[1].find(auth), std::string::npos);
  EXPECT_EQ(requests[2].find(auth), std::string::npos);
  EXPECT_NE(requests[3].find(auth), std::string::npos);
  EXPECT_EQ(main_->state().fields.URL.text, "http://www.site.test/home/");
  EXPECT_EQ(PageListRows()[0], "http://www.site.test/home/\tHome");
}

TEST_F(CrawlRunTest, TheLoginNeverGoesToAnotherHost) {
  ServeSite(server_);
  SetScope(SearchType::kDomain);
  live_.userpass = true;
  port_.ExpectLogin({LoginAnswer::kOk, "user", "pass"});
  port_.ExpectInformation(kRetrieved);
  Crawl(kStart);
  const std::string auth = "Authorization: Basic dXNlcjpwYXNz\r\n";
  int with = 0;
  for (const std::string& request : server_.Requests()) {
    const bool start_host = request.find("Host: WWW.SITE.TEST") != std::string::npos ||
                            request.find("Host: www.site.test") != std::string::npos;
    EXPECT_EQ(request.find(auth) != std::string::npos, start_host) << request;
    with += start_host ? 1 : 0;
  }
  EXPECT_EQ(with, 4);
  EXPECT_EQ(server_.Requests().size(), 5u);
}

TEST_F(CrawlRunTest, AnAgentWithALineBreakFailsTheStartPageBeforeAnythingIsSent) {
  live_.webagentbox = "A\r\nX-Injected: yes";
  port_.ExpectError(std::string(kStartError) + "\"404: control character in the User-Agent.\"");
  Crawl(kStart);
  EXPECT_EQ(server_.ConnectionCount(), 0u);
  ExpectIdleControls();
}

TEST_F(CrawlRunTest, AStallingServerIsCutByTheSlowTimer) {
  live_.slowtimeout.text = "1";
  server_.Serve("http://www.site.test/docs/", ScriptedResponse::Raw("").Stall());
  port_.ExpectError(std::string(kStartError) + "\"404: Connection aborted..\"");
  Crawl(kStart);
  EXPECT_TRUE(SlotShowed("Time Out on Retrieval of " + kStart + " (Slow Transfer)"));
  ExpectIdleControls();
}

TEST_F(CrawlRunTest, ATricklingServerIsCutByTheLongTimer) {
  live_.httptimeout.text = "2";
  live_.slowtimeout.text = "1";
  server_.Serve(
      "http://www.site.test/docs/",
      ScriptedResponse::Raw("HTTP/1.0 200 OK\r\n\r\n").Trickle(std::string(200, 'x'), 50));
  port_.ExpectError(std::string(kStartError) + "\"404: Connection aborted..\"");
  Crawl(kStart);
  EXPECT_TRUE(SlotShowed("Time Out on " + kStart + " (Too Long)"));
  EXPECT_FALSE(SlotShowed("Time Out on Retrieval of " + kStart + " (Slow Transfer)"));
  ExpectIdleControls();
}

TEST_F(CrawlRunTest, WithFourSlotsTheFileLimitLetsNoPageTooMany) {
  // Twelve pages behind the start page, so that all four slots finish pages together.
  std::string links;
  for (int i = 1; i <= 12; ++i) {
    const std::string path = "/docs/p" + std::to_string(i) + ".htm";
    links += "<a href=\"" + path + "\">p</a>";
    server_.Serve("http://www.site.test" + path,
                  ScriptedResponse::Page(Html("P" + std::to_string(i), std::string(600, 'x'))));
  }
  server_.Serve("http://www.site.test/docs/", ScriptedResponse::Page(Html("Docs", links)));
  live_.searchbar = 4;
  live_.restrictnumberoffiles = true;
  live_.filesrestriction.text = "5";
  port_.ExpectInformation(kByLimit);
  Crawl(kStart);
  EXPECT_EQ(main_->state().numproc, "5");
  EXPECT_EQ(main_->QDB().Count(), 10);
  EXPECT_EQ(PageListRows().size(), 5u);
  ExpectIdleControls();
}

// A start page linking to four pages that never answer: four slots are all busy.
void ServeStallingSite(HttpTestServer& server) {
  std::string links;
  for (int i = 1; i <= 4; ++i) {
    const std::string path = "/docs/s" + std::to_string(i) + ".htm";
    links += "<a href=\"" + path + "\">s</a>";
    server.Serve("http://www.site.test" + path, ScriptedResponse::Raw("").Stall());
  }
  server.Serve("http://www.site.test/docs/", ScriptedResponse::Page(Html("Docs", links)));
}

TEST_F(CrawlRunTest, AHaltEndsEveryTransferAndRestoresTheControls) {
  ServeStallingSite(server_);
  live_.searchbar = 4;
  Start(kStart);
  ASSERT_TRUE(HttpTestServer::WaitFor([this] { return server_.OpenConnections() == 4; }, 10s));

  port_.ExpectInformation(kByUser);
  main_->HaltSearch1Click();
  EXPECT_FALSE(main_->state().searchbtn.enabled);
  WaitForEnd();
  EXPECT_EQ(main_->state().numproc, "1");
  EXPECT_EQ(PageListRows(), Strings{kStart + "\tDocs"});
  ExpectIdleControls();
  EXPECT_FALSE(main_->state().stopped);

  port_.ExpectInformation("No transfers are currently active.");
  main_->HaltSearch1Click();
}

TEST_F(CrawlRunTest, ClosingDuringACrawlAnsweredNoGoesOnAndYesClosesAtTheEnd) {
  ServeStallingSite(server_);
  live_.searchbar = 2;
  live_.slowtimeout.text = "1";  // the stalled pages end one by one; the crawl goes on
  Start(kStart);
  ASSERT_TRUE(HttpTestServer::WaitFor([this] { return server_.OpenConnections() == 2; }, 10s));

  port_.ExpectMessage(MessageKind::kQuestion, kCloseQuestion, Answer::kNo);
  EXPECT_EQ(main_->FormClose({}), CloseAction::kKeepOpen);
  EXPECT_TRUE(main_->crawlrunning());
  // The crawl goes on: the stalled transfers are cut and the next ones are taken.
  ASSERT_TRUE(HttpTestServer::WaitFor([this] { return server_.ConnectionCount() >= 4; }, 10s));

  int close_requests = 0;
  QObject::connect(main_.get(), &Tsearchmain::closeRequested, [&] { ++close_requests; });
  port_.ExpectMessage(MessageKind::kQuestion, kCloseQuestion, Answer::kYes);
  EXPECT_EQ(main_->FormClose({}), CloseAction::kCloseWhenCrawlEnds);
  WaitForEnd();
  // No message: the window closes.
  EXPECT_EQ(close_requests, 1);
  EXPECT_EQ(main_->FormClose({}), CloseAction::kClose);
}

TEST_F(CrawlRunTest, TheWindowCanGoWhileTransfersHangWithoutAMessage) {
  ServeStallingSite(server_);
  live_.searchbar = 4;
  Start(kStart);
  ASSERT_TRUE(HttpTestServer::WaitFor([this] { return server_.OpenConnections() == 4; }, 10s));
  main_.reset();  // stops and joins the workers; nothing is reported any more
  EXPECT_TRUE(HttpTestServer::WaitFor([this] { return server_.OpenConnections() == 0; }, 5s));
}

TEST_F(CrawlRunTest, SuspendedWorkersTakeNoStepUntilResumed) {
  ServeSite(server_);
  SetScope(SearchType::kServer);
  // Suspended before the workers start, so none can have asked for a transfer yet.
  ops_.SuspendCrawlWorkers(*main_);
  Start(kStart);
  EXPECT_FALSE(HttpTestServer::WaitFor([this] { return server_.ConnectionCount() > 0; }, 500ms));
  EXPECT_TRUE(main_->crawlrunning());

  port_.ExpectInformation(kRetrieved);
  ops_.ResumeCrawlWorkers(*main_);
  WaitForEnd();
  EXPECT_EQ(main_->state().numproc, "4");
}

// Crawls with "Allow HTTPS" against nginx, which serves one document root over plain HTTP
// (on Port()) and over TLS (on TlsPort(kGood), certificate for "localhost"); the test's
// own certificate authority is trusted through SSL_CERT_FILE.
class HttpsCrawlRunTest : public CrawlRunTest {
 protected:
  static void SetUpTestSuite() {
    startup_.Start([] {
      certificates_ = std::make_unique<testing::TestCertificates>();
      certificates_->TrustAloneInThisProcess();
      nginx_ = std::make_unique<testing::NginxPeer>(std::map<std::string, std::string>{},
                                                    certificates_.get());
    });
  }
  static void TearDownTestSuite() {
    nginx_.reset();
    certificates_.reset();
  }
  void SetUp() override {
    FERROWYN_EXPECT_PEERS_STARTED(startup_);
    live_.proxyserver.text.clear();
    live_.proxyport.text.clear();
    live_.allowhttps = true;
    plain_ = "http://localhost:" + std::to_string(nginx_->Port());
    tls_ = nginx_->TlsUrl(testing::TestCertificates::kGood, "");
    other_ = nginx_->Url("");
  }

  static inline std::unique_ptr<testing::TestCertificates> certificates_;
  static inline std::unique_ptr<testing::NginxPeer> nginx_;
  static inline testing::PeerStartup startup_;
  std::string plain_, tls_,
      other_;  // "http://localhost:P", "https://localhost:T", "http://127.0.0.1:P"
};

// http:// and https:// URLs of one host are one server for every scope; the store keeps
// each page under its own scheme.
TEST_F(HttpsCrawlRunTest, AMixedSiteIsCrawledAcrossSchemesInEachScope) {
  nginx_->AddFile(
      "docs/index.html",
      Html("Docs", "<a href=\"a.htm\">a</a><a href=\"" + tls_ + "/docs/a.htm\">a</a><a href=\"" +
                       tls_ + "/docs/b.htm\">b</a><a href=\"" + tls_ +
                       "/top.htm\">t</a><a href=\"" + other_ + "/o.htm\">o</a>"));
  nginx_->AddFile("docs/a.htm", Html("A", ""));
  // Over TLS, "c.htm" and "//localhost:T/docs/d.htm" stay https://.
  nginx_->AddFile("docs/b.htm",
                  Html("B", "<a href=\"c.htm\">c</a><a href=\"" + tls_.substr(6) +
                                "/docs/d.htm\">d</a><a href=\"" + plain_ + "/docs/a.htm\">a</a>"));
  nginx_->AddFile("docs/c.htm", Html("C", ""));
  nginx_->AddFile("docs/d.htm", Html("D", ""));
  nginx_->AddFile("top.htm", Html("Top", ""));
  nginx_->AddFile("o.htm", Html("O", ""));
  const std::string start = plain_ + "/docs/";
  // a.htm over both schemes is two pages.
  const Strings all = {start + "\tDocs",        start + "a.htm\tA",     tls_ + "/docs/a.htm\tA",
                       tls_ + "/docs/b.htm\tB", tls_ + "/top.htm\tTop", other_ + "/o.htm\tO",
                       tls_ + "/docs/c.htm\tC", tls_ + "/docs/d.htm\tD"};
  struct Case {
    SearchType type;
    Strings rows;
  };
  Strings same_host = all, same_directory;
  same_host.erase(same_host.begin() + 5);
  std::copy_if(same_host.begin(), same_host.end(), std::back_inserter(same_directory),
               [](const std::string& row) { return row.find("/top.htm") == std::string::npos; });
  const std::vector<Case> cases = {
      {SearchType::kNone, all},
      {SearchType::kDomain, same_host},
      {SearchType::kServer, same_host},
      {SearchType::kDirectory, same_directory},
  };
  for (const Case& c : cases) {
    SetScope(c.type);
    main_->clearbtnClick();
    if (!main_->mainview().Empty()) ExpectUnsavedQuestion();
    port_.ExpectInformation(kRetrieved);
    Crawl(start);
    EXPECT_EQ(PageListRows(), c.rows) << static_cast<int>(c.type);
  }
}

// The start page moves from http:// to https:// and the crawl goes on from there.
TEST_F(HttpsCrawlRunTest, AnHttpStartPageRedirectedToHttpsIsAdopted) {
  nginx_->AddFile("index.html",
                  Html("Home", "<a href=\"p.htm\">p</a><a href=\"" + plain_ + "/q.htm\">q</a>"));
  nginx_->AddFile("p.htm", Html("P", ""));
  nginx_->AddFile("q.htm", Html("Q", ""));
  SetScope(SearchType::kServer);
  port_.ExpectInformation(kRetrieved);
  Crawl(plain_ + "/to-tls");
  EXPECT_EQ(main_->state().fields.URL.text, tls_ + "/index.html");
  EXPECT_EQ(PageListRows(),
            (Strings{tls_ + "/index.html\tHome", tls_ + "/p.htm\tP", plain_ + "/q.htm\tQ"}));
}

}  // namespace
}  // namespace ferrowyn
