// The query worker's loop: take a few pages, match them, hand the matches back; every touch
// of shared state is a synchronised call onto the GUI thread.
#include "query/query_worker.h"

#include "base/synchronised_call.h"
#include "base/worker_pool.h"
#include "base/worker_priority.h"
#include "query/query_run.h"

namespace ferrowyn {

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
      lowerpriority_(run.LowerPriority()),
      matcher_(KeywordList, options) {}

void TSimulGo::Sync(const std::function<void()>& step) { SynchronisedCall(run_, step); }

void TSimulGo::run() {
  if (lowerpriority_) LowerWorkerPriority();
  std::uint64_t generation = 0;
  const auto pass = [&] {
    Busy = true;
    // The results of the last batch go back in the same visit that takes the next one.
    Sync([&] {
      if (!Results.empty()) {
        run_.HandBack(*this);
        if (Stopping) return;
      }
      run_.TakePages(*this, generation);
    });
    if (Stopping) return false;
    if (Batch.empty()) {
      // The queue was empty and the end test has been made: rather than asking again
      // at once, sleep until a page arrives or the query ends.
      Busy = false;
      run_.WaitForPage(generation, Stopping);
      return true;
    }
    MatchBatch();
    Batch.clear();
    Reader.reset();
    return true;
  };
  // A failure abandons these pages only.
  const auto recover = [&] {
    Results.clear();
    Batch.clear();
    Reader.reset();
  };
  GaveUp = !RunWorkerPasses("query worker " + std::to_string(SlotNo), pass, recover,
                            [this] { return Stopping.load() || isInterruptionRequested(); });
}

void TSimulGo::MatchBatch() {
  Results.clear();
  Results.reserve(Batch.size());
  for (const QueryPage& page : Batch) {
    if (Stopping) return;
    PageResult& result = Results.emplace_back();
    result.url = page.url;
    std::string_view text;
    try {
      text = QueryPageTextInto(page, Reader.get(), buffers_);
    } catch (const std::exception& error) {
      result.unreadable = error.what();
      continue;
    }
    const PageMatch match = matcher_.MatchPage(text, Stopping);
    result.listed = match.Matches;
    result.hits = match.Hits;
    result.found = match.FoundText;
  }
}

}  // namespace ferrowyn
