// TParseUrls: the crawl worker of one transfer slot. Its thread takes URLs from the run's
// queue, has the GUI thread retrieve them, stores each page, queues its links and counts
// it; everything that touches shared state is a synchronised call onto the GUI thread.
#pragma once

#include <QSemaphore>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "crawl/crawl_limits.h"
#include "crawl/link_queue.h"

namespace ferrowyn {

class CrawlRun;

// What a worker copies from the live settings when it is made. Numbers are already
// integers (the caller refuses a run whose settings do not hold them).
struct WorkerSettings {
  std::vector<std::string> FileTypes;
  std::string ScopeName;
  std::string FilterText;  // lower-cased
  int MaxLevels = 3;
  bool GrabMail = false;
  int HttpTimeout = 0;  // seconds; 0 or less: never
  int SlowTimeout = 0;  // seconds; 0 or less: never
  bool IgnoreScripts = false;
  DownloadLimits Limits;
  bool LimitLevels = false;
  bool WithinTags = false;
  bool WithinTitles = false;
  bool WithinComments = false;
  std::string ProxyServer, ProxyPort, ProxyPassword, ProxyUser;
  std::string Agent;
};

// One object per slot and run, made by CrawlRun::multithreadit and deleted on the GUI
// thread once its thread has ended (after CrawlRun::parsethreadterminated).
//
// Fields marked (GUI) are read and written only on the GUI thread, inside synchronised
// calls or by the timers and the transfer's end; the worker thread reads them after the
// call or the transfer that wrote them has returned. The atomics are shared freely.
class TParseUrls : public QThread {
  Q_OBJECT

 public:
  TParseUrls(CrawlRun& run, int SlotNo, WorkerSettings settings);

  const int SlotNo;
  const WorkerSettings Settings;

  // The stop request, written on the GUI thread and polled by the worker.
  std::atomic<bool> Stopping{false};
  // The transfer is in progress; cleared by its end and by the watchdogs.
  std::atomic<bool> Busy{false};
  std::atomic<bool> TimedOut{false};

  // The current job (GUI while a call or a transfer runs; the worker's otherwise).
  std::string CurrentUrl;
  SiteMapNode PageNode = kNoNode;
  bool IsStartPage = false;
  std::string StatusText;
  std::string ErrorText;
  bool TransferOk = false;
  bool MayContinue = true;
  bool DbError = false;
  std::uint64_t LastBytes = 0;
  std::uint64_t BytesAtLastCheck = 0;
  int QueuedCount = 0;
  std::string RedirectUrl;
  std::vector<std::string> PageLines;
  std::string PageHost, PagePath;
  // The body of the transfer in progress (the client's RcvdStream).
  std::string Received;

  // The GUI thread reports the end of this worker's transfer here.
  void TransferEnded() { transfer_done_.release(); }

 protected:
  void run() override;

 private:
  // Runs `step` on the GUI thread while this thread waits; rethrows its failure here.
  void Sync(const std::function<void()>& step);
  void ShowSlotStatus(const std::string& text);
  // One pass of the loop; false when the worker is to end.
  bool Pass();

  CrawlRun& run_;
  QSemaphore transfer_done_;
};

}  // namespace ferrowyn
