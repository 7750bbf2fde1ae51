// The query worker's loop: take a page, match it, list it; every touch of shared state is
// a synchronised call onto the GUI thread.
#include "query/query_worker.h"

#include "base/synchronised_call.h"
#include "base/worker_priority.h"
#include "query/query_run.h"

namespace ferrowyn {

namespace {
constexpr char kInactive[] = "Inactive";
}  // namespace

TSimulGo::TSimulGo(QueryRun& run, int slot, std::string keywords, std::vector<std::string> list,
                   MatchOptions options, bool standalone)
    : SlotNo(slot),
      KeywordText(std::move(keywords)),
      KeywordList(std::move(list)),
      MatchAny(options.MatchAny),
      WholeWord(options.WholeWord),
      MatchCase(options.MatchCase),
      Standalone(standalone),
      run_(run),
      matcher_(KeywordList, options) {}

void TSimulGo::Sync(const std::function<void()>& step) { SynchronisedCall(run_, step); }

void TSimulGo::run() {
  LowerWorkerPriority();
  std::uint64_t generation = 0;
  // A matched page whose row, hits, slot row and end test are still to come. They go to
  // the GUI thread in one visit with the taking of the next page, which is what the
  // worker does next anyway: one round trip per page instead of two.
  bool finishing = false;
  bool listed = false;
  while (!Stopping && !isInterruptionRequested()) {
    try {
      Busy = true;
      Sync([&] {
        if (finishing) {
          finishing = false;
          FinishPage(listed);
          if (Stopping) return;
        }
        run_.TakeNextPage(*this, generation);
        if (!Stopping && !PageUrl.empty()) run_.CountPage(*this);
      });
      if (Stopping) break;
      if (PageUrl.empty()) {
        // The queue was empty and the end test has been made: rather than asking again
        // at once, sleep until a page arrives or the query ends.
        Busy = false;
        run_.WaitForPage(generation, Stopping);
        continue;
      }
      listed = MatchPage();
      PageText.reset();
      finishing = true;
    } catch (...) {
      // A failure abandons this page only.
      finishing = false;
      PageText.reset();
      PageUrl.clear();
    }
  }
}

void TSimulGo::FinishPage(bool listed) {
  if (listed) {
    run_.AddResultRow(*this);
    run_.AddHits(*this);
  }
  StatusText = kInactive;
  run_.ShowSlotStatus(*this);
  run_.CheckQueryDone(*this);
  Busy = false;
}

bool TSimulGo::MatchPage() {
  const PageMatch match = matcher_.MatchPage(*PageText, Stopping);
  if (!match.Matches) return false;
  PageHits = match.Hits;
  HitsText = std::to_string(match.Hits);
  FoundText = match.FoundText;
  return true;
}

}  // namespace ferrowyn
