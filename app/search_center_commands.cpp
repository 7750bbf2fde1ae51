// Tsearchmain: the commands of the search button's drop-down menu, the Help menu
// and the toolbar, each with its guards in the order they are tested.
#include "app/search_center.h"
#include "app/settings_operations.h"

namespace ferrowyn {

namespace {
constexpr char kSearchAlreadyActive[] = "A search is already active.";
constexpr char kSetupWhileBusy[] = "You cannot access Setup while a transfer or a query is active.";
constexpr char kBrowserFailed[] = "There was an error while trying to open your browser.";
constexpr char kHelpFailed[] = "There was an error while trying to load the help file.";
// The toolbar's height: the window grows by it when the toolbar docks.
constexpr int kToolbarHeight = 55;
}  // namespace

bool Tsearchmain::RefuseNewSearch() {
  if (crawlrunning()) {
    port_.Error(kSearchAlreadyActive);
    return true;
  }
  if (state_.queryactive) {
    port_.Error(kSearchWhileQueryMessage);
    return true;
  }
  return false;
}

void Tsearchmain::EngageFerrowyn1Click() {
  if (!RefuseNewSearch()) SearchBtnClick();
}

void Tsearchmain::HaltSearch1Click() { haltsearch(); }

void Tsearchmain::BasicBuild1Click() {
  if (!RefuseNewSearch()) ops_.ShowWizard(*this, Wizard::kBasicBuild);
}

void Tsearchmain::DynamicBuildandQuery1Click() {
  if (!RefuseNewSearch()) ops_.ShowWizard(*this, Wizard::kDynamicBuildAndQuery);
}

void Tsearchmain::QueryOnly1Click() {
  if (!RefuseNewSearch()) ops_.ShowWizard(*this, Wizard::kQueryOnly);
}

void Tsearchmain::Setup1Click() {
  if (crawlrunning() || state_.queryactive) {
    port_.Error(kSetupWhileBusy);
    return;
  }
  ops_.ShowSetup(*this);
}

void Tsearchmain::About1Click() { ops_.ShowAbout(*this); }

void Tsearchmain::Contents1Click() { ops_.ShowHelp(kHelpContents); }

void Tsearchmain::Registration1Click() { ops_.ShowTutorial(*this); }

void Tsearchmain::EnableHints1Click() {
  ferrowyn::EnableHints1Click(store_, live_);
  emit hintsChanged(live_.hints);
  emit changed();
}

void Tsearchmain::GettingStarted1Click() {
  ops_.ShowGettingStarted(*this, !loadregistryfirst(store_));
}

void Tsearchmain::HomePage1Click() {
  if (!port_.OpenUrl(kMakerHomePage)) port_.Error(kBrowserFailed);
}

void Tsearchmain::ToolbarButton971Click() {
  setcursor(Cursor::kHourglass);
  emit closeRequested();
}

void Tsearchmain::ToolbarButton972Click() {
  const int context = state_.activepage == MainPage::kSiteMap ? kHelpSiteMapPage : kHelpSearchPage;
  if (!ops_.ShowHelp(context)) port_.Error(kHelpFailed);
}

void Tsearchmain::ToolbarButton974Click() {
  state_.activepage = MainPage::kSiteMap;
  state_.popupmenu = WindowMenu::kMapMenu;
  emit changed();
}

void Tsearchmain::ToolbarButton975Click() {
  state_.activepage = MainPage::kSearch;
  state_.popupmenu = WindowMenu::kStartMenu;
  emit changed();
}

void Tsearchmain::Toolbar971DockChanged(bool docked) {
  emit heightChangeRequested(docked ? kToolbarHeight : -kToolbarHeight);
}

}  // namespace ferrowyn
