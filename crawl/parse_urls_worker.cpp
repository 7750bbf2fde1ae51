// The crawl worker's loop: take a job, have it retrieved, store the page, queue its links,
// count it; every touch of shared state is a synchronised call onto the GUI thread.
#include "crawl/parse_urls_worker.h"

#include "crawl/crawl_run.h"
#include "crawl/link_extraction.h"
#include "crawl/page_assembly.h"
#include "crawl/page_capture.h"
#include "crawl/query_text.h"
#include "crawl/synchronised_call.h"
#include "crawl/worker_priority.h"

namespace ferrowyn {

namespace {
constexpr char kProcessingNewPages[] = "Processing New Pages...";
constexpr char kUpdatingDatabase[] = "Updating Database...";
constexpr char kProcessingComplete[] = "Processing Complete.";
}  // namespace

TParseUrls::TParseUrls(CrawlRun& run, int slot, WorkerSettings settings)
    : SlotNo(slot), Settings(std::move(settings)), run_(run) {}

void TParseUrls::Sync(const std::function<void()>& step) {
  run_.WaitWhileSuspended();
  SynchronisedCall(run_, step);
}

void TParseUrls::ShowSlotStatus(const std::string& text) {
  Sync([&] {
    StatusText = text;
    run_.ShowSlotStatus(*this);
  });
}

void TParseUrls::run() {
  LowerWorkerPriority();
  while (!Stopping) {
    try {
      if (!Pass()) break;
    } catch (...) {
      // A failure abandons this job only.
    }
    CurrentUrl.clear();
    PageNode = kNoNode;
  }
}

bool TParseUrls::Pass() {
  QueuedCount = 0;
  std::uint64_t generation = 0;
  Sync([&] { run_.TakeNextJob(*this, generation); });
  if (Stopping) return false;
  if (CurrentUrl.empty()) {
    // Nothing to do: rather than asking again at once, sleep until the queue may have
    // grown or the run ends; the end test was made when the queue was found empty.
    run_.WaitForWork(generation, Stopping);
    return true;
  }

  PageLines.clear();
  TimedOut = false;
  DbError = false;
  Busy = true;
  // Steps with nothing in between on this thread share one visit to the GUI thread.
  Sync([&] {
    StatusText = "Retrieving " + CurrentUrl;
    run_.ShowSlotStatus(*this);
    run_.begintransfer(*this);
  });
  transfer_done_.acquire();
  if (!TransferOk) return true;

  // The page's node, and the limits when the page goes on to be stored, in one visit.
  bool goes_on = false;
  Sync([&] {
    run_.AddPageNode(*this);
    goes_on = !Stopping && !PageLines.empty() && !TimedOut;
    if (goes_on) run_.CheckLimits(*this);
  });
  if (Stopping) return false;
  if (!goes_on) return true;

  LinkPage page;
  page.CurrentUrl = CurrentUrl;
  PreparePageSteps steps;
  steps.CheckLimits = [&] { return MayContinue; };  // tested with the page's node above
  steps.StopForLimit = [&] { Sync([&] { run_.StopForLimit(*this); }); };
  steps.StorePage = [&] {
    // The query text and the compressed records are made here rather than in the call:
    // the GUI thread serves every worker.
    const PreparedPage records = PreparePageRecords(
        PageLines, MakeQueryText(page.PageText, {Settings.WithinTags, Settings.WithinTitles,
                                                 Settings.WithinComments}));
    Sync([&] { run_.StorePage(*this, records); });
  };
  if (!PreparePage(PageLines, page, steps)) return true;

  ShowSlotStatus(kProcessingNewPages);
  LinkFilterSettings filter{Settings.FileTypes, Settings.IgnoreScripts, Settings.GrabMail};
  LinkExtractionHooks hooks;
  hooks.AddPageListRow = [&](const std::string& url, const std::string& title) {
    Sync([&] { run_.AddPageListRow(*this, url, title); });
  };
  hooks.ShowSlotStatus = [&](std::string_view status) { ShowSlotStatus(std::string(status)); };
  hooks.AddMailAddress = [&](const std::string& address) {
    Sync([&] { run_.AddMailAddress(*this, address); });
  };
  if (ExtractLinks(page, filter, Stopping, hooks)) {
    Sync([&] {
      StatusText = kUpdatingDatabase;
      run_.ShowSlotStatus(*this);
      run_.QueueLinks(*this, page.Candidates);
    });
  }
  Sync([&] {
    StatusText = kProcessingComplete;
    run_.ShowSlotStatus(*this);
    run_.CountPage(*this);
  });
  return true;
}

}  // namespace ferrowyn
