// The task wizards' checks and what their final buttons hand to the main window.
#include "app/wizard_logic.h"

#include "app/search_center.h"
#include "app/start_url.h"
#include "app/text_forms.h"
#include "crawl/url_toolkit.h"

namespace ferrowyn {

namespace {
constexpr char kNoUrl[] = "You must first enter a URL.";
constexpr char kInvalidUrl[] = "You must enter a valid URL to search.";
constexpr char kInvalidKeyword[] = "This query contains an invalid character. Please re-enter.";
constexpr char kNoQuery[] = "You must first complete the query field.";
constexpr char kWizardLoginIncomplete[] = "You must fill in both the username and password fields.";
constexpr char kNoLevels[] =
    "You must enter a value for the number of levels deep Ferrowyn! should traverse.";
constexpr char kLevelsNotInteger[] = " is not an integer value. Please re-enter.";
}  // namespace

std::optional<std::string> CheckWizardUrl(std::string& url, bool allowhttps) {
  url = TrimBlanks(url);
  if (url.empty()) return kNoUrl;
  if (!CompleteStartUrl(url, allowhttps)) return kInvalidUrl;
  return std::nullopt;
}

std::optional<std::string> CheckWizardKeywords(std::string& keywords) {
  keywords = TrimBlanks(keywords);
  if (keywords.find('|') != std::string::npos) return kInvalidKeyword;
  return std::nullopt;
}

std::optional<std::string> CheckWizardFilter(SearchType restriction, std::string& filter,
                                             const char* emptymessage) {
  filter = TrimBlanks(filter);
  if (restriction == SearchType::kFilter && filter.empty()) return emptymessage;
  return std::nullopt;
}

std::optional<std::string> CheckQueryWizardKeywords(std::string& keywords) {
  if (auto refused = CheckWizardKeywords(keywords)) return refused;
  if (keywords.empty()) return kNoQuery;
  return std::nullopt;
}

SearchType PresetRestriction(const LiveSettings& live) {
  for (SearchType type :
       {SearchType::kDomain, SearchType::kDirectory, SearchType::kServer, SearchType::kFilter}) {
    if (live.searchtype == type) return type;
  }
  return SearchType::kNone;
}

std::string RestrictionName(SearchType restriction) {
  switch (restriction) {
    case SearchType::kDomain:
      return std::string(kScopeDomain);
    case SearchType::kDirectory:
      return std::string(kScopeDirectory);
    case SearchType::kServer:
      return std::string(kScopeServer);
    case SearchType::kFilter:
      return std::string(kScopeFilter);
    case SearchType::kNone:
      break;
  }
  return std::string(kScopeNone);
}

std::optional<std::string> ApplyBuildWizard(Tsearchmain& main, const BuildWizardChoices& choices) {
  if (choices.userpass && (choices.username.empty() || choices.password.empty()))
    return kWizardLoginIncomplete;
  if (choices.levels.empty()) return kNoLevels;
  if (!ReadWholeNumber(choices.levels)) return choices.levels + kLevelsNotInteger;

  SearchCenterState& state = main.state();
  state.usecredentials = choices.userpass;
  if (choices.userpass) {
    state.credentialuser = choices.username;
    state.credentialpassword = choices.password;
  }

  LiveSettings& live = main.live();
  live.levels.text = choices.levels;
  // The wizard asks for the depth and insists on a number, so the number must count:
  // with the setup dialog's depth restriction off the crawl would ignore it.
  live.restrictlevelsdeep = true;
  live.levels.enabled = true;
  // An unchecked box leaves mail capture as the settings had it.
  if (choices.mailaddr) live.mailaddr = true;

  const std::string keywords = TrimBlanks(choices.keywords);
  const bool query = choices.withquery && !keywords.empty();
  state.livequery = query;
  state.queryactive = query;
  if (query) {
    state.livekeywords = keywords;
    state.fields.querysearch.text = keywords;
    state.any = choices.any;
    state.word = choices.word;
    state.casesensitive = choices.casesensitive;
  }
  state.hits = "0";
  state.pages = "0";
  state.pagesavl = "0";
  main.querylist().Clear();

  state.fields.URL.text = choices.url;
  main.ToolbarButton975Click();  // the search page; emits the change
  return std::nullopt;
}

void ApplyQueryWizard(Tsearchmain& main, const std::string& keywords, bool any, bool word,
                      bool casesensitive) {
  SearchCenterState& state = main.state();
  state.fields.querysearch.text = keywords;
  state.any = any;
  state.word = word;
  state.casesensitive = casesensitive;
  main.NotifyChanged();
}

}  // namespace ferrowyn
