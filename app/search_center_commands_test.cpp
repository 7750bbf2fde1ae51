// The commands of the search button's menu, the Help menu and the toolbar.
#include <gtest/gtest.h>

#include "app/search_center.h"
#include "tests/support/search_center_fixture.h"

namespace ferrowyn::testing {
namespace {

using Strings = std::vector<std::string>;

constexpr char kAlreadyActive[] = "A search is already active.";
constexpr char kWhileQuery[] = "You cannot run a search while a query is active.";

class SearchCommandsTest : public SearchCenterFixture {
 protected:
  SearchCommandsTest() { Make(); }
};

TEST_F(SearchCommandsTest, NewSearchesAreRefusedDuringACrawlOrQuery) {
  using Command = void (Tsearchmain::*)();
  const std::pair<Command, const char*> commands[] = {
      {&Tsearchmain::EngageFerrowyn1Click, "startrecurse None||http://a.test/"},
      {&Tsearchmain::BasicBuild1Click, "ShowWizard Tbasicbuildform"},
      {&Tsearchmain::DynamicBuildandQuery1Click, "ShowWizard Tbasicqueryform"},
      {&Tsearchmain::QueryOnly1Click, "ShowWizard Tonlyquery"},
  };
  main_->state().fields.URL.text = "http://a.test/";
  for (const auto& [command, call] : commands) {
    ops_.calls.clear();
    main_->state().queryactive = true;
    port_.ExpectError(kWhileQuery);
    (main_.get()->*command)();

    StartCrawl();  // the crawl guard is tested first
    port_.ExpectError(kAlreadyActive);
    (main_.get()->*command)();
    EXPECT_TRUE(ops_.calls.empty()) << call;

    main_->elapsedtimer().stop();
    main_->state() = SearchCenterState{};
    main_->state().fields.URL.text = "http://a.test/";
    (main_.get()->*command)();
    EXPECT_EQ(ops_.calls, (Strings{call}));
  }
}

TEST_F(SearchCommandsTest, SetupIsRefusedDuringACrawlOrQuery) {
  const char* kBusy = "You cannot access Setup while a transfer or a query is active.";
  main_->state().queryactive = true;
  port_.ExpectError(kBusy);
  main_->Setup1Click();
  main_->state().queryactive = false;
  StartCrawl();
  port_.ExpectError(kBusy);
  main_->Setup1Click();
  EXPECT_TRUE(ops_.calls.empty());

  main_->elapsedtimer().stop();
  main_->Setup1Click();
  EXPECT_EQ(ops_.calls, (Strings{"ShowSetup"}));
}

TEST_F(SearchCommandsTest, TheMailMinerIsRefusedDuringARetrievalOnly) {
  main_->state().queryactive = true;  // a query adds no addresses
  main_->MailMiner1Click();
  StartCrawl();
  port_.ExpectError("You cannot access Mail Mining while Ferrowyn! is active.");
  main_->MailMiner1Click();
  EXPECT_EQ(ops_.calls, (Strings{"ShowMailMiner"}));
}

TEST_F(SearchCommandsTest, HelpFollowsTheShownPage) {
  main_->ToolbarButton972Click();
  main_->ToolbarButton974Click();
  EXPECT_EQ(main_->state().activepage, MainPage::kSiteMap);
  EXPECT_EQ(main_->state().popupmenu, WindowMenu::kMapMenu);
  main_->ToolbarButton972Click();
  main_->Contents1Click();
  EXPECT_EQ(ops_.calls, (Strings{"ShowHelp 1019", "ShowHelp 1020", "ShowHelp 1000"}));

  ops_.help_result = false;
  main_->ToolbarButton975Click();
  EXPECT_EQ(main_->state().activepage, MainPage::kSearch);
  EXPECT_EQ(main_->state().popupmenu, WindowMenu::kStartMenu);
  port_.ExpectError("There was an error while trying to load the help file.");
  main_->ToolbarButton972Click();
  main_->Contents1Click();  // the menu item has no message of its own
}

TEST_F(SearchCommandsTest, WindowsOfTheHelpMenu) {
  main_->GettingStarted1Click();
  store_.Write("Defaults", "ShowFirst", "On");
  main_->GettingStarted1Click();
  main_->Registration1Click();
  main_->About1Click();
  EXPECT_EQ(ops_.calls, (Strings{"ShowGettingStarted unchecked", "ShowGettingStarted checked",
                                 "ShowTutorial", "ShowAbout"}));
}

TEST_F(SearchCommandsTest, TheHomePageGoesToTheBrowser) {
  main_->HomePage1Click();
  EXPECT_EQ(port_.events(), (Strings{"open http://www.ferrowyn.example/"}));
  port_.set_open_url_result(false);
  port_.ExpectError("There was an error while trying to open your browser.");
  main_->HomePage1Click();
}

TEST_F(SearchCommandsTest, ShowHintsFlipsAndWritesTheSwitch) {
  std::vector<bool> hints;
  QObject::connect(main_.get(), &Tsearchmain::hintsChanged, [&](bool on) { hints.push_back(on); });
  main_->EnableHints1Click();
  EXPECT_FALSE(live_.hints);
  EXPECT_EQ(store_.Read("Defaults", "Hints"), "FALSE");
  main_->EnableHints1Click();
  EXPECT_EQ(store_.Read("Defaults", "Hints"), "TRUE");
  EXPECT_EQ(hints, (std::vector<bool>{false, true}));
}

TEST_F(SearchCommandsTest, ToolbarExitAndDocking) {
  int closes = 0;
  std::vector<int> deltas;
  QObject::connect(main_.get(), &Tsearchmain::closeRequested, [&] { ++closes; });
  QObject::connect(main_.get(), &Tsearchmain::heightChangeRequested,
                   [&](int delta) { deltas.push_back(delta); });
  main_->ToolbarButton971Click();
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(main_->state().cursor, Cursor::kHourglass);
  main_->Toolbar971DockChanged(false);
  main_->Toolbar971DockChanged(true);
  EXPECT_EQ(deltas, (std::vector<int>{-55, 55}));
}

}  // namespace
}  // namespace ferrowyn::testing
