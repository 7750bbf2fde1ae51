// The crawl worker's loop: take a job, have it retrieved, make the page ready, then store
// it, queue its links and count it; every touch of shared state is a synchronised call
// onto the GUI thread.
#include "crawl/parse_urls_worker.h"

#include "base/synchronised_call.h"
#include "base/worker_pool.h"
#include "base/worker_priority.h"
#include "crawl/crawl_run.h"
#include "crawl/link_extraction.h"
#include "crawl/query_text.h"

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

void TParseUrls::ShowSlotStatus(std::string_view text) {
  StatusText = text;
  run_.ShowSlotStatus(*this);
}

void TParseUrls::run() {
  LowerWorkerPriority();
  // A failure abandons this job only.
  GaveUp = !RunWorkerPasses(
      "crawl worker " + std::to_string(SlotNo), [this] { return Pass(); },
      [this] { ready_.reset(); }, [this] { return Stopping.load(); });
  // A page made ready when the stop came is left as if it had arrived after the stop: its
  // steps would add nothing once `Stopping` is set.
}

bool TParseUrls::Pass() {
  std::uint64_t generation = 0;
  Sync([&] {
    FinishPage();
    if (!Stopping) TakeJobAndStart(generation);
  });
  if (Stopping) return false;
  if (CurrentUrl.empty()) {
    // Nothing to do: rather than asking again at once, sleep until the queue may have
    // grown or the run ends; the end test was made when the queue was found empty.
    run_.WaitForWork(generation, Stopping);
    return true;
  }
  transfer_done_.acquire();
  if (!TransferOk) return true;
  if (Stopping) return false;  // the page's node is not added once the worker stops
  MakePageReady();
  return true;
}

void TParseUrls::TakeJobAndStart(std::uint64_t& generation) {
  QueuedCount = 0;
  PageNode = kNoNode;
  run_.TakeNextJob(*this, generation);
  if (Stopping || CurrentUrl.empty()) return;
  PageLines.clear();
  TimedOut = false;
  DbError = false;
  Busy = true;
  ShowSlotStatus("Retrieving " + CurrentUrl);
  run_.begintransfer(*this);
}

void TParseUrls::MakePageReady() {
  ReadyPage ready;
  // TimedOut and PageLines no longer change once the transfer has ended.
  ready.GoesOn = !PageLines.empty() && !TimedOut;
  if (ready.GoesOn) {
    LinkPage page;
    page.CurrentUrl = CurrentUrl;
    PreparePage(PageLines, page, Settings.AllowHttps);
    ready.Records = PreparePageRecords(
        PageLines, MakeQueryText(page.PageText, {Settings.WithinTags, Settings.WithinTitles,
                                                 Settings.WithinComments}));
    LinkExtractionHooks hooks;
    hooks.AddPageListRow = [&](const std::string& url, const std::string& title) {
      ready.Hooks.push_back({HookCall::Kind::kPageListRow, url, title});
    };
    hooks.ShowSlotStatus = [&](std::string_view status) {
      ready.Hooks.push_back({HookCall::Kind::kStatus, std::string(status), {}});
    };
    hooks.AddMailAddress = [&](const std::string& address) {
      ready.Hooks.push_back({HookCall::Kind::kMailAddress, address, {}});
    };
    const LinkFilterSettings filter{Settings.FileTypes, Settings.IgnoreScripts, Settings.GrabMail,
                                    Settings.AllowHttps};
    ready.LinksReady = ExtractLinks(page, filter, Stopping, hooks);
    ready.Candidates = std::move(page.Candidates);
  }
  ready_ = std::move(ready);
}

void TParseUrls::FinishPage() {
  if (!ready_) return;
  const ReadyPage ready = std::move(*ready_);
  ready_.reset();
  try {
    run_.AddPageNode(*this);
    if (Stopping || !ready.GoesOn) return;
    run_.CheckLimits(*this);
    if (!MayContinue) {
      run_.StopForLimit(*this);
      return;
    }
    run_.StorePage(*this, ready.Records);
    ShowSlotStatus(kProcessingNewPages);
    // The extraction's calls, each of which tests `Stopping` as it did on the worker.
    for (const HookCall& call : ready.Hooks) {
      switch (call.kind) {
        case HookCall::Kind::kPageListRow:
          run_.AddPageListRow(*this, call.text, call.title);
          break;
        case HookCall::Kind::kStatus:
          ShowSlotStatus(call.text);
          break;
        case HookCall::Kind::kMailAddress:
          run_.AddMailAddress(*this, call.text);
          break;
      }
    }
    if (ready.LinksReady && !Stopping) {
      ShowSlotStatus(kUpdatingDatabase);
      run_.QueueLinks(*this, ready.Candidates);
    }
    ShowSlotStatus(kProcessingComplete);
    run_.CountPage(*this);
  } catch (...) {
    // A failure abandons this page only.
  }
}

}  // namespace ferrowyn
