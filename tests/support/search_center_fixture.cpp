// The recording operations and the fixture of the search-center tests.
#include "tests/support/search_center_fixture.h"

#include <filesystem>

namespace ferrowyn::testing {

void RecordingOperations::startrecurse(Tsearchmain& main, const std::string& scope,
                                       const std::string& filter, const std::string& url) {
  calls.push_back("startrecurse " + scope + "|" + filter + "|" + url);
  queryactive_at_start = main.state().queryactive;
  livequery_at_start = main.state().livequery;
  // Without start_crawl the crawl is refused at once, as if it could not start: the
  // controls come back and nothing runs.
  if (!start_crawl) return main.restorecontrols();
  main.elapsedtimer().start();
  main.state().searchbtn = {kHaltCaption, true};
  main.state().EngageFerrowyn1.enabled = true;
  main.state().HaltSearch1.enabled = true;
}

void RecordingOperations::finalterminate(Tsearchmain&) { calls.push_back("finalterminate"); }
void RecordingOperations::SuspendCrawlWorkers(Tsearchmain&) { calls.push_back("suspend"); }
void RecordingOperations::ResumeCrawlWorkers(Tsearchmain&) { calls.push_back("resume"); }

void RecordingOperations::querygo(Tsearchmain& main, const std::string& keywords) {
  calls.push_back("querygo " + keywords);
  if (end_query) main.queryended();
}

void RecordingOperations::terminatequery(Tsearchmain& main) {
  calls.push_back("terminatequery");
  if (end_query) main.queryended();
}

bool RecordingOperations::opensitedialog(Tsearchmain&, const std::string& path) {
  calls.push_back("opensitedialog " + path);
  return site_result;
}
bool RecordingOperations::savesitedialog(Tsearchmain&) {
  calls.push_back("savesitedialog");
  return site_result;
}

void RecordingOperations::ShowGettingStarted(Tsearchmain&, bool showagain) {
  calls.push_back(std::string("ShowGettingStarted ") + (showagain ? "checked" : "unchecked"));
}

void RecordingOperations::ShowWizard(Tsearchmain&, Wizard wizard) {
  const char* names[] = {"Tbasicbuildform", "Tbasicqueryform", "Tonlyquery"};
  calls.push_back(std::string("ShowWizard ") + names[static_cast<int>(wizard)]);
}

void RecordingOperations::ShowSetup(Tsearchmain&) { calls.push_back("ShowSetup"); }
void RecordingOperations::ShowTutorial(Tsearchmain&) { calls.push_back("ShowTutorial"); }
void RecordingOperations::ShowAbout(Tsearchmain&) { calls.push_back("ShowAbout"); }
void RecordingOperations::ShowMailMiner(Tsearchmain&) { calls.push_back("ShowMailMiner"); }

bool RecordingOperations::ShowHelp(int context) {
  calls.push_back("ShowHelp " + std::to_string(context));
  return help_result;
}

SearchCenterFixture::SearchCenterFixture()
    : programdir_(dir_.path().toStdString()), store_(programdir_ + "/settings.ini") {}

Tsearchmain& SearchCenterFixture::Make(std::vector<std::string> arguments) {
  main_ =
      std::make_unique<Tsearchmain>(port_, store_, programdir_, live_, ops_, std::move(arguments));
  return *main_;
}

void SearchCenterFixture::LoadSite(int records, const std::string& url) {
  std::filesystem::create_directories(programdir_ + "/data");
  main_->QDB().SetFileName(programdir_ + "/data/temp.fwt");
  for (int i = 0; i < records; ++i) {
    main_->QDB().AddItem("page " + std::to_string(i), "DISPLAYXX" + url + std::to_string(i));
  }
  main_->state().siteloaded = true;
  main_->state().siteurl = url;
}

void SearchCenterFixture::StartCrawl() {
  main_->elapsedtimer().start();
  main_->state().searchbtn.caption = kHaltCaption;
}

}  // namespace ferrowyn::testing
