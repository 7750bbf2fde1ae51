// TParseUrls: the crawl worker of one transfer slot. Its thread takes URLs from the run's
// queue, has the GUI thread retrieve them, stores each page, queues its links and counts
// it; everything that touches shared state is a synchronised call onto the GUI thread.
//
// A page costs two visits to the GUI thread: one starts its transfer, the other (shared
// with the start of the next transfer) runs the page's steps on shared state in their
// order. Everything in between that needs no shared state (the page's assembly, its query
// text and compressed records, its title and links) is made on the worker's own thread.
#pragma once

#include <QSemaphore>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crawl/crawl_limits.h"
#include "crawl/link_queue.h"
#include "crawl/page_capture.h"

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
  // https:// pages and links are crawled (over TLS); off: an https:// URL is handled as always.
  bool AllowHttps = false;
  // A server certificate that fails verification is accepted (the run's --insecure).
  bool AcceptBadCertificates = false;
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
  // The worker ended because its passes kept failing (read once its thread has ended).
  bool GaveUp = false;
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
  // What the worker made of a retrieved page, waiting for the page's steps on the GUI
  // thread. A hook call of the link extraction is kept as it was made: a page list row
  // (url, title), a status (text) or a mail address (text).
  struct HookCall {
    enum class Kind { kPageListRow, kStatus, kMailAddress } kind;
    std::string text, title;
  };
  struct ReadyPage {
    bool GoesOn = false;  // there are lines to store and the transfer did not time out
    PreparedPage Records;
    std::vector<HookCall> Hooks;
    bool LinksReady = false;  // the extraction ran to its end; `Candidates` may be queued
    std::vector<std::string> Candidates;
  };

  // Runs `step` on the GUI thread while this thread waits; rethrows its failure here.
  void Sync(const std::function<void()>& step);
  void ShowSlotStatus(std::string_view text);
  // One pass of the loop; false when the worker is to end.
  bool Pass();
  // Worker thread: makes the retrieved page ready for its steps.
  void MakePageReady();
  // GUI thread, in a synchronised call: the page's steps on shared state, as the worker
  // would have made them one call at a time, with the same tests of `Stopping`.
  void FinishPage();
  // GUI thread, in a synchronised call: takes the next job and starts its transfer.
  void TakeJobAndStart(std::uint64_t& generation);

  CrawlRun& run_;
  QSemaphore transfer_done_;
  std::optional<ReadyPage> ready_;
};

}  // namespace ferrowyn
