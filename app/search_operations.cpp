// What the main window does while the crawl run, the query engine, the site files
// and the guidance windows are not plugged in.
#include "app/search_operations.h"

#include "app/search_center.h"

namespace ferrowyn {

void SearchOperations::startrecurse(Tsearchmain& main, const std::string&, const std::string&,
                                    const std::string&) {
  // The search page disabled its buttons before handing over; without a crawl
  // engine nobody would enable them again.
  main.restorecontrols();
}

void SearchOperations::finalterminate(Tsearchmain&) {}
void SearchOperations::SuspendCrawlWorkers(Tsearchmain&) {}
void SearchOperations::ResumeCrawlWorkers(Tsearchmain&) {}

void SearchOperations::querygo(Tsearchmain& main, const std::string&) { main.queryended(); }
void SearchOperations::terminatequery(Tsearchmain& main) { main.queryended(); }

void SearchOperations::opensitedialog(Tsearchmain&, const std::string&) {}
void SearchOperations::savesitedialog(Tsearchmain&) {}

void SearchOperations::ShowGettingStarted(Tsearchmain&, bool) {}
void SearchOperations::ShowWizard(Tsearchmain&, Wizard) {}
void SearchOperations::ShowSetup(Tsearchmain&) {}
void SearchOperations::ShowTutorial(Tsearchmain&) {}
void SearchOperations::ShowAbout(Tsearchmain&) {}
bool SearchOperations::ShowHelp(int) { return false; }

}  // namespace ferrowyn
