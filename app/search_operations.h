// The main window's operations that live in other parts of the program (crawl run,
// query engine, site files, the guidance windows, help). The search-center
// controller reaches them only through this interface, so that each part plugs in
// its own implementation and tests can watch the calls.
#pragma once

#include <string>

namespace ferrowyn {

class Tsearchmain;

// Help contexts of the main window and its dialogs.
inline constexpr int kHelpContents = 1000;
inline constexpr int kHelpSearchPage = 1019;
inline constexpr int kHelpSiteMapPage = 1020;
inline constexpr int kHelpLoginDialog = 1063;
inline constexpr int kHelpFilterDialog = 1011;

// The maker's home page, which the Help menu and the about box hand to the browser.
// Under a reserved example domain until the maker has a real address.
inline constexpr char kMakerHomePage[] = "http://www.ferrowyn.example/";

// The login and filter dialogs refuse incomplete answers with these; the
// controller checks the answers once more with the same texts.
inline constexpr char kLoginIncomplete[] = "You must complete both of these fields.";
inline constexpr char kFilterIncomplete[] = "You must complete this field before continuing.";

// The three wizards of the search button's menu.
enum class Wizard {
  kBasicBuild,            // Tbasicbuildform
  kDynamicBuildAndQuery,  // Tbasicqueryform
  kQueryOnly,             // Tonlyquery
};

// Every operation runs on the GUI thread, called by the controller `main`, and may
// change its state. The defaults here are what the program does while a part is
// missing: nothing that could leave the window stuck or touch a file. Operations
// let their own failures reach the caller unless their part says otherwise.
class SearchOperations {
 public:
  virtual ~SearchOperations() = default;

  // Crawl run. `startrecurse` takes over once the search page has validated the
  // URL and asked for the login and the filter; `scope` is "Domain", "Directory",
  // "Server", "Filter" or "None", `filter` the filter text ("" unless "Filter").
  // Default: the controller's own crawl run (Tsearchmain::startrecurse).
  virtual void startrecurse(Tsearchmain& main, const std::string& scope, const std::string& filter,
                            const std::string& url);
  // Ends the running crawl: stops the crawl workers and the query workers.
  virtual void finalterminate(Tsearchmain& main);
  // Holds every running crawl worker while the close question is shown, and lets
  // them go on afterwards exactly where they were.
  virtual void SuspendCrawlWorkers(Tsearchmain& main);
  virtual void ResumeCrawlWorkers(Tsearchmain& main);

  // Query engine: starts a query over the stored site with `keywords` / stops the
  // running query. Default: the controller's own (Tsearchmain::querygo, terminatequery).
  virtual void querygo(Tsearchmain& main, const std::string& keywords);
  virtual void terminatequery(Tsearchmain& main);

  // Site files: opens the site file at `path` ("" asks for it) / runs the save dialog.
  // True when the site was loaded / saved. Default: the controller's own.
  virtual bool opensitedialog(Tsearchmain& main, const std::string& path);
  virtual bool savesitedialog(Tsearchmain& main);

  // Windows. `showagain` is the state of the Getting Started window's check box
  // "Do not show this form at startup".
  virtual void ShowGettingStarted(Tsearchmain& main, bool showagain);
  virtual void ShowWizard(Tsearchmain& main, Wizard wizard);
  virtual void ShowSetup(Tsearchmain& main);
  virtual void ShowTutorial(Tsearchmain& main);
  virtual void ShowAbout(Tsearchmain& main);
  // Opens the help file at a context number; false when it cannot be shown.
  // Default: there is no help, so false.
  virtual bool ShowHelp(int context);
};

}  // namespace ferrowyn
