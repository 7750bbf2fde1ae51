// The main window's operations in other parts: the crawl run, the query engine and the
// site files are the controller's own; the rest do what the window does while the
// guidance windows are not plugged in.
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

void SearchOperations::querygo(Tsearchmain& main, const std::string& keywords) {
  main.querygo(keywords);
}
void SearchOperations::terminatequery(Tsearchmain& main) { main.terminatequery(); }

bool SearchOperations::opensitedialog(Tsearchmain& main, const std::string& path) {
  return main.opensitedialog(path);
}
bool SearchOperations::savesitedialog(Tsearchmain& main) { return main.savesitedialog(); }

void SearchOperations::ShowGettingStarted(Tsearchmain&, bool) {}
void SearchOperations::ShowWizard(Tsearchmain&, Wizard) {}
void SearchOperations::ShowSetup(Tsearchmain&) {}
void SearchOperations::ShowTutorial(Tsearchmain&) {}
void SearchOperations::ShowAbout(Tsearchmain&) {}
void SearchOperations::ShowMailMiner(Tsearchmain&) {}
bool SearchOperations::ShowHelp(int) { return false; }

}  // namespace ferrowyn
