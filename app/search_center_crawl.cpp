// Tsearchmain: the start and the end of a retrieval (startrecurse, startitup,
// posttransfer) and the window's side of the crawl run.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/search_center.h"
#include "app/settings_operations.h"
#include "app/text_forms.h"
#include "base/whole_number.h"
#include "store/qdb_errors.h"
#include "store/site_layout.h"

namespace ferrowyn {

namespace {

constexpr char kUnsavedPrevious[] =
    "Your previous search has not been saved to disk. Would you like to save? ";
constexpr char kLowDiskSpace[] =
    "The drive from which Ferrowyn! is currently being run may not haveenough free space to "
    "complete this search. We suggest that you delete some files before continuing.";
constexpr char kInvalidQueryCharacter[] =
    "This query contains an invalid character. Please re-enter.";
constexpr char kStartFailed[] =
    "An error occurred while trying to start this search. You may be low on disk space.";
constexpr char kStoppedByLimit[] = "Web download has been stopped due to a download restriction.";
constexpr char kStoppedByDbError[] = "Web download has been stopped to due a database error.";
constexpr char kStoppedByUser[] = "Web download has been stopped due to user intervention.";
constexpr char kStartPageError[] = "There was an error retrieving the specified URL: ";
constexpr char kSiteRetrieved[] = "Specified site has been retrieved.";

constexpr std::uint64_t kMinimumFreeSpace = 10000000;
constexpr int kDefaultLevels = 3;

// The integer an edit field holds, in at most nine characters with its sign; nullopt for
// anything else (blanks included).
std::optional<int> IntegerOf(const std::string& text) {
  if (text.size() > 9) return std::nullopt;
  return ReadWholeNumber(text);
}

std::optional<std::uint64_t> FileSystemFreeSpace(const std::string& programdir) {
  std::error_code error;
  const std::filesystem::space_info info = std::filesystem::space(programdir, error);
  if (error) return std::nullopt;
  return info.available;
}

}  // namespace

// The run's window: labels, slot rows, the clients and the end of the run.
class Tsearchmain::CrawlHostAdapter : public CrawlHost {
 public:
  explicit CrawlHostAdapter(Tsearchmain& main) : main_(main) {}
  THttpCli* httpclient(int slot) override {
    return main_.makeclient_ != nullptr ? &main_.httpclient(slot) : nullptr;
  }
  void SetSlotAction(int slot, const std::string& text) override {
    try {
      main_.slotview().SetSearchAction(slot, text);
    } catch (...) {
      // A row that cannot be written keeps its text; the run goes on.
    }
  }
  std::string& numproc() override { return main_.state_.numproc; }
  std::string& bytestran() override { return main_.state_.bytestran; }
  bool searchbtnenabled() const override { return main_.state_.searchbtn.enabled; }
  bool crawlrunning() const override { return main_.crawlrunning(); }
  void MarkStopped() override { main_.state_.stopped = true; }
  void ShowStartUrl(const std::string& url) override {
    main_.state_.fields.URL.text = url;
    emit main_.changed();
  }
  int TextWidth(std::string_view text) override { return main_.textwidth_(text); }
  void posttransfer() override { main_.posttransfer(); }
  void StopQueryWorkers() override { main_.queries().StopWorkers(); }
  bool QuerySlotsIdle() const override { return main_.queryrun_->AllIdle(); }
  void QueryPageAdded() override { main_.queries().PageAdded(); }
  void Changed() override { emit main_.changed(); }

 private:
  Tsearchmain& main_;
};

Tsearchmain::~Tsearchmain() {
  // The workers use the clients, stores and models: they end first, the query workers
  // before the crawl they may end.
  queryrun_.reset();
  crawl_.reset();
}

void Tsearchmain::MakeCrawlRun() {
  crawl_.reset();
  crawlhost_ = std::make_unique<CrawlHostAdapter>(*this);
  crawl_ = std::make_unique<CrawlRun>(
      *crawlhost_, CrawlResources{QDB_, urldb_, *mainview_, *urllistview_, *maillist_, queries_,
                                  megatoolong_, megatestsize_});
}

void Tsearchmain::startrecurse(const std::string& scope, const std::string& filter,
                               const std::string& url_given) {
  // 1. The previous site.
  if (!state_.sitesaved && !mainview_->Empty()) {
    const Answer answer = port_.ShowMessage({MessageKind::kQuestion, kUnsavedPrevious,
                                             MessageButtons::kYesNoCancel, true, Answer::kCancel});
    if (answer == Answer::kCancel) return restorecontrols();
    if (answer == Answer::kYes) ops_.savesitedialog(*this);
  }

  // 2. Free space where the scratch stores go.
  const std::optional<std::uint64_t> free =
      freespace_ ? freespace_() : FileSystemFreeSpace(programdir_);
  if (free && *free < kMinimumFreeSpace) {
    const Answer answer = port_.ShowMessage(
        {MessageKind::kWarning, kLowDiskSpace, MessageButtons::kAbortIgnore, true, Answer::kAbort});
    if (answer == Answer::kAbort) return restorecontrols();
  }

  // 3. Views and statistics.
  setcursor(Cursor::kHourglass);
  clearview();
  maillist_->Clear();
  state_.queryprepared = false;

  auto refuse_start = [this] {
    restorecontrols();
    setcursor(Cursor::kNormal);
    port_.Error(kStartFailed);
  };

  // 4. Fresh scratch stores.
  try {
    StartNewStores(QDB_, urldb_, std::filesystem::path(programdir_) / "data",
                   live_.internalcachebar);
  } catch (...) {
    return refuse_start();
  }

  // 5. The clock runs from here on.
  elapsedtimer_.start();
  state_.hits = "0";
  state_.pages = "0";
  state_.pagesavl = "0";
  const std::string url = TrimBlanks(url_given);
  if (url.empty()) {
    restorecontrols();
    setcursor(Cursor::kNormal);
    return;
  }

  // 6. URL history; a refused settings write does not stop the run.
  try {
    AddUrlHistory(store_, state_.fields.URL, url);
  } catch (...) {
  }

  // 7. The keywords.
  std::string& keywords = state_.fields.querysearch.text;
  keywords = TrimBlanks(keywords);
  setcursor(Cursor::kNormal);
  if (keywords.find('|') != std::string::npos) {
    restorecontrols();
    port_.Error(kInvalidQueryCharacter);
    return;
  }
  if (!keywords.empty()) {
    try {
      AddKeywordHistory(store_, state_.fields.querysearch, keywords);
    } catch (...) {
    }
  }

  // 8. The new, unsaved site.
  state_.caption = kUntitledCaption;
  state_.sitename = kUntitledSite;
  state_.siteloaded = true;
  state_.stopped = false;
  state_.sitesaved = false;
  CrawlRun& run = *crawl_;
  run.ResetForNewRun();
  run.levellimit = IntegerOf(live_.levels.text).value_or(kDefaultLevels);

  // 9. The crawl origin.
  state_.crawlfilter = filter;
  run.origin = MakeCrawlOrigin(url, scope, filter);

  // 10. The start URL is the first URL taken up.
  state_.siteurl = url;
  try {
    AddStartUrl(urldb_, url);
  } catch (...) {
    return refuse_start();
  }

  // 11. The queues.
  queries_ = QueryQueue{};
  run.urlqueue.clear();
  run.urlqueue.push_back({url, kNoNode});

  // 12, 13. The workers; they take their first job once this returns to the event loop.
  startitup();
  run.firstjob = true;
  state_.searchbtn.caption = kHaltCaption;
  state_.EngageFerrowyn1.enabled = true;
  state_.HaltSearch1.enabled = true;
  state_.searchbtn.enabled = true;
  emit changed();
}

void Tsearchmain::startitup() {
  CrawlRun& run = *crawl_;
  WorkerSettings settings;
  settings.FileTypes = live_.filetypes;
  settings.ScopeName = run.origin.crawlscope;
  settings.FilterText = run.origin.filter;
  settings.MaxLevels = run.levellimit;
  settings.GrabMail = live_.mailaddr;
  // A timeout field that does not hold an integer switches that watchdog off, and a
  // restriction without a number restricts nothing: the run starts whole or not at all,
  // and never with a made-up limit.
  settings.HttpTimeout = IntegerOf(live_.httptimeout.text).value_or(0);
  settings.SlowTimeout = IntegerOf(live_.slowtimeout.text).value_or(0);
  settings.IgnoreScripts = live_.ignorecgiscript;
  const std::optional<int> files = IntegerOf(live_.filesrestriction.text);
  const std::optional<int> kbytes = IntegerOf(live_.megrestriction.text);
  settings.Limits.LimitFiles = live_.restrictnumberoffiles && files.has_value();
  settings.Limits.MaxFiles = files.value_or(0);
  settings.Limits.LimitKBytes = live_.restrictdownloadsize && kbytes.has_value();
  settings.Limits.MaxKBytes = kbytes.value_or(0);
  settings.LimitLevels = live_.restrictlevelsdeep;
  settings.WithinTags = live_.searchwithinall;
  settings.WithinTitles = live_.searchwithintitles;
  settings.WithinComments = live_.searchwithincomments;
  settings.ProxyServer = live_.proxyserver.text;
  settings.ProxyPort = live_.proxyport.text;
  settings.ProxyPassword = live_.proxypassword.text;
  settings.ProxyUser = live_.proxyusername.text;
  settings.Agent = live_.webagentbox;
  settings.AllowHttps = live_.allowhttps;
  settings.AcceptBadCertificates = live_.acceptbadcertificates;

  run.usecredentials = state_.usecredentials;
  run.credentialuser = state_.credentialuser;
  run.credentialpassword = state_.credentialpassword;
  run.livequery = state_.livequery;

  run.startitup(std::clamp(live_.searchbar, 1, kSlotCount), settings);

  if (state_.livequery) {
    state_.querysitename = state_.sitename;
    state_.querykeywords = state_.livekeywords;
    state_.queryany = state_.any;
    state_.querywholeword = state_.word;
    state_.querycasesensitive = state_.casesensitive;
    state_.pages = "Live";
    queryrun_->StartWorkers(live_.querybar, state_.livekeywords,
                            {state_.any, state_.word, state_.casesensitive}, false);
  } else {
    queryrun_->queryidle.fill(true);
    queryrun_->queryrunning.fill(false);
  }
}

void Tsearchmain::posttransfer() {
  try {
    // 1. Controls.
    SetRunControls(true);
    state_.searchbtn.caption = kSearchCaption;
    state_.querysearchenabled = true;
    elapsedtimer_.stop();
    crawl_->stopall = false;

    // 2. Queues; the collected addresses go to the mail miner.
    queries_.ClearPending();
    crawl_->urlqueue.clear();
    mailview_->Append(maillist_->Lines());
    maillist_->Clear();

    // 3. The query side.
    if (state_.queryactive) {
      state_.queryprepared = true;
      state_.pages = std::to_string(StoredPageCount(QDB_));
    } else {
      state_.queryprepared = false;
    }
    state_.queryactive = false;
    state_.cursor = Cursor::kNormal;
    emit changed();

    // 4. Closing was asked for during the run.
    if (state_.closepending) {
      setcursor(Cursor::kHourglass);
      emit closeRequested();
      return;
    }

    if (state_.stopped) {
      // 5.
      state_.stopped = false;
      emit changed();
      port_.Information(crawl_->stoppedbylimit     ? kStoppedByLimit
                        : crawl_->stoppedbydberror ? kStoppedByDbError
                                                   : kStoppedByUser);
    } else if (crawl_->startpagefailed && state_.numproc == "0") {
      // 6. Nothing was retrieved.
      port_.Error(kStartPageError + crawl_->startpageerror);
      mainview_->Clear();
      urllistview_->Clear();
      emit changed();
      return;
    } else {
      port_.Information(kSiteRetrieved);
    }

    // 7.
    if (querylist_->rowCount() > 0 && state_.lowerpage == LowerPage::kRetrievalProgress) {
      state_.lowerpage = LowerPage::kQueryResults;
    }
    emit changed();
  } catch (...) {
    // The end of a run never fails; what could not be done stays as it is.
  }
}

}  // namespace ferrowyn
