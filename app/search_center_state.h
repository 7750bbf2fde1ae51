// The search center's state without widgets: what the main window's controls show
// (texts, enabled states, the visible pages) and the flags of the current site,
// crawl and query. The controller owns one; the window displays it.
#pragma once

#include <string>

#include "app/elapsed_clock.h"
#include "app/live_settings.h"
#include "app/settings_operations.h"

namespace ferrowyn {

// The name of a site not yet saved. Not `kUntitled`: the page title of the same text
// has that name, and two inline variables of one name would be merged by the linker.
inline constexpr char kUntitledSite[] = "Untitled";
inline constexpr char kUntitledCaption[] = "Ferrowyn! - Untitled";
inline constexpr char kSearchCaption[] = "Ferrowyn!";  // the search button when idle
inline constexpr char kHaltCaption[] = "Halt Search";  // ... while a crawl or query runs
inline constexpr char kUrlPrefix[] = "http://";

// The two pages of the window, switched by the toolbar (`TabSheet1`, `TabSheet2`).
enum class MainPage { kSearch, kSiteMap };
// The statistics panel `PageControl3`: "Retrieval Statistics" (`TabSheet4`) and
// "Query Statistics" (`TabSheet7`).
enum class StatisticsPage { kRetrieval, kQuery };
// The lower panel `PageControl2`: "Retrieval Progress" (`TabSheet6`, the slot view)
// and "Query Results" (`TabSheet5`, the results list).
enum class LowerPage { kRetrievalProgress, kQueryResults };
// The window's right-click menu: `startmenu` on the search page, `mapmenu` on the
// site map page.
enum class WindowMenu { kStartMenu, kMapMenu };
enum class Cursor { kNormal, kHourglass };

struct Button {
  std::string caption;
  bool enabled = true;
};

struct MenuItem {
  bool enabled = true;
};

// GUI thread only. Counters are kept as the texts they show, because some rules
// read them back as numbers and `numproc`, `bytestran` and `pages` may read "Live".
struct SearchCenterState {
  // Window.
  std::string caption = kUntitledCaption;
  MainPage activepage = MainPage::kSearch;
  StatisticsPage statisticspage = StatisticsPage::kRetrieval;
  LowerPage lowerpage = LowerPage::kQueryResults;
  WindowMenu popupmenu = WindowMenu::kStartMenu;
  Cursor cursor = Cursor::kNormal;
  WindowPosition windowposition;  // as read from the settings when the window is shown

  // Search page: `URL` and `querysearch` with their drop-down items (the histories).
  SearchFields fields;
  bool querysearchenabled = true;  // disabled (silver) while a query runs
  bool any = true;                 // radio `any`; `all` is selected when false
  bool word = false;               // "Match Whole Word Only"
  bool casesensitive = false;      // "Match Case"
  Button searchbtn{kSearchCaption};
  Button clearbtn{"Clear Search"};
  MenuItem EngageFerrowyn1;  // "&Ferrowyn!"
  MenuItem HaltSearch1;      // "&Halt Search"
  MenuItem FindAgain1;       // the page list's "Find &Again"

  // Statistics.
  std::string elapsedview = kElapsedZero;
  std::string numproc = "0";
  std::string bytestran = "0";
  std::string hits = "0";
  std::string pagesavl = "0";
  std::string pages = "0";

  // The site in the site store.
  bool siteloaded = false;
  std::string siteurl;
  std::string sitename = kUntitledSite;
  bool sitesaved = false;

  // The crawl.
  bool stopped = false;
  bool closepending = false;
  bool usecredentials = false;
  std::string credentialuser;
  std::string credentialpassword;
  std::string crawlfilter;
  bool livequery = false;
  std::string livekeywords;

  // The query.
  bool queryactive = false;
  bool queryprepared = false;
  std::string querysitename;
  std::string querykeywords;
  bool queryany = true;
  bool querywholeword = false;
  bool querycasesensitive = false;
};

}  // namespace ferrowyn
