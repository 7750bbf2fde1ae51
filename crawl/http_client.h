// THttpCli: the HTTP/1.0 GET client of one transfer slot. Direct or through a
// proxy, basic authentication for the site and the proxy, redirects followed by
// the client itself, the body delivered in chunks as it arrives, abort at any
// moment. Request text, response parsing and error texts are our own; Qt only
// provides the name lookup and the TCP socket. For https:// when AllowTls is on, TLS
// runs over that socket on OpenSSL (TlsChannel).
//
// Threading: a THttpCli lives on the GUI thread and is driven by that thread's
// event loop; every operation, callback and signal happens on it. Get() only
// starts a request and returns at once, so several clients make progress at the
// same time without a nested event loop. GetAndWait() is the blocking form for
// simple callers (command-line tools, tests).
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "crawl/http_response_parser.h"
#include "crawl/http_texts.h"
#include "crawl/tls_channel.h"

class QHostInfo;
class QTcpSocket;

namespace ferrowyn {

class THttpCli : public QObject {
  Q_OBJECT

 public:
  // The phases of a request; kIdle between requests.
  enum class State { kIdle, kLookingUp, kConnecting, kWaitingHeaders, kReceivingBody };

  using TDocDataEvent = std::function<void(THttpCli* sender, const char* buffer, size_t len)>;
  using TNotifyEvent = std::function<void(THttpCli* sender)>;
  // `error` is null on success; otherwise it holds an EHttpException whose
  // status and reason are also in StatusCode() and ReasonPhrase().
  using TRequestDoneEvent = std::function<void(THttpCli* sender, std::exception_ptr error)>;

  // Reason phrases of the client's own failures (all with status 404).
  static constexpr const char* kResponseTooLarge = "response too large";
  static constexpr const char* kNoStatusLine = "no status line in the response";
  static constexpr const char* kTooManyRedirects = "more than 20 redirects";
  static constexpr const char* kTimedOut = "no complete response in time";
  // "control character in the " + one of: "URL", "User-Agent", "login", "proxy
  // settings", "redirect location".
  static constexpr const char* kControlCharacter = "control character in the ";
  // A server certificate failed verification: this + the text of each reason, joined
  // by "; " ("certificate verification failed: The certificate has expired").
  static constexpr const char* kCertificateFailed = TlsChannel::kCertificateFailed;
  // A TLS handshake that failed otherwise: this + what went wrong ("TLS handshake
  // failed: wrong version number").
  static constexpr const char* kTlsHandshakeFailed = TlsChannel::kHandshakeFailed;
  // A proxy answered CONNECT with a status below 400 that is not 2xx: this + the
  // status line's code and reason ("proxy refused the tunnel: 302 Found").
  static constexpr const char* kTunnelRefused = "proxy refused the tunnel: ";
  static constexpr size_t kDefaultMaxResponseBytes = size_t{64} << 20;
  // Redirects followed within one Get; the response that would be one more fails.
  static constexpr int kMaxRedirects = 20;
  // Body bytes are read and delivered in chunks of at most this size.
  static constexpr size_t kMaxChunkBytes = 8191;

  explicit THttpCli(QObject* parent = nullptr);
  // What makes a program's clients; MakeHttpClient gives a new, idle one.
  using Maker = std::unique_ptr<THttpCli> (*)();
  // Destroying a busy client drops its request without calling OnRequestDone.
  ~THttpCli() override;

  // Settings, read when Get() starts; changing them during a request has no
  // effect on it.
  std::string URL;
  std::string Proxy;             // "" (direct), a host, "host:port" or "http://host:port"
  std::string ProxyPort = "80";  // used when Proxy names no port
  std::string ProxyUsername;
  std::string ProxyPassword;
  // Site credentials; user information in URL takes precedence. They go only to the
  // server (scheme, host without regard to case, port) of URL, also after redirects.
  std::string Username;
  std::string Password;
  std::string Agent;  // User-Agent value; "" sends no User-Agent line
  int Tag = 0;        // the slot number, for the callbacks' use
  // Receives the body bytes (NULs removed). Not owned; may be null; must
  // outlive the request.
  std::string* RcvdStream = nullptr;
  // Past this many body bytes received (NUL bytes included, as RcvdCount counts them)
  // the request ends with 404 and "response too large", so a hostile server can
  // exhaust neither memory nor the receiver's patience.
  size_t MaxResponseBytes = kDefaultMaxResponseBytes;
  // When above zero, a request that has not ended this long after Get() ends with 404
  // and kTimedOut, whatever its phase (redirects included). The crawl ends its
  // transfers with watchdogs of its own and leaves this at zero.
  std::chrono::milliseconds Timeout{0};
  // When false, an https:// URL or Location is handled like any other scheme: sent over
  // plain TCP to port 80 unless it names one, exactly as the client always did. When
  // true, https:// goes over TLS (SNI and certificate verification against the trusted
  // certificates; see docs/http_client.md) to port 443 unless the URL names one.
  bool AllowTls = false;
  // Accepts a server certificate that fails verification (a run's --insecure).
  bool IgnoreCertificateErrors = false;

  // Callbacks, all called on the GUI thread from the event loop. A callback may
  // call Abort(); the client then stops processing what it had in hand.
  TDocDataEvent OnDocData;          // each body chunk, NUL bytes removed
  TNotifyEvent OnLocationChange;    // a Location is about to be followed; see Redirect()
  TRequestDoneEvent OnRequestDone;  // the request has ended; the client is idle again

  // Results of the current or last request.
  int StatusCode() const { return status_code_; }
  const std::string& ReasonPhrase() const { return reason_phrase_; }
  const std::string& Redirect() const { return redirect_; }  // last Location value
  // Where the redirect being followed leads: the Location value when it names a server
  // ("://"), otherwise the current server's URL with the Location's path made absolute
  // ("/x" on the server, "x" in the current directory). Set before OnLocationChange.
  const std::string& LocationUrl() const { return location_url_; }
  // Body bytes received for the current Get, NULs included, redirects included.
  uint64_t RcvdCount() const { return rcvd_count_; }
  State state() const { return state_; }
  bool Busy() const { return state_ != State::kIdle; }
  // The last TLS connection's handshake resumed a session kept from an earlier connection
  // to the same server (verified ones only are kept).
  bool TlsSessionResumed() const { return tls_resumed_; }

  // Starts a GET for URL and returns at once. The request ends, on the event
  // loop, with OnRequestDone and the RequestDone signal; it has failed when the
  // final status is 400 or more. A setting that goes into the request (URL, Agent,
  // the login in use, the proxy settings when a proxy is used) and holds a control
  // character fails the request in the same way before anything is sent. Throws
  // EHttpException("HTTP component is busy", 0) when a request is already in
  // progress (which goes on unaffected).
  // Get and Abort are virtual, like the destructor, so that code holding a client it was
  // given (the crawl run) links no network code: ferrowyn-cli's readers, which never
  // retrieve, are made without it.
  virtual void Get();

  // Get() and run a local event loop until the request has ended. Throws
  // EHttpException for a failed request and when busy. For command-line tools
  // and tests; the crawl uses Get().
  void GetAndWait();

  // Ends the request in progress at once, in any phase: status 404, "Connection
  // aborted.", OnRequestDone called before Abort returns. On an idle client it
  // only closes a socket left open.
  virtual void Abort();

 signals:
  void RequestDone();
  void StateChanged(ferrowyn::THttpCli::State state);

 private:
  struct Target {
    std::string scheme, host, port, path;
  };

  void SetState(State state);
  void BeginConnection();
  void OnLookupDone(const QHostInfo& info, uint64_t generation);
  void ConnectTo(const QHostAddress& address, uint16_t port);
  void OnSocketConnected();
  void SendRequest();
  void StartTls();
  // Goes on after a step of the TLS handshake: the request once it is established.
  void AfterHandshakeStep(TlsChannel::Progress progress);
  void HandleTunnelReply(std::string_view block);
  // ServerOf with https's own default port (443) when the request may use TLS.
  std::string LoginServer(const std::string& scheme, const std::string& host,
                          const std::string& port) const;
  void OnSocketReadyRead();
  void OnSocketError();
  // Ends the request when the connection broke during its CONNECT exchange or TLS
  // handshake for a reason known better than the socket's error; false otherwise.
  bool FailedInTunnelOrTls();
  void OnConnectionClosed();
  // The server has ended the response (closed the connection, or ended TLS).
  void EndOfResponse();
  void HandleBlock(std::string_view block);
  void DeliverBody(std::string_view chunk);
  void FollowRedirect();
  std::string RequestText() const;
  // scheme ("http" when none) + "://" + host, + ":" + port when there is one, + path
  // ("/" when empty).
  static std::string AbsoluteUrl(const Target& target);
  // The setting of the request in hand that holds a control character ("URL", ...), or "".
  std::string UnsendableSetting() const;
  void Fail(int status_code, std::string reason_phrase);
  void FailLater(int status_code, std::string reason_phrase);
  void Finish();
  void DropConnection();

  // Results.
  int status_code_ = 0;
  std::string reason_phrase_;
  std::string redirect_;
  std::string location_url_;
  uint64_t rcvd_count_ = 0;

  // The request in progress, fixed when Get() starts.
  Target target_;
  std::string auth_user_, auth_password_;
  std::string login_server_;  // ServerOf the URL the login was given for
  int redirects_ = 0;
  std::string proxy_, proxy_port_, proxy_user_, proxy_password_, agent_;
  bool allow_tls_ = false;
  bool ignore_certificate_errors_ = false;
  // The connection in hand: TLS (an https:// target with allow_tls_), its CONNECT
  // reply being read (a proxy), and its TLS once the handshake has begun.
  bool tls_ = false;
  bool tls_resumed_ = false;
  std::unique_ptr<HttpResponseParser> tunnel_parser_;
  std::unique_ptr<TlsChannel> channel_;
  size_t max_response_bytes_ = kDefaultMaxResponseBytes;
  std::string* stream_ = nullptr;
  QTimer deadline_;  // Timeout, running while a request is

  State state_ = State::kIdle;
  // Bumped when a request ends and at every new connection of it, so that late
  // lookups, timers and socket signals of an earlier step are recognised and
  // dropped, and so that code after a callback can tell it was aborted.
  uint64_t generation_ = 0;
  QTcpSocket* socket_ = nullptr;
  std::unique_ptr<HttpResponseParser> parser_;
  bool in_get_ = false;  // Get() is running: a failure must wait for the event loop
  bool in_connect_call_ = false;
  bool connect_failed_in_call_ = false;
  std::exception_ptr last_error_;
};

// A new, idle client: the maker of every program that retrieves pages.
std::unique_ptr<THttpCli> MakeHttpClient();

}  // namespace ferrowyn
