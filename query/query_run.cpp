// The query slots on the GUI thread: starting the workers, the pages they take, the rows
// and hits they add, the end test and the end of the workers.
#include "query/query_run.h"

#include <QThread>
#include <algorithm>
#include <limits>

#include "base/slot_status.h"
#include "base/whole_number.h"
#include "query/keyword_parsing.h"
#include "query/query_worker.h"

namespace ferrowyn {

namespace {

constexpr char kInactive[] = "Inactive";
constexpr char kQuerying[] = "Querying ";
// The most pages one synchronised call hands out.
constexpr std::size_t kMaxBatch = 64;

// Adds `amount` to a statistics label; a label that does not hold a whole number (or
// would overflow) starts again at "1".
void AddToLabel(std::string& label, std::int64_t amount) {
  std::int64_t value = 0;
  const std::optional<std::int64_t> held =
      ReadDecimal(label, Signs::kPlusOrMinus, std::numeric_limits<std::int64_t>::min(),
                  std::numeric_limits<std::int64_t>::max());
  if (!held || __builtin_add_overflow(*held, amount, &value)) {
    label = "1";
    return;
  }
  label = std::to_string(value);
}

}  // namespace

QueryRun::QueryRun(QueryHost& host, QueryQueue& queue, QueryListModel& querylist, QObject* parent)
    : QObject(parent), host_(host), queue_(queue), querylist_(querylist) {
  queryidle.fill(true);
}

QueryRun::~QueryRun() { StopAndJoin(); }

void QueryRun::StopAndJoin() {
  destroying_ = true;
  if (!AnyWorkerRunning()) return;
  host_.stopall() = true;
  for (TSimulGo* worker : alive_) {
    worker->Stopping = true;
    worker->requestInterruption();
  }
  wake_.Wake();
  ServeEventsUntil([this] { return !AnyWorkerRunning(); });
}

void QueryRun::StartWorkers(int slotcount, const std::string& keywords, MatchOptions options,
                            bool Standalone) {
  const int used = std::clamp(slotcount, 1, kQuerySlotCount);
  unreadable_.reset();
  for (int slot = 1; slot <= kQuerySlotCount; ++slot) {
    if (slot > used) {
      queryrunning[slot] = false;
      queryidle[slot] = true;
      continue;
    }
    queryrunning[slot] = true;
    auto* worker =
        new TSimulGo(*this, slot, keywords, parsekeywords(keywords), options, Standalone);
    queryworker[slot] = worker;
    alive_.push_back(worker);
    connect(worker, &QThread::finished, this, [this, worker] { querythreadterminated(worker); });
    queryidle[slot] = false;
    worker->start();  // the worker lowers its own priority as it begins
  }
}

void QueryRun::StopWorkers() {
  for (int slot = 1; slot <= kQuerySlotCount; ++slot) {
    if (!queryrunning[slot] || queryworker[slot] == nullptr) continue;
    queryworker[slot]->Stopping = true;
    queryworker[slot]->requestInterruption();
  }
  wake_.Wake();
}

void QueryRun::querythreadterminated(TSimulGo* worker) {
  const int slot = worker->SlotNo;
  // `finished` is sent just before the thread ends; wait for that before freeing it.
  worker->wait();
  const bool gave_up = worker->GaveUp;
  const bool standalone = worker->Standalone;
  if (queryworker[slot] == worker) {
    queryworker[slot] = nullptr;
    queryrunning[slot] = false;
    if (!destroying_) {
      try {
        host_.SetQueryAction(slot, kInactive);
      } catch (...) {
      }
    }
  }
  alive_.erase(std::find(alive_.begin(), alive_.end(), worker));
  delete worker;
  if (destroying_) return;
  // A worker whose passes kept failing ends the query (and the crawl it runs with), as a
  // halt would: its page would keep the end test waiting for ever.
  if (gave_up && !host_.stopall()) {
    host_.stopall() = true;
    if (standalone) {
      host_.terminatequery();
    } else {
      host_.finalterminate();
    }
  }
  host_.Changed();
}

bool QueryRun::AllIdle() const {
  return queue_.NothingPending() &&
         std::all_of(queryidle.begin() + 1, queryidle.end(), [](bool idle) { return idle; });
}

void QueryRun::TakePages(TSimulGo& W, std::uint64_t& generation) {
  generation = wake_.Generation();
  if (host_.stopall()) {
    W.Stopping = true;
    return;
  }
  queryidle[W.SlotNo] = false;
  W.Batch.clear();
  W.PageUrl.clear();
  const std::size_t pending = queue_.PendingCount();
  if (pending == 0) {
    CheckQueryDone(W);
    return;
  }
  // A quarter of each running slot's share: large batches while the queue is long, so a
  // page costs the GUI thread next to nothing, and single pages at the end.
  const auto running =
      std::max<std::size_t>(1, std::count(queryrunning.begin() + 1, queryrunning.end(), true));
  const std::size_t take = std::clamp<std::size_t>(pending / (4 * running), 1, kMaxBatch);
  queue_.TakePending(take, W.Batch);
  W.Reader = queue_.reader;
  W.StatusText = kQuerying + W.Batch.front().url;
  ShowSlotStatus(W);
}

void QueryRun::HandBack(TSimulGo& W) {
  for (TSimulGo::PageResult& result : W.Results) {
    if (W.Stopping) break;
    if (result.unreadable) {
      if (!unreadable_) unreadable_ = std::move(result.unreadable);
      continue;
    }
    CountPage(W);
    if (!result.listed) continue;
    W.PageUrl = std::move(result.url);
    W.PageHits = result.hits;
    W.HitsText = std::to_string(result.hits);
    W.FoundText = std::move(result.found);
    AddResultRow(W);
    AddHits(W);
  }
  W.Results.clear();
  host_.Changed();
  W.StatusText = kInactive;
  ShowSlotStatus(W);
  CheckQueryDone(W);
  W.Busy = false;
}

void QueryRun::ShowSlotStatus(TSimulGo& W) {
  if (W.Stopping) return;
  try {
    host_.SetQueryAction(W.SlotNo, FitSlotStatus(W.StatusText, [this](std::string_view text) {
                           return host_.TextWidth(text);
                         }));
  } catch (...) {
  }
}

// CountPage and AddHits leave telling the window to HandBack, once per batch.
void QueryRun::CountPage(TSimulGo& W) {
  if (W.Stopping) return;
  AddToLabel(host_.pagesavl(), 1);
}

void QueryRun::AddResultRow(TSimulGo& W) {
  if (W.Stopping) return;
  try {
    querylist_.AppendRow(W.PageUrl, W.HitsText, W.FoundText);
  } catch (...) {
  }
}

void QueryRun::AddHits(TSimulGo& W) {
  if (W.Stopping) return;
  AddToLabel(host_.hits(), W.PageHits);
}

void QueryRun::CheckQueryDone(TSimulGo& W) {
  if (host_.stopall()) return;
  queryidle[W.SlotNo] = queue_.NothingPending();
  const bool all_idle =
      std::all_of(queryidle.begin() + 1, queryidle.end(), [](bool idle) { return idle; });
  if (W.Standalone) {
    if (all_idle) {
      host_.stopall() = true;
      host_.terminatequery();
    }
  } else if (all_idle && host_.TransfersIdle()) {
    host_.stopall() = true;
    host_.finalterminate();
  }
}

void QueryRun::WaitForPage(std::uint64_t generation, const std::atomic<bool>& Stopping) {
  wake_.WaitAfter(generation, [&] { return Stopping.load() || host_.stopall().load(); });
}

}  // namespace ferrowyn
