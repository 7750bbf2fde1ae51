// QueryRun: the query slots of the main window. It starts one query worker per used slot,
// serves their synchronised calls (handing out pages in batches, counting them, listing
// matches, adding hits, showing the slot rows), makes the end test of a query and stops
// the workers.
// The same workers serve a query over a stored site and one alongside a crawl.
#pragma once

#include <QObject>
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/worker_pool.h"
#include "query/page_matching.h"
#include "query/query_list_model.h"
#include "store/query_queue.h"

namespace ferrowyn {

class TSimulGo;

inline constexpr int kQuerySlotCount = 4;

// What the query slots need from the main window besides the queue and the results list.
// Implemented by the main window's controller; every call comes on the GUI thread.
class QueryHost {
 public:
  virtual ~QueryHost() = default;
  // The main window's stop flag, shared with the crawl run.
  virtual std::atomic<bool>& stopall() = 0;
  // The statistics labels "Pages Searched" and "Number of Hits", as shown.
  virtual std::string& pagesavl() = 0;
  virtual std::string& hits() = 0;
  // The Action text of the slot view's row "  Query <slot>:".
  virtual void SetQueryAction(int slot, const std::string& text) = 0;
  // The width of a text in the page list's font, in pixels.
  virtual int TextWidth(std::string_view text) = 0;
  // Every transfer slot has nothing more to retrieve.
  virtual bool TransfersIdle() const = 0;
  // The end of a query over a stored site / of a crawl with its query.
  virtual void terminatequery() = 0;
  virtual void finalterminate() = 0;
  // The run's state changed (labels, rows); the window re-reads it.
  virtual void Changed() = 0;
};

// Owned by the main window's controller; lives as long as it. GUI thread only, apart
// from the worker-side calls named as such. Destroying it while workers run stops them
// and waits for their threads.
class QueryRun : public QObject {
  Q_OBJECT

 public:
  QueryRun(QueryHost& host, QueryQueue& queue, QueryListModel& querylist,
           QObject* parent = nullptr);
  ~QueryRun() override;

  std::array<TSimulGo*, kQuerySlotCount + 1> queryworker{};  // [1..4]
  std::array<bool, kQuerySlotCount + 1> queryrunning{};
  // The slot's worker found the queue empty at its last look; true without a worker.
  std::array<bool, kQuerySlotCount + 1> queryidle{};

  // Starts a worker in slots 1..`slotcount` (clamped to 1..4), each with its own
  // keyword list parsed from `keywords`; the other slots are idle and not running.
  void StartWorkers(int slotcount, const std::string& keywords, MatchOptions options,
                    bool Standalone);
  // Tells every running worker to stop (`Stopping`, and the thread's interruption).
  void StopWorkers();
  // A worker's thread has ended: its row shows "Inactive" and its slot is free.
  void querythreadterminated(TSimulGo* worker);
  // A worker thread has not ended yet (also one of an earlier query that was told to
  // stop and is still finishing).
  bool AnyWorkerRunning() const { return !alive_.empty(); }
  // Every query slot is idle and no page waits: the crawl's end test may end the query.
  bool AllIdle() const;
  // The store's message for the first page of this query whose record could not be read;
  // cleared by taking it.
  std::optional<std::string> TakeUnreadable() { return std::exchange(unreadable_, std::nullopt); }
  // A page was appended to the queue: a worker waiting for one goes on.
  void PageAdded() { wake_.Wake(); }

  // --- The worker's operations, each run on the GUI thread inside a synchronised call.
  // Takes the next few pages from the front of the queue into W.Batch (none when it is
  // empty, after the end test): more while many pages wait, one at a time near the end,
  // so that the slots still share the last pages. `generation` receives the wake-up count
  // for WaitForPage.
  void TakePages(TSimulGo& W, std::uint64_t& generation);
  // The results of W's last batch, page by page in order: the page is counted and, when
  // it matched, listed with its hits (a page whose record could not be read is neither,
  // and its message is kept); then the slot row goes back to "Inactive" and the end test
  // is made. Stops handing back once the worker is told to stop.
  void HandBack(TSimulGo& W);
  void ShowSlotStatus(TSimulGo& W);
  void CountPage(TSimulGo& W);
  void AddResultRow(TSimulGo& W);
  void AddHits(TSimulGo& W);
  void CheckQueryDone(TSimulGo& W);

  // Worker thread: blocks until a page may have been added (a wake-up after
  // `generation`), the worker is told to stop, or the query ends.
  void WaitForPage(std::uint64_t generation, const std::atomic<bool>& Stopping);

  QueryQueue& queue() { return queue_; }

  // Whether workers started from now on lower their priority (the default), so that the
  // window stays responsive beside them. A command-line query, which has no window and
  // whose user waits for it, keeps the ordinary priority.
  void SetLowerPriority(bool on) { lowerpriority_ = on; }
  bool LowerPriority() const { return lowerpriority_; }

 private:
  void StopAndJoin();

  QueryHost& host_;
  QueryQueue& queue_;
  QueryListModel& querylist_;
  std::vector<TSimulGo*> alive_;  // every worker whose end has not been reported
  std::optional<std::string> unreadable_;

  WorkerWake wake_;
  bool destroying_ = false;
  bool lowerpriority_ = true;
};

}  // namespace ferrowyn
