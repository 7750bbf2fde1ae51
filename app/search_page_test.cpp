// The search page: crawl or query, the checks of the URL and keyword fields, the
// login and filter dialogs, halting, Enter and "Clear Search".
#include <gtest/gtest.h>

#include "app/search_center.h"
#include "tests/support/search_center_fixture.h"

namespace ferrowyn::testing {
namespace {

using Strings = std::vector<std::string>;

constexpr char kNoSite[] = "You must first open a Ferrowyn! site to search.";
constexpr char kNothingToHalt[] = "No transfers are currently active.";

class SearchPageTest : public SearchCenterFixture {
 protected:
  SearchPageTest() { Make(); }
  SearchCenterState& state() { return main_->state(); }
  // The four controls a crawl start disables are all enabled.
  bool RunControlsEnabled() {
    return state().searchbtn.enabled && state().clearbtn.enabled &&
           state().EngageFerrowyn1.enabled && state().HaltSearch1.enabled;
  }
  void Press(const std::string& url, const std::string& keywords = "") {
    state().fields.URL.text = url;
    state().fields.querysearch.text = keywords;
    main_->SearchBtnClick();
  }
};

TEST_F(SearchPageTest, TheSameSiteIsQueriedAndAnotherUrlCrawled) {
  state().siteurl = "http://site.test/";
  for (const char* same : {"http://site.test/", "http://site.test", "http://site.test//"}) {
    port_.ExpectError(kNoSite);
    Press(same);
    EXPECT_EQ(state().statisticspage, StatisticsPage::kQuery) << same;
  }
  EXPECT_TRUE(ops_.calls.empty());

  Press("http://SITE.test/");  // compared exactly
  EXPECT_EQ(state().statisticspage, StatisticsPage::kRetrieval);
  EXPECT_EQ(ops_.calls, (Strings{"startrecurse None||http://SITE.test/"}));
}

TEST_F(SearchPageTest, WithoutASiteUrlEveryPressCrawls) {
  port_.ExpectError("You must first enter a URL to search.");
  Press("");
  EXPECT_EQ(state().statisticspage, StatisticsPage::kRetrieval);

  state().siteurl = "http://site.test/";
  main_->clearbtnClick();
  EXPECT_EQ(state().fields.URL.text, "http://");
  EXPECT_EQ(state().siteurl, "");
  state().fields.URL.text = "http://site.test/";
  main_->SearchBtnClick();
  EXPECT_EQ(ops_.calls, (Strings{"startrecurse None||http://site.test/"}));
}

TEST_F(SearchPageTest, TheUrlGetsItsSchemeOrIsRefused) {
  Press("www.site.test");
  Press("ftp://files.test/");
  EXPECT_EQ(ops_.calls, (Strings{"startrecurse None||http://www.site.test",
                                 "startrecurse None||http://ftp://files.test/"}));
  EXPECT_EQ(state().fields.URL.text, "http://ftp://files.test/");
  EXPECT_TRUE(RunControlsEnabled());  // the default crawl engine gives them back

  ops_.calls.clear();
  for (const char* bare : {"http://", "HTTP://", "Http://"}) {
    port_.ExpectError("You must enter a valid URL to search.");
    Press(bare);
    EXPECT_TRUE(RunControlsEnabled()) << bare;
  }
  EXPECT_TRUE(ops_.calls.empty());

  // Without "Allow HTTPS" an https:// URL is just another scheme.
  Press("https://secure.test/");
  Press("https://");
  EXPECT_EQ(ops_.calls, (Strings{"startrecurse None||http://https://secure.test/",
                                 "startrecurse None||http://https://"}));
}

TEST_F(SearchPageTest, WithAllowHttpsAnHttpsUrlIsKeptAsTyped) {
  main_->live().allowhttps = true;
  Press("HTTPS://Secure.test/a");
  Press("http://plain.test/");
  Press("https:/secure.test/");
  Press("www.site.test");
  EXPECT_EQ(ops_.calls, (Strings{"startrecurse None||HTTPS://Secure.test/a",
                                 "startrecurse None||http://plain.test/",
                                 "startrecurse None||http://https:/secure.test/",
                                 "startrecurse None||http://www.site.test"}));
  ops_.calls.clear();
  for (const char* bare : {"https://", "HTTPS://", "http://"}) {
    port_.ExpectError("You must enter a valid URL to search.");
    Press(bare);
    EXPECT_EQ(state().fields.URL.text, bare);
  }
  EXPECT_TRUE(ops_.calls.empty());
}

TEST_F(SearchPageTest, KeywordsAreTrimmedAndMakeTheCrawlQueryLive) {
  state().hits = "4";
  state().pages = "9";
  state().pagesavl = "9";
  state().numproc = "7";
  main_->querylist().AppendRow("http://old/", "", "");
  Press("http://a.test/", "  \"red fox\" den \t");

  EXPECT_EQ(state().fields.querysearch.text, "\"red fox\" den");
  EXPECT_TRUE(ops_.livequery_at_start);
  EXPECT_TRUE(ops_.queryactive_at_start);
  EXPECT_EQ(state().livekeywords, "\"red fox\" den");
  EXPECT_EQ(state().hits + state().pages + state().pagesavl, "000");
  EXPECT_EQ(state().numproc, "7");  // the crawl engine resets the retrieval counters
  EXPECT_EQ(main_->querylist().rowCount(), 0);

  Press("http://a.test/", "   ");
  EXPECT_FALSE(ops_.livequery_at_start);
  EXPECT_FALSE(ops_.queryactive_at_start);
}

TEST_F(SearchPageTest, ACrawlIsRefusedWhileAQueryRuns) {
  state().queryactive = true;
  port_.ExpectError("You cannot run a search while a query is active.");
  Press("http://a.test/");
  EXPECT_TRUE(ops_.calls.empty());
  EXPECT_TRUE(RunControlsEnabled());
}

TEST_F(SearchPageTest, TheScopeComesFromTheSetupDialog) {
  const std::pair<SearchType, const char*> scopes[] = {
      {SearchType::kDomain, "Domain"},
      {SearchType::kDirectory, "Directory"},
      {SearchType::kServer, "Server"},
      {SearchType::kNone, "None"},
  };
  for (const auto& [type, name] : scopes) {
    live_.searchtype = type;
    ops_.calls.clear();
    Press("http://a.test/dir/");
    EXPECT_EQ(ops_.calls, (Strings{std::string("startrecurse ") + name + "||http://a.test/dir/"}));
  }
}

TEST_F(SearchPageTest, TheFilterDialogGivesTheFilterSkipsItOrAborts) {
  live_.searchtype = SearchType::kFilter;
  port_.ExpectFilter({FilterAnswer::kOk, "   "})
      .ExpectError("You must complete this field before continuing.")
      .ExpectFilter({FilterAnswer::kOk, "  News "});
  Press("http://a.test/");
  EXPECT_EQ(state().crawlfilter, "News");

  port_.ExpectFilter({FilterAnswer::kSkip, "ignored"});
  Press("http://a.test/");
  EXPECT_EQ(ops_.calls, (Strings{"startrecurse Filter|News|http://a.test/",
                                 "startrecurse None||http://a.test/"}));

  ops_.calls.clear();
  port_.ExpectFilter({FilterAnswer::kAbort, ""});
  Press("http://a.test/", "fox");
  EXPECT_TRUE(ops_.calls.empty());
  EXPECT_FALSE(state().queryactive);
  EXPECT_TRUE(RunControlsEnabled());
}

TEST_F(SearchPageTest, TheLoginIsAskedUntilCompleteOrAbandoned) {
  live_.userpass = true;
  port_.ExpectLogin({LoginAnswer::kOk, "ann", ""})
      .ExpectError("You must complete both of these fields.")
      .ExpectLogin({LoginAnswer::kOk, "", "secret"})
      .ExpectError("You must complete both of these fields.")
      .ExpectLogin({LoginAnswer::kOk, "ann", "secret"});
  Press("http://a.test/");
  EXPECT_TRUE(state().usecredentials);
  EXPECT_EQ(state().credentialuser, "ann");
  EXPECT_EQ(state().credentialpassword, "secret");

  port_.ExpectLogin({LoginAnswer::kNo, "", ""});
  Press("http://a.test/");
  EXPECT_FALSE(state().usecredentials);
  EXPECT_EQ(ops_.calls.size(), 2u);

  port_.ExpectLogin({LoginAnswer::kAbort, "", ""});
  Press("http://a.test/");
  EXPECT_EQ(ops_.calls.size(), 2u);
  EXPECT_TRUE(RunControlsEnabled());

  state().usecredentials = true;
  live_.userpass = false;
  Press("http://a.test/");
  EXPECT_FALSE(state().usecredentials);
}

TEST_F(SearchPageTest, QueryGuards) {
  state().siteurl = "http://site.test/";
  port_.ExpectError(kNoSite);
  Press("http://site.test/", "fox");

  LoadSite(0);
  port_.ExpectError("This site contains no data to query.");
  Press("http://site.test/", "fox");

  LoadSite(2);
  port_.ExpectError("This query contains an invalid character. Please re-enter.");
  Press("http://site.test/", " fox|den ");
  EXPECT_EQ(state().fields.querysearch.text, "fox|den");
  port_.ExpectInformation("You must first complete the keyword field.");
  Press("http://site.test/", "  ");
  EXPECT_TRUE(ops_.calls.empty());
  EXPECT_TRUE(store_.ReadList("QueryHistory").empty());
}

TEST_F(SearchPageTest, AQueryStartsWithItsHistoryAndControls) {
  LoadSite(2);
  state().fields.querysearch.items = {"den"};
  main_->querylist().AppendRow("http://old/", "", "");
  Press("http://site.test", "  fox  ");

  EXPECT_EQ(ops_.calls, (Strings{"querygo fox"}));
  EXPECT_EQ(state().fields.querysearch.text, "fox");
  EXPECT_EQ(state().fields.querysearch.items, (Strings{"fox", "den"}));
  EXPECT_EQ(store_.ReadList("QueryHistory"), (Strings{"fox", "den"}));
  EXPECT_EQ(state().searchbtn.caption, "Halt Search");
  EXPECT_FALSE(state().clearbtn.enabled);
  EXPECT_FALSE(state().querysearchenabled);
  EXPECT_EQ(main_->querylist().rowCount(), 0);

  // Pressing again while the query runs stops it.
  state().queryactive = true;
  main_->SearchBtnClick();
  EXPECT_EQ(ops_.calls, (Strings{"querygo fox", "terminatequery"}));
  EXPECT_EQ(state().cursor, Cursor::kHourglass);
}

TEST_F(SearchPageTest, HaltingStopsTheCrawlOrSaysNothingRuns) {
  port_.ExpectInformation(kNothingToHalt);
  main_->haltsearch();
  port_.ExpectInformation(kNothingToHalt);
  main_->HaltSearch1Click();
  state().searchbtn.caption = "Halt Search";  // the caption alone is no crawl
  port_.ExpectInformation(kNothingToHalt);
  Press("http://a.test/");
  EXPECT_TRUE(ops_.calls.empty());

  StartCrawl();
  main_->megatoolong().start();
  main_->megatestsize().start();
  Press("http://another.test/");  // the search button halts a running crawl

  EXPECT_EQ(ops_.calls, (Strings{"finalterminate"}));
  EXPECT_TRUE(state().stopped);
  EXPECT_EQ(state().cursor, Cursor::kHourglass);
  EXPECT_FALSE(state().searchbtn.enabled || state().clearbtn.enabled ||
               state().EngageFerrowyn1.enabled || state().HaltSearch1.enabled);
  EXPECT_FALSE(main_->megatoolong().isActive());
  EXPECT_FALSE(main_->megatestsize().isActive());
  EXPECT_TRUE(main_->crawlrunning());  // the crawl engine stops the clock at the end
}

TEST_F(SearchPageTest, PressingDuringACrawlOfTheSameSiteHaltsIt) {
  ops_.start_crawl = true;
  Press("http://a.test/");
  state().siteurl = "http://a.test/";  // the crawl engine records the site's URL
  ASSERT_TRUE(main_->crawlrunning());
  main_->SearchBtnClick();
  EXPECT_EQ(ops_.calls, (Strings{"startrecurse None||http://a.test/", "finalterminate"}));
}

TEST_F(SearchPageTest, EnterPressesTheSearchButtonUnlessACrawlRuns) {
  state().fields.URL.text = "http://a.test/";
  EXPECT_FALSE(main_->URLKeyDown(Qt::Key_A));
  EXPECT_FALSE(main_->mainsearchKeyDown(Qt::Key_Tab));
  EXPECT_TRUE(ops_.calls.empty());
  EXPECT_TRUE(main_->URLKeyDown(Qt::Key_Return));
  EXPECT_TRUE(main_->mainsearchKeyDown(Qt::Key_Enter));
  EXPECT_EQ(ops_.calls.size(), 2u);

  StartCrawl();
  port_.ExpectError("A transfer is already active. Please abort the transfer and try again.")
      .ExpectError(
          "A transfer is already active. Please abort the current transfer and try again.");
  EXPECT_TRUE(main_->URLKeyDown(Qt::Key_Return));
  EXPECT_TRUE(main_->mainsearchKeyDown(Qt::Key_Return));
  EXPECT_EQ(ops_.calls.size(), 2u);
}

TEST_F(SearchPageTest, ClearSearchEmptiesBothFields) {
  state().fields.URL.text = "http://a.test/";
  state().fields.URL.items = {"http://a.test/"};
  state().fields.querysearch.text = "fox";
  main_->clearbtnClick();
  EXPECT_EQ(state().fields.URL.text, "http://");
  EXPECT_EQ(state().fields.URL.items, (Strings{"http://a.test/"}));
  EXPECT_EQ(state().fields.querysearch.text, "");
}

TEST_F(SearchPageTest, TheElapsedClockTicksOncePerSecondWhileRunning) {
  EXPECT_EQ(main_->elapsedtimer().interval(), 1000);
  state().elapsedview = "99:59:58";
  main_->elapsedtimerTimer();
  main_->elapsedtimerTimer();
  EXPECT_EQ(state().elapsedview, "100:00:00");
  state().elapsedview = "Live";
  main_->elapsedtimerTimer();
  EXPECT_EQ(state().elapsedview, "Live");
}

}  // namespace
}  // namespace ferrowyn::testing
