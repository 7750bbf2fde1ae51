// The crawl run's state on the GUI thread: starting the workers, the jobs they take, the
// end test, the limits, the page capture steps and the end of the run.
#include "crawl/crawl_run.h"

#include "crawl/http_client.h"
#include "crawl/page_capture.h"
#include "store/record_store.h"

namespace ferrowyn {

namespace {
constexpr char kInactive[] = "Inactive";
}  // namespace

CrawlRun::CrawlRun(CrawlHost& host, CrawlResources resources, QObject* parent)
    : QObject(parent),
      host_(host),
      res_(resources),
      capture_(std::make_unique<PageCapture>(res_.QDB, res_.mainview, res_.urllistview,
                                             res_.maillist, res_.queries)) {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    transferidle[slot] = true;
    THttpCli* client = host_.httpclient(slot);
    if (client == nullptr) continue;
    client->OnDocData = [this](THttpCli* sender, const char*, size_t) { DocData(sender); };
    client->OnLocationChange = [this](THttpCli* sender) { LocationChange(sender); };
    client->OnRequestDone = [this](THttpCli* sender, std::exception_ptr error) {
      RequestDone(sender, error);
    };
  }
  connect(&res_.megatoolong, &QTimer::timeout, this, &CrawlRun::megatoolongTimer);
  connect(&res_.megatestsize, &QTimer::timeout, this, &CrawlRun::megatestsizeTimer);
}

CrawlRun::~CrawlRun() {
  StopAndJoin();
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    THttpCli* client = host_.httpclient(slot);
    if (client == nullptr) continue;
    client->OnDocData = nullptr;
    client->OnLocationChange = nullptr;
    client->OnRequestDone = nullptr;
  }
}

THttpCli& CrawlRun::Client(int slot) {
  THttpCli* client = host_.httpclient(slot);
  if (client == nullptr) throw std::logic_error("no HTTP client for a transfer slot");
  return *client;
}

void CrawlRun::StopAndJoin() {
  destroying_ = true;
  if (!AnyWorkerRunning()) return;
  stopall = true;
  ResumeWorkers();
  for (int slot = 1; slot <= kSlotCount; ++slot) notifythreadterminate(slot);
  wake_.Wake();
  ServeEventsUntil([this] { return !AnyWorkerRunning(); });
}

void CrawlRun::ResetForNewRun() {
  stoppedbylimit = false;
  stoppedbydberror = false;
  startpagefailed = false;
  startpageerror.clear();
  urlqueue.clear();
  firstjob = false;
}

void CrawlRun::startitup(int slotcount, const WorkerSettings& settings) {
  stopall = false;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (slot == 1 || slot <= slotcount) {
      multithreadit(slot, settings);
    } else {
      transferidle[slot] = true;
    }
  }
}

void CrawlRun::multithreadit(int slot, const WorkerSettings& settings) {
  transferrunning[slot] = true;
  transferhalted[slot] = false;
  transferidle[slot] = false;
  auto* worker = new TParseUrls(*this, slot, settings);
  crawlworker[slot] = worker;
  connect(worker, &QThread::finished, this, [this, worker] { parsethreadterminated(worker); });
  worker->start();  // the worker lowers its own priority as it begins
  res_.megatoolong.start();
  res_.megatestsize.start();
}

bool CrawlRun::TransfersIdle() const {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (!transferidle[slot]) return false;
  }
  return true;
}

void CrawlRun::SuspendWorkers() {
  wake_.Hold();
  // A held worker cannot finish its transfer's processing: its time does not count.
  res_.megatoolong.stop();
  res_.megatestsize.stop();
}

void CrawlRun::ResumeWorkers() {
  wake_.Release();
  if (AnyWorkerRunning() && !stopall && !destroying_) {
    res_.megatoolong.start();
    res_.megatestsize.start();
  }
}

void CrawlRun::WaitWhileSuspended() { wake_.WaitWhileHeld(); }

void CrawlRun::WaitForWork(std::uint64_t generation, const std::atomic<bool>& Stopping) {
  wake_.WaitAfter(generation, [&] { return Stopping.load() || stopall.load(); });
}

bool CrawlRun::AnyWorkerRunning() const {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (transferrunning[slot]) return true;
  }
  return false;
}

void CrawlRun::TakeNextJob(TParseUrls& W, std::uint64_t& generation) {
  generation = wake_.Generation();
  if (stopall || !host_.searchbtnenabled()) {
    W.Stopping = true;
    return;
  }
  transferidle[W.SlotNo] = false;
  W.CurrentUrl.clear();
  if (urlqueue.empty()) {
    UpdateIdle(W, false);
    return;
  }
  QueuedUrl job = std::move(urlqueue.front());
  urlqueue.pop_front();
  W.CurrentUrl = std::move(job.Url);
  W.PageNode = job.Node;
  W.IsStartPage = firstjob;
  firstjob = false;
}

void CrawlRun::UpdateIdle(TParseUrls& W, bool after_page) {
  if (stopall) return;
  transferidle[W.SlotNo] = urlqueue.empty() && (!after_page || W.QueuedCount == 0);
  // A page stored but not yet taken by a query worker keeps the run going, even while
  // every query slot still reads idle from its last look at the queue.
  if (!TransfersIdle() || !host_.QuerySlotsIdle()) return;
  stopall = true;
  finalterminate();
}

void CrawlRun::ShowSlotStatus(TParseUrls& W) {
  if (W.Stopping) return;
  const std::string text =
      FitSlotStatus(W.StatusText, [this](std::string_view t) { return host_.TextWidth(t); });
  host_.SetSlotAction(W.SlotNo, text);
}

void CrawlRun::AddPageNode(TParseUrls& W) {
  W.PageNode = capture_->AddPageNode(W.PageNode, W.CurrentUrl, W.Stopping);
}

void CrawlRun::CheckLimits(TParseUrls& W) {
  if (W.Stopping) {
    W.MayContinue = true;
    return;
  }
  W.MayContinue =
      CheckDownloadLimits(host_.bytestran(), host_.numproc(), W.LastBytes, W.Settings.Limits);
  host_.Changed();
}

void CrawlRun::StopForLimit(TParseUrls& W) {
  if (W.DbError) {
    stoppedbydberror = true;
  } else {
    stoppedbylimit = true;
  }
  if (host_.crawlrunning()) {
    host_.MarkStopped();
    finalterminate();
  }
}

void CrawlRun::StorePage(TParseUrls& W, const PreparedPage& page) {
  const StoreOutcome outcome = capture_->StorePage(W.CurrentUrl, page, livequery, W.DbError,
                                                   [this, &W] { StopForLimit(W); });
  if (outcome == StoreOutcome::kStored && livequery) host_.QueryPageAdded();
}

void CrawlRun::AddPageListRow(TParseUrls& W, const std::string& url, const std::string& title) {
  capture_->AddPageListRow(url, title, W.Stopping);
}

void CrawlRun::AddMailAddress(TParseUrls& W, const std::string& address) {
  capture_->AddMailAddress(address, W.Stopping);
}

void CrawlRun::QueueLinks(TParseUrls& W, const std::vector<std::string>& Candidates) {
  const QueuePage page{W.PageNode, res_.mainview.Depth(W.PageNode)};
  const LevelLimit levels{W.Settings.LimitLevels, W.Settings.MaxLevels};
  const QueueLinksResult result = ferrowyn::QueueLinks(
      Candidates, page, origin, levels, res_.urldb, urlqueue,
      [this, &W](const std::string& link) { capture_->AddRejectedNode(W.PageNode, link); },
      [this] { return stopall.load(); });
  W.QueuedCount = result.QueuedCount;
  if (result.QueuedCount > 0) wake_.Wake();
  if (result.DbError) {
    W.DbError = true;
    StopForLimit(W);
    return;
  }
  UpdateIdle(W, true);
}

void CrawlRun::CountPage(TParseUrls&) {
  CountPageLabel(host_.numproc());
  host_.Changed();
}

void CrawlRun::finalterminate() {
  stopall = true;
  for (int slot = 1; slot <= kSlotCount; ++slot) notifythreadterminate(slot);
  wake_.Wake();
  host_.StopQueryWorkers();
}

void CrawlRun::notifythreadterminate(int slot) {
  if (!transferrunning[slot] || crawlworker[slot] == nullptr) return;
  TParseUrls& W = *crawlworker[slot];
  W.Stopping = true;
  transferhalted[slot] = true;
  try {
    Client(slot).Abort();
  } catch (...) {
  }
  wake_.Wake();
}

void CrawlRun::parsethreadterminated(TParseUrls* worker) {
  const int slot = worker->SlotNo;
  // `finished` is sent just before the thread ends; wait for that before freeing it.
  worker->wait();
  const bool gave_up = worker->GaveUp;
  if (slot >= 1 && slot <= kSlotCount && crawlworker[slot] == worker) {
    crawlworker[slot] = nullptr;
    transferidle[slot] = true;
    transferhalted[slot] = false;
    transferrunning[slot] = false;
    if (!destroying_) host_.SetSlotAction(slot, kInactive);
  }
  delete worker;
  if (destroying_) return;
  // A worker whose passes kept failing ends the run, as a halt would: the others would
  // wait for its page for ever.
  if (gave_up && !stopall) {
    host_.MarkStopped();
    finalterminate();
  }
  host_.Changed();
  if (!AnyWorkerRunning()) {
    res_.megatoolong.stop();
    res_.megatestsize.stop();
    host_.posttransfer();
  }
}

}  // namespace ferrowyn
