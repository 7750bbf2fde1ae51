// Tsearchmain: a query over the stored site (querygo, the preparation pass,
// terminatequery) and the window's side of the query slots.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <optional>
#include <string>

#include "app/search_center.h"
#include "app/text_forms.h"
#include "query/page_matching.h"
#include "store/site_layout.h"

namespace ferrowyn {

namespace {

constexpr char kPreparingCaption[] = "Preparing...";
constexpr char kPreparingText[] =
    "Ferrowyn! is now preparing your stored site for querying. This process may take a few "
    "minutes depending on the size of the site.";
constexpr char kQueryStartFailed[] = "There was an error while trying to run query.";
constexpr char kQueryCompleted[] = "Query completed.";
constexpr char kQueryStopped[] = "Query stopped.";
// How often the preparation pass lets the window process its messages: a trip through the
// event loop for every record cost more than the rest of the pass on a large site, and
// this is still finer than the screen can show.
constexpr qint64 kPassEventsEveryMs = 10;

}  // namespace

// The query slots' window: labels, slot rows and the two ends of a query.
class Tsearchmain::QueryHostAdapter : public QueryHost {
 public:
  explicit QueryHostAdapter(Tsearchmain& main) : main_(main) {}
  std::atomic<bool>& stopall() override { return main_.crawl().stopall; }
  std::string& pagesavl() override { return main_.state_.pagesavl; }
  std::string& hits() override { return main_.state_.hits; }
  void SetQueryAction(int slot, const std::string& text) override {
    main_.slotview().SetQueryAction(slot, text);
  }
  int TextWidth(std::string_view text) override { return main_.textwidth_(text); }
  bool TransfersIdle() const override { return main_.crawl_->TransfersIdle(); }
  void terminatequery() override { main_.terminatequery(); }
  void finalterminate() override { main_.crawl().finalterminate(); }
  void Changed() override { emit main_.changed(); }

 private:
  Tsearchmain& main_;
};

void Tsearchmain::MakeQueryRun() {
  queryrun_.reset();
  queryhost_ = std::make_unique<QueryHostAdapter>(*this);
  queryrun_ = std::make_unique<QueryRun>(*queryhost_, queries_, *querylist_);
}

void Tsearchmain::querygo(const std::string& keywords) {
  state_.queryactive = true;
  if (state_.queryprepared) {
    state_.pages = std::to_string(StoredPageCount(QDB_));
    state_.pagesavl = "0";
    state_.hits = "0";
    queries_.RequeuePrepared();
  } else if (!PrepareStoredSite()) {
    emit changed();
    return;
  }

  CrawlRun& run = *crawl_;
  run.transferidle.fill(true);
  run.stopall = false;

  state_.querysitename = state_.sitename;
  state_.querykeywords = keywords;
  state_.queryany = state_.any;
  state_.querywholeword = state_.word;
  state_.querycasesensitive = state_.casesensitive;
  emit changed();

  queryrun_->StartWorkers(live_.querybar, keywords, {state_.any, state_.word, state_.casesensitive},
                          true);
}

bool Tsearchmain::PrepareStoredSite() {
  queries_.ClearPrepared();
  state_.queryprepared = true;
  state_.pagesavl = "0";
  state_.pages = "0";
  state_.hits = "0";
  const int records = QDB_.Count();
  try {
    setcursor(Cursor::kHourglass);
    port_.ShowPleaseWait(kPreparingCaption, kPreparingText, records - 1);
  } catch (...) {
    // The total is shown all the same, so that stopping this query, which searched
    // nothing, reports it as stopped rather than completed.
    state_.pages = std::to_string(StoredPageCount(QDB_));
    port_.Error(kQueryStartFailed);
    setcursor(Cursor::kNormal);
    port_.ClosePleaseWait();
    return false;
  }
  const int pages = StoredPageCount(QDB_);
  state_.pages = std::to_string(pages);
  queries_.preparedcopy.reserve(static_cast<std::size_t>(std::max(pages, 0)));
  emit changed();

  QElapsedTimer since_events;
  for (int index = 0; index < records; ++index) {
    port_.SetPleaseWaitProgress(index);
    if (index == 0 || since_events.hasExpired(kPassEventsEveryMs)) {
      QCoreApplication::processEvents();
      since_events.start();
    }
    QDB_.SetItemIndex(index);
    const std::string& key = QDB_.CurrentKey();
    if (key == kEmailKey || key == kWebMapKey || key == kWebListKey ||
        key.find(kDisplayPrefix) != std::string::npos) {
      continue;
    }
    // The page is read by the worker that takes it: a query holds no more of the site in
    // memory than the pages being matched.
    if (!queries_.reader) queries_.reader = QDB_.Reader();
    const std::size_t prefix = key.find(kQueryPrefix);
    const std::string_view url = prefix == std::string::npos
                                     ? std::string_view()
                                     : std::string_view(key).substr(prefix + kQueryPrefix.size());
    queries_.AddStoredPage(url, QDB_.CurrentPlace());
  }

  port_.ClosePleaseWait();
  setcursor(Cursor::kNormal);
  return true;
}

void Tsearchmain::terminatequery() {
  crawl_->stopall = true;
  queries_.ClearPending();
  try {
    queryrun_->StopWorkers();
  } catch (...) {
    QCoreApplication::processEvents();
  }
  QCoreApplication::processEvents();
  setcursor(Cursor::kHourglass);
  setcursor(Cursor::kNormal);
  for (int slot = 1; slot <= kQuerySlotCount; ++slot) {
    slotview_->SetQueryAction(slot, SlotViewModel::kInactive);
  }
  state_.searchbtn.caption = kSearchCaption;
  state_.clearbtn.enabled = true;
  emit changed();

  // A page whose record could not be read was passed over, as a worker passes over any page
  // it fails on, and left uncounted: the store's message says why, and the query reports
  // itself stopped, since not every page was searched.
  if (const std::optional<std::string> unreadable = queryrun_->TakeUnreadable()) {
    port_.Error(*unreadable);
  }
  const std::optional<int> pages = ReadWholeNumber(state_.pages);
  const std::optional<int> searched = ReadWholeNumber(state_.pagesavl);
  port_.Information(pages && searched && *pages == *searched ? kQueryCompleted : kQueryStopped);
  if (querylist_->rowCount() > 0 && state_.lowerpage == LowerPage::kRetrievalProgress) {
    state_.lowerpage = LowerPage::kQueryResults;
  }

  state_.queryactive = false;
  setcursor(Cursor::kNormal);
  state_.querysearchenabled = true;
  emit changed();
}

}  // namespace ferrowyn
