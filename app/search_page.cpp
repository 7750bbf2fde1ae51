// Tsearchmain: the search page. The search button crawls a new URL or queries the
// site already in the site store; the URL and keyword fields are checked here
// before the crawl engine or the query engine takes over.
#include "app/search_center.h"
#include "app/start_url.h"
#include "app/text_forms.h"

namespace ferrowyn {

namespace {
constexpr char kNoUrl[] = "You must first enter a URL to search.";
constexpr char kInvalidUrl[] = "You must enter a valid URL to search.";
constexpr char kNoSite[] = "You must first open a Ferrowyn! site to search.";
constexpr char kEmptySite[] = "This site contains no data to query.";
constexpr char kInvalidKeyword[] = "This query contains an invalid character. Please re-enter.";
constexpr char kNoKeywords[] = "You must first complete the keyword field.";
constexpr char kNothingToHalt[] = "No transfers are currently active.";
constexpr char kEnterDuringCrawlUrl[] =
    "A transfer is already active. Please abort the transfer and try again.";
constexpr char kEnterDuringCrawlKeywords[] =
    "A transfer is already active. Please abort the current transfer and try again.";

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
}  // namespace

void Tsearchmain::SearchBtnClick() {
  const std::string& url = state_.fields.URL.text;
  const std::string& site = state_.siteurl;
  // The same site with or without its final "/" is queried, not fetched again.
  // With no site URL (at start, after "Clear Search") every press crawls; compared
  // literally, an empty URL field would match the empty site URL and end in the
  // query's "open a site" message instead of the URL's own.
  const bool same_site =
      !site.empty() && (url == site || url == site + "/" || url == site.substr(0, site.size() - 1));
  if (same_site) {
    state_.statisticspage = StatisticsPage::kQuery;
    emit changed();
    executequery();
  } else {
    state_.statisticspage = StatisticsPage::kRetrieval;
    emit changed();
    executesearch();
  }
}

void Tsearchmain::executesearch() {
  if (state_.searchbtn.caption == kHaltCaption) {
    haltsearch();
    return;
  }
  if (state_.queryactive) {
    port_.Error(kSearchWhileQueryMessage);
    return;
  }
  SetRunControls(false);
  emit changed();
  auto refuse = [this](const char* message) {
    SetRunControls(true);
    emit changed();
    if (message != nullptr) port_.Error(message);
  };

  std::string& url = state_.fields.URL.text;
  if (url.empty()) return refuse(kNoUrl);
  if (!CompleteStartUrl(url, live_.allowhttps)) return refuse(kInvalidUrl);

  state_.usecredentials = false;
  if (live_.userpass) {
    const PassResult login = getpass();
    if (login == PassResult::kKill) return refuse(nullptr);
    state_.usecredentials = login == PassResult::kTrue;
  }

  std::string& keywords = state_.fields.querysearch.text;
  keywords = TrimBlanks(keywords);
  state_.livequery = !keywords.empty();
  state_.queryactive = state_.livequery;
  if (state_.livequery) state_.livekeywords = keywords;

  state_.hits = "0";
  state_.pages = "0";
  state_.pagesavl = "0";
  querylist_->Clear();
  emit changed();

  switch (live_.searchtype) {
    case SearchType::kDomain:
      return ops_.startrecurse(*this, std::string(kScopeDomain), "", url);
    case SearchType::kDirectory:
      return ops_.startrecurse(*this, std::string(kScopeDirectory), "", url);
    case SearchType::kServer:
      return ops_.startrecurse(*this, std::string(kScopeServer), "", url);
    case SearchType::kFilter:
      switch (getfilter()) {
        case FilterResult::kOK:
          return ops_.startrecurse(*this, std::string(kScopeFilter), state_.crawlfilter, url);
        case FilterResult::kSKIP:
          return ops_.startrecurse(*this, std::string(kScopeNone), "", url);
        case FilterResult::kNO:
          state_.queryactive = false;
          state_.cursor = Cursor::kNormal;
          return refuse(nullptr);
      }
      return;
    case SearchType::kNone:
      return ops_.startrecurse(*this, std::string(kScopeNone), "", url);
  }
}

PassResult Tsearchmain::getpass() {
  for (;;) {
    const LoginAnswer answer = port_.AskLogin();
    switch (answer.choice) {
      case LoginAnswer::kNo:
        return PassResult::kFalse;
      case LoginAnswer::kAbort:
        return PassResult::kKill;
      case LoginAnswer::kOk:
        if (answer.username.empty() || answer.password.empty()) {
          port_.Error(kLoginIncomplete);
          continue;
        }
        state_.credentialuser = answer.username;
        state_.credentialpassword = answer.password;
        return PassResult::kTrue;
    }
  }
}

FilterResult Tsearchmain::getfilter() {
  for (;;) {
    const FilterAnswer answer = port_.AskFilter();
    switch (answer.choice) {
      case FilterAnswer::kSkip:
        return FilterResult::kSKIP;
      case FilterAnswer::kAbort:
        return FilterResult::kNO;
      case FilterAnswer::kOk: {
        std::string filter = TrimBlanks(answer.filter);
        if (filter.empty()) {
          port_.Error(kFilterIncomplete);
          continue;
        }
        state_.crawlfilter = std::move(filter);
        return FilterResult::kOK;
      }
    }
  }
}

void Tsearchmain::executequery() {
  if (crawlrunning()) {
    haltsearch();
  } else if (!state_.queryactive) {
    searchbuttonit();
  } else {
    setcursor(Cursor::kHourglass);
    ops_.terminatequery(*this);
  }
}

void Tsearchmain::searchbuttonit() {
  auto refuse = [this](MessageKind kind, const char* message) {
    setcursor(Cursor::kNormal);
    port_.ShowMessage({kind, message});
  };
  if (!state_.siteloaded) return refuse(MessageKind::kError, kNoSite);
  if (QDB_.Count() == 0) return refuse(MessageKind::kError, kEmptySite);

  std::string& keywords = state_.fields.querysearch.text;
  keywords = TrimBlanks(keywords);
  emit changed();
  if (keywords.find('|') != std::string::npos) return refuse(MessageKind::kError, kInvalidKeyword);
  if (keywords.empty()) return refuse(MessageKind::kInformation, kNoKeywords);

  AddKeywordHistory(store_, state_.fields.querysearch, keywords);

  state_.clearbtn.enabled = false;
  state_.searchbtn.caption = kHaltCaption;
  querylist_->Clear();
  state_.querysearchenabled = false;
  emit changed();
  ops_.querygo(*this, keywords);
}

void Tsearchmain::haltsearch() {
  if (!crawlrunning()) {
    port_.Information(kNothingToHalt);
    return;
  }
  state_.stopped = true;
  state_.cursor = Cursor::kHourglass;
  SetRunControls(false);
  megatestsize_.stop();
  megatoolong_.stop();
  emit changed();
  ops_.finalterminate(*this);
}

void Tsearchmain::clearbtnClick() {
  state_.fields.URL.text = kUrlPrefix;
  state_.fields.querysearch.text.clear();
  state_.siteurl.clear();
  emit changed();
}

bool Tsearchmain::URLKeyDown(int key) {
  if (!IsEnter(key)) return false;
  if (crawlrunning()) {
    port_.Error(kEnterDuringCrawlUrl);
  } else {
    SearchBtnClick();
  }
  return true;
}

bool Tsearchmain::mainsearchKeyDown(int key) {
  if (!IsEnter(key)) return false;
  if (crawlrunning()) {
    port_.Error(kEnterDuringCrawlKeywords);
  } else {
    SearchBtnClick();
  }
  return true;
}

}  // namespace ferrowyn
