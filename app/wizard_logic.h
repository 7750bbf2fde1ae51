// What the three task wizards check on each page and what their final buttons write
// into the main window's fields and the live settings before the crawl or the query
// starts. The wizards' windows show the pages; every rule lives here.
#pragma once

#include <optional>
#include <string>

#include "app/live_settings.h"

namespace ferrowyn {

class Tsearchmain;

// The help topics of the three wizards, the same on every page.
inline constexpr int kHelpBasicBuildWizard = 1023;
inline constexpr int kHelpBuildAndQueryWizard = 1024;
inline constexpr int kHelpQueryWizard = 1025;

// The two build wizards word the empty filter differently.
inline constexpr char kBasicBuildFilterEmpty[] = "You must complete the filter field.";
inline constexpr char kBuildAndQueryFilterEmpty[] = "You must first complete the filter field.";

// What a build wizard's pages hold when its final button is pressed.
struct BuildWizardChoices {
  std::string url;  // as page 1 left it
  // The Build and Query wizard's keyword fields; unused by the Basic Build wizard.
  bool withquery = false;
  std::string keywords;
  bool any = true;
  bool word = false;
  bool casesensitive = false;
  // Page 2.
  SearchType restriction = SearchType::kNone;
  std::string filter;
  // Page 3.
  std::string levels;
  bool mailaddr = false;
  bool userpass = false;
  std::string username;
  std::string password;
};

// Pure functions; any thread. Each returns the message to show when the page may not
// be left, nullopt when it may, and writes the text it trimmed or completed back
// through its argument.

// Page 1 "Next": the URL is trimmed and gets "http://" in front unless it begins with it
// (or, with `allowhttps`, with "https://"); the prefix alone is refused.
std::optional<std::string> CheckWizardUrl(std::string& url, bool allowhttps);
// The keyword text of the Build and Query wizard's page 1: trimmed; no "|".
std::optional<std::string> CheckWizardKeywords(std::string& keywords);
// Page 2 "Next": the filter is trimmed; "Use Filter" needs one (`emptymessage`).
std::optional<std::string> CheckWizardFilter(SearchType restriction, std::string& filter,
                                             const char* emptymessage);
// The Query wizard's "Search!": trimmed; no "|"; not empty.
std::optional<std::string> CheckQueryWizardKeywords(std::string& keywords);

// The restriction a build wizard shows first: the live settings' scope, tested in the
// order domain, directory, server, filter.
SearchType PresetRestriction(const LiveSettings& live);
// "Domain", "Directory", "Server", "Filter" or "None".
std::string RestrictionName(SearchType restriction);

// The build wizards' final button, before the wizard hides: checks the login fields and
// the levels, then writes the credentials, the levels and the mail switch into the live
// settings, the keyword fields and query flags, the cleared statistics and results, the
// search page and the URL into the main window. Returns the message and writes nothing
// when a check fails. GUI thread only; emits the window's change.
std::optional<std::string> ApplyBuildWizard(Tsearchmain& main, const BuildWizardChoices& choices);

// The Query wizard's "Search!" once the keywords passed: the keyword text and the three
// query options into the main window's fields. GUI thread only.
void ApplyQueryWizard(Tsearchmain& main, const std::string& keywords, bool any, bool word,
                      bool casesensitive);

}  // namespace ferrowyn
