// The GUI thread's side of a slot's retrieval: starting the request for the worker, the
// client's data and redirect events, the end of the request, and the two watchdogs that
// end transfers which take too long or stall.
#include "crawl/crawl_run.h"
#include "crawl/http_client.h"

namespace ferrowyn {

TParseUrls* CrawlRun::WorkerOf(THttpCli* Sender) const {
  if (Sender == nullptr || Sender->Tag < 1 || Sender->Tag > kSlotCount) return nullptr;
  return crawlworker[Sender->Tag];
}

void CrawlRun::resetthreadtimer(int slot) {
  toolongcount[slot] = 0;
  slowcount[slot] = 0;
}

void CrawlRun::begintransfer(TParseUrls& W) {
  const int slot = W.SlotNo;
  THttpCli& C = Client(slot);
  resetthreadtimer(slot);
  W.BytesAtLastCheck = 0;
  W.Received.clear();
  C.RcvdStream = &W.Received;

  if (!W.Settings.ProxyPort.empty() && !W.Settings.ProxyServer.empty()) {
    C.ProxyPort = W.Settings.ProxyPort;
    C.Proxy = W.Settings.ProxyServer;
  } else {
    C.Proxy.clear();
  }
  C.ProxyPassword = W.Settings.ProxyPassword;
  C.ProxyUsername = W.Settings.ProxyUser;

  // The site login belongs to the server the user named: another port of its host, or
  // the host a redirected start page moved to, never sees it. The client keeps it from
  // a redirect to another server in the same way.
  if (usecredentials && ServerOf(W.CurrentUrl) == origin.loginserver) {
    C.Username = credentialuser;
    C.Password = credentialpassword;
  } else {
    C.Username.clear();
    C.Password.clear();
  }

  C.URL = W.CurrentUrl;
  C.Agent = W.Settings.Agent;
  C.AllowTls = W.Settings.AllowHttps;
  C.IgnoreCertificateErrors = W.Settings.AcceptBadCertificates;
  W.ErrorText.clear();

  if (W.Stopping) {
    // Told to stop before the request went out: starting it now would leave a transfer
    // that no watchdog ends any more.
    W.TransferOk = false;
    W.LastBytes = 0;
    C.RcvdStream = nullptr;
    W.Busy = false;
    W.TransferEnded();
    return;
  }
  try {
    C.Get();
  } catch (const EHttpException& error) {
    // The client is busy with a request of its own; this job fails like any other.
    W.TransferOk = false;
    W.ErrorText = HttpErrorText(error.StatusCode(), error.ReasonPhrase());
    if (W.IsStartPage) ReportStartPageError(W);
    W.LastBytes = 0;
    W.Busy = false;
    W.TransferEnded();
  }
}

void CrawlRun::RequestDone(THttpCli* Sender, std::exception_ptr error) {
  TParseUrls* worker = WorkerOf(Sender);
  if (worker == nullptr || Sender->RcvdStream != &worker->Received) return;
  TParseUrls& W = *worker;
  if (!error) {
    W.TransferOk = true;
    LoadMemoFromMemoryStream(W.PageLines, W.Received);
  } else {
    W.TransferOk = false;
    W.ErrorText = HttpErrorText(Sender->StatusCode(), Sender->ReasonPhrase());
    if (W.IsStartPage) ReportStartPageError(W);
  }
  UrlParts parts = SplitUrl(W.CurrentUrl);
  W.PageHost = parts.host;
  W.PagePath = parts.path;
  pathincludefix(W.PagePath);
  Sender->RcvdStream = nullptr;
  W.Received.clear();
  W.Received.shrink_to_fit();
  W.LastBytes = Sender->RcvdCount();
  W.Busy = false;
  W.TransferEnded();
}

void CrawlRun::DocData(THttpCli* Sender) {
  TParseUrls* W = WorkerOf(Sender);
  if (W == nullptr) return;
  W->StatusText = std::to_string(Sender->RcvdCount()) + " Bytes received on " + W->CurrentUrl;
  ShowSlotStatus(*W);
}

void CrawlRun::LocationChange(THttpCli* Sender) {
  TParseUrls* W = WorkerOf(Sender);
  if (W == nullptr || !W->IsStartPage) return;
  // The absolute form: a start page moved to "/home/" is http://host/home/, the URL its
  // page is stored under and its links are resolved from.
  W->RedirectUrl = Sender->LocationUrl();
  AdoptRedirect(*W);
}

void CrawlRun::ReportStartPageError(TParseUrls& W) {
  startpageerror = W.ErrorText;
  startpagefailed = true;
}

void CrawlRun::AdoptRedirect(TParseUrls& W) {
  if (W.Settings.AllowHttps && ServerOf(W.CurrentUrl) == origin.loginserver &&
      IsHttpsUpgrade(W.CurrentUrl, W.RedirectUrl))
    origin.loginserver = ServerOf(W.RedirectUrl);
  W.CurrentUrl = W.RedirectUrl;
  AdoptStartUrl(origin, W.CurrentUrl);
  host_.ShowStartUrl(W.CurrentUrl);
}

void CrawlRun::megatoolongTimer() {
  res_.megatoolong.stop();
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    TParseUrls* W = crawlworker[slot];
    if (!transferrunning[slot] || W == nullptr || W->Stopping || !W->Busy) continue;
    if (W->Settings.HttpTimeout <= 0) continue;  // no time limit
    if (++toolongcount[slot] < W->Settings.HttpTimeout) continue;
    W->TimedOut = true;
    W->Busy = false;
    W->StatusText = "Time Out on " + W->CurrentUrl + " (Too Long)";
    ShowSlotStatus(*W);
    toolongcount[slot] = 0;
    Client(slot).Abort();
  }
  if (AnyWorkerRunning() && !stopall) res_.megatoolong.start();
}

void CrawlRun::megatestsizeTimer() {
  res_.megatestsize.stop();
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    TParseUrls* W = crawlworker[slot];
    if (!transferrunning[slot] || W == nullptr || W->Stopping) continue;
    if (W->Settings.SlowTimeout <= 0) continue;  // no stall limit
    if (++slowcount[slot] < W->Settings.SlowTimeout) continue;
    slowcount[slot] = 0;
    if (!W->Busy) continue;
    const std::uint64_t received = Client(slot).RcvdCount();
    const bool stalled = received == W->BytesAtLastCheck;
    W->BytesAtLastCheck = received;
    if (!stalled) continue;
    W->StatusText = "Time Out on Retrieval of " + W->CurrentUrl + " (Slow Transfer)";
    ShowSlotStatus(*W);
    W->Busy = false;
    Client(slot).Abort();
  }
  if (AnyWorkerRunning() && !stopall) res_.megatestsize.start();
}

}  // namespace ferrowyn
