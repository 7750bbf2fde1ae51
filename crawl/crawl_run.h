// CrawlRun: one retrieval of a site from its start to its end, on the GUI thread. It
// keeps the run's state (the URL queue, the crawl origin, the per-slot flags and
// counters, the stop requests), starts one crawl worker per transfer slot, runs the
// transfers and the two transfer watchdogs, makes the end test and hands the end over to
// the main window.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "base/slot_status.h"
#include "base/worker_pool.h"
#include "crawl/capture_targets.h"
#include "crawl/crawl_limits.h"
#include "crawl/link_queue.h"
#include "crawl/parse_urls_worker.h"
#include "crawl/url_toolkit.h"
#include "store/query_queue.h"

namespace ferrowyn {

class TQDB;
class THttpCli;
class PageCapture;
struct PreparedPage;

inline constexpr int kSlotCount = 4;

// What the run needs from the main window besides the stores and models. Implemented by
// the main window's controller; every call comes on the GUI thread.
class CrawlHost {
 public:
  virtual ~CrawlHost() = default;
  // The HTTP client of transfer slot 1..4; null in a program that never retrieves.
  virtual THttpCli* httpclient(int slot) = 0;
  // The Action text of the slot view's row "  Search <slot>:".
  virtual void SetSlotAction(int slot, const std::string& text) = 0;
  // The statistics labels "Pages Retrieved" and "Kilobytes Transferred", as shown.
  virtual std::string& numproc() = 0;
  virtual std::string& bytestran() = 0;
  // False while a halt is in progress (the search button is disabled then).
  virtual bool searchbtnenabled() const = 0;
  // The elapsed-time clock runs: a run is in progress.
  virtual bool crawlrunning() const = 0;
  // The run ends before its natural end (`stopped`).
  virtual void MarkStopped() = 0;
  // The `URL` box shows a redirected start URL.
  virtual void ShowStartUrl(const std::string& url) = 0;
  // The width of a text in the page list's font, in pixels.
  virtual int TextWidth(std::string_view text) = 0;
  // The last worker has ended.
  virtual void posttransfer() = 0;
  // Tells every running query worker to stop.
  virtual void StopQueryWorkers() = 0;
  // Every query slot is idle and no stored page waits for the query workers (true when
  // no query runs with the crawl).
  virtual bool QuerySlotsIdle() const = 0;
  // A stored page was handed to the query workers.
  virtual void QueryPageAdded() = 0;
  // The run's state changed (labels, slot rows); the window re-reads it.
  virtual void Changed() = 0;
};

// The stores and models the run works on, owned by the main window.
struct CrawlResources {
  TQDB& QDB;
  TQDB& urldb;
  SiteMapTarget& mainview;
  PageListTarget& urllistview;
  MailListTarget& maillist;
  QueryQueue& queries;
  QTimer& megatoolong;
  QTimer& megatestsize;
};

// Owned by the main window's controller; lives as long as it. GUI thread only, apart from
// the worker-side calls named as such. Destroying it while workers run stops them and
// waits for their threads.
class CrawlRun : public QObject {
  Q_OBJECT

 public:
  CrawlRun(CrawlHost& host, CrawlResources resources, QObject* parent = nullptr);
  ~CrawlRun() override;

  // --- Run state (GUI thread).
  std::array<TParseUrls*, kSlotCount + 1> crawlworker{};  // [1..4]
  std::array<bool, kSlotCount + 1> transferrunning{};
  std::array<bool, kSlotCount + 1> transferhalted{};
  std::array<bool, kSlotCount + 1> transferidle{};
  std::array<int, kSlotCount + 1> toolongcount{};
  std::array<int, kSlotCount + 1> slowcount{};
  std::atomic<bool> stopall{false};
  bool stoppedbylimit = false;
  bool stoppedbydberror = false;
  bool firstjob = false;
  bool startpagefailed = false;
  std::string startpageerror;
  UrlQueue urlqueue;
  CrawlOrigin origin;
  int levellimit = 3;
  // The site login; it goes only to `origin.loginserver`.
  bool usecredentials = false;
  std::string credentialuser, credentialpassword;
  // Stored pages are handed to the query workers.
  bool livequery = false;

  // Clears the run's flags and queue for a new run (`startrecurse`).
  void ResetForNewRun();

  // Starts one worker per used slot (`slotcount`, 1..4), each with `settings`; marks the
  // others idle.
  void startitup(int slotcount, const WorkerSettings& settings);
  void multithreadit(int slot, const WorkerSettings& settings);
  // Every transfer slot has nothing more to retrieve.
  bool TransfersIdle() const;

  // Holds every worker before its next synchronised call and pauses the two watchdogs
  // (while the close question is shown); ResumeWorkers lets everything go on.
  void SuspendWorkers();
  void ResumeWorkers();

  void resetthreadtimer(int slot);
  void megatoolongTimer();
  void megatestsizeTimer();
  void finalterminate();
  void notifythreadterminate(int slot);
  // A worker's thread has ended: its row shows "Inactive", its flags are cleared, and
  // when no worker runs any more the main window's posttransfer follows.
  void parsethreadterminated(TParseUrls* worker);
  // A worker runs in some slot.
  bool AnyWorkerRunning() const;

  // --- The worker's operations, each run on the GUI thread inside a synchronised call.
  // `generation` receives the wake-up count for WaitForWork.
  void TakeNextJob(TParseUrls& W, std::uint64_t& generation);
  void ShowSlotStatus(TParseUrls& W);
  void begintransfer(TParseUrls& W);
  void AddPageNode(TParseUrls& W);
  void CheckLimits(TParseUrls& W);
  void StopForLimit(TParseUrls& W);
  // Stores the worker's page, whose records it has made ready.
  void StorePage(TParseUrls& W, const PreparedPage& page);
  void AddPageListRow(TParseUrls& W, const std::string& url, const std::string& title);
  void AddMailAddress(TParseUrls& W, const std::string& address);
  void QueueLinks(TParseUrls& W, const std::vector<std::string>& Candidates);
  void CountPage(TParseUrls& W);

  // Worker thread: blocks until the queue may hold work again (a wake-up after
  // `generation`), the worker is told to stop, or the run ends.
  void WaitForWork(std::uint64_t generation, const std::atomic<bool>& Stopping);
  // Worker thread: waits while the workers are suspended.
  void WaitWhileSuspended();

  // The two events of the slots' clients and the end of their requests.
  void DocData(THttpCli* Sender);
  void LocationChange(THttpCli* Sender);
  void RequestDone(THttpCli* Sender, std::exception_ptr error);

  CrawlResources& resources() { return res_; }
  CrawlHost& host() { return host_; }

 private:
  void UpdateIdle(TParseUrls& W, bool after_page);
  void ReportStartPageError(TParseUrls& W);
  void AdoptRedirect(TParseUrls& W);
  TParseUrls* WorkerOf(THttpCli* Sender) const;
  // The client of a slot of a run that retrieves; throws std::logic_error without one.
  THttpCli& Client(int slot);
  // Stops every worker and waits for the threads (destruction only).
  void StopAndJoin();

  CrawlHost& host_;
  CrawlResources res_;
  std::unique_ptr<PageCapture> capture_;

  WorkerWake wake_;  // its hold is the suspension of the workers
  bool destroying_ = false;
};

}  // namespace ferrowyn
