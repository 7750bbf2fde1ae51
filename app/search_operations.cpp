// The main window's operations in other parts: the crawl run is the controller's
// own; the rest do what the window does while the query engine, the site files and
// the guidance windows are not plugged in.
#include "app/search_operations.h"

#include "app/search_center.h"

namespace ferrowyn {

void SearchOperations::startrecurse(Tsearchmain& main, const std::string& scope,
                                    const std::string& filter, const std::string& url) {
  main.startrecurse(scope, filter, url);
}

void SearchOperations::finalterminate(Tsearchmain& main) { main.crawl().finalterminate(); }
void SearchOperations::SuspendCrawlWorkers(Tsearchmain& main) { main.crawl().SuspendWorkers(); }
void SearchOperations::ResumeCrawlWorkers(Tsearchmain& main) { main.crawl().ResumeWorkers(); }

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
