// A search-center controller for tests: settings in a temporary file, a program
// directory of its own, the scripted user port, and operations that record every
// call the controller makes into the engines and windows.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/search_center.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn::testing {

// Each call becomes one line: the operation's name and its arguments after blanks,
// e.g. "startrecurse Domain||http://a/" or "ShowHelp 1019".
class RecordingOperations : public SearchOperations {
 public:
  std::vector<std::string> calls;
  // startrecurse starts the elapsed-time clock and shows "Halt Search", as the
  // crawl engine does, instead of restoring the controls at once.
  bool start_crawl = false;
  // What ShowHelp answers.
  bool help_result = true;
  // Whether querygo and terminatequery end the query at once, as if every page had
  // been searched.
  bool end_query = false;
  // What opensitedialog and savesitedialog answer.
  bool site_result = false;
  // The controller's `queryactive` and `livequery` when startrecurse was called.
  bool queryactive_at_start = false;
  bool livequery_at_start = false;

  void startrecurse(Tsearchmain& main, const std::string& scope, const std::string& filter,
                    const std::string& url) override;
  void finalterminate(Tsearchmain& main) override;
  void SuspendCrawlWorkers(Tsearchmain& main) override;
  void ResumeCrawlWorkers(Tsearchmain& main) override;
  void querygo(Tsearchmain& main, const std::string& keywords) override;
  void terminatequery(Tsearchmain& main) override;
  bool opensitedialog(Tsearchmain& main, const std::string& path) override;
  bool savesitedialog(Tsearchmain& main) override;
  void ShowGettingStarted(Tsearchmain& main, bool showagain) override;
  void ShowWizard(Tsearchmain& main, Wizard wizard) override;
  void ShowSetup(Tsearchmain& main) override;
  void ShowTutorial(Tsearchmain& main) override;
  void ShowAbout(Tsearchmain& main) override;
  void ShowMailMiner(Tsearchmain& main) override;
  bool ShowHelp(int context) override;
};

class SearchCenterFixture : public ::testing::Test {
 protected:
  SearchCenterFixture();

  // Creates the controller (its constructor runs FormCreate) with these
  // command-line arguments.
  Tsearchmain& Make(std::vector<std::string> arguments = {});
  // A site in the site store: a store file in "data" holding `records` items.
  void LoadSite(int records, const std::string& url = "http://site.test/");
  // The elapsed-time clock runs, as during a crawl, with "Halt Search" shown.
  void StartCrawl();

  QTemporaryDir dir_;
  std::string programdir_;
  SettingsStore store_;
  LiveSettings live_;
  ScriptedUserPort port_;
  RecordingOperations ops_;
  std::unique_ptr<Tsearchmain> main_;
};

}  // namespace ferrowyn::testing
