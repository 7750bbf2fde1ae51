// THttpCli: HTTP/1.0 GET over QTcpSocket (with TLS on OpenSSL for https:// with AllowTls)
// on the GUI thread's event loop, with our own request text, response reading,
// redirects, abort and error texts.
#include "crawl/http_client.h"

#include <QEventLoop>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cassert>
#include <utility>
#include <vector>

#include "base/case_folding.h"
#include "base/whole_number.h"
#include "crawl/base64.h"
#include "crawl/url_toolkit.h"

namespace ferrowyn {

namespace {

constexpr const char* kBusy = "HTTP component is busy";
constexpr const char* kAborted = "Connection aborted.";
constexpr const char* kCantResolve = "can't resolve hostname to IP address";
constexpr const char* kCantConnect = "can't connect: ";
constexpr int kClientFailureStatus = 404;

bool IsHttps(std::string_view scheme) { return AsciiLower(scheme) == "https"; }

// A port text as a number; 0 when it is not a port.
uint16_t ParsePort(std::string_view text) {
  if (text.size() > 5) return 0;
  return static_cast<uint16_t>(ReadDecimal(text, Signs::kNone, 0, 65535).value_or(0));
}

}  // namespace

std::unique_ptr<THttpCli> MakeHttpClient() { return std::make_unique<THttpCli>(); }

THttpCli::THttpCli(QObject* parent) : QObject(parent) {
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, [this] {
    if (Busy()) Fail(kClientFailureStatus, kTimedOut);
  });
}

THttpCli::~THttpCli() {
  ++generation_;
  if (socket_ != nullptr) {
    socket_->disconnect(this);
    socket_->abort();
  }
}

void THttpCli::SetState(State state) {
  if (state_ == state) return;
  state_ = state;
  emit StateChanged(state);
}

void THttpCli::Get() {
  if (Busy()) throw EHttpException(kBusy, 0);
  status_code_ = 0;
  reason_phrase_.clear();
  redirect_.clear();
  location_url_.clear();
  rcvd_count_ = 0;
  redirects_ = 0;
  last_error_ = nullptr;

  const UrlParts url = SplitUrl(URL);
  target_ = {url.scheme, url.host, url.port, url.path};
  auth_user_ = Username;
  auth_password_ = Password;
  if (!url.user.empty() || !url.password.empty()) {
    auth_user_ = url.user;
    auth_password_ = url.password;
  }
  allow_tls_ = AllowTls;
  ignore_certificate_errors_ = IgnoreCertificateErrors;
  login_server_ = LoginServer(url.scheme, url.host, url.port);
  proxy_ = Proxy;
  proxy_port_ = ProxyPort;
  proxy_user_ = ProxyUsername;
  proxy_password_ = ProxyPassword;
  agent_ = Agent;
  stream_ = RcvdStream;
  max_response_bytes_ = MaxResponseBytes;
  if (Timeout.count() > 0) deadline_.start(Timeout);
  in_get_ = true;
  if (const std::string setting = UnsendableSetting(); !setting.empty()) {
    ++generation_;
    SetState(State::kLookingUp);
    FailLater(kClientFailureStatus, kControlCharacter + setting);
  } else {
    BeginConnection();
  }
  in_get_ = false;
}

std::string THttpCli::UnsendableSetting() const {
  if (HoldsControlCharacter(URL)) return "URL";
  if (HoldsControlCharacter(Agent)) return "User-Agent";
  if (HoldsControlCharacter(Username) || HoldsControlCharacter(Password)) return "login";
  if (!Proxy.empty() &&
      (HoldsControlCharacter(Proxy) || HoldsControlCharacter(ProxyPort) ||
       HoldsControlCharacter(ProxyUsername) || HoldsControlCharacter(ProxyPassword))) {
    return "proxy settings";
  }
  return {};
}

void THttpCli::GetAndWait() {
  Get();
  if (Busy()) {
    QEventLoop loop;
    connect(this, &THttpCli::RequestDone, &loop, &QEventLoop::quit);
    loop.exec();
  }
  if (last_error_) std::rethrow_exception(last_error_);
}

void THttpCli::Abort() {
  if (!Busy()) {
    DropConnection();
    return;
  }
  Fail(kClientFailureStatus, kAborted);
}

std::string THttpCli::LoginServer(const std::string& scheme, const std::string& host,
                                  const std::string& port) const {
  if (port.empty() && allow_tls_ && IsHttps(scheme)) return ServerOf(scheme, host, "443");
  return ServerOf(scheme, host, port);
}

// Looks up the host to connect to: the proxy's, or the target's.
void THttpCli::BeginConnection() {
  tls_ = allow_tls_ && IsHttps(target_.scheme);
  tunnel_parser_.reset();
  std::string host = target_.host;
  std::string port_text = target_.port.empty() ? (tls_ ? "443" : "80") : target_.port;
  if (!proxy_.empty()) {
    const UrlParts proxy = SplitUrl(proxy_);
    host = proxy.host;
    port_text = proxy.port.empty() ? proxy_port_ : proxy.port;
  }
  ++generation_;
  SetState(State::kLookingUp);
  if (host.empty()) {
    FailLater(kClientFailureStatus, kCantResolve);
    return;
  }
  const uint16_t port = ParsePort(port_text);
  if (port == 0) {
    FailLater(kClientFailureStatus, std::string(kCantConnect) + "Invalid port number \"" +
                                        port_text + "\" (Error #" +
                                        std::to_string(QAbstractSocket::UnknownSocketError) + ")");
    return;
  }
  const QString name = QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size()));
  if (const QHostAddress literal(name); !literal.isNull()) {
    // An address needs no lookup: connecting starts at once.
    ConnectTo(literal, port);
    return;
  }
  // A lookup is never aborted: one that a later step has overtaken ends on its own and
  // is dropped here (Qt 6.4 leaks the callback of a lookup aborted before it ran), and
  // none is delivered once the client is gone, since the client is its context.
  const uint64_t generation = generation_;
  QHostInfo::lookupHost(name, this, [this, generation, port](const QHostInfo& info) {
    if (generation != generation_) return;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
      Fail(kClientFailureStatus, kCantResolve);
      return;
    }
    // Our test and crawl peers listen on IPv4; prefer it when both exist.
    QHostAddress address = info.addresses().front();
    for (const QHostAddress& candidate : info.addresses()) {
      if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
        address = candidate;
        break;
      }
    }
    ConnectTo(address, port);
  });
}

void THttpCli::ConnectTo(const QHostAddress& address, uint16_t port) {
  const uint64_t generation = generation_;
  SetState(State::kConnecting);
  if (generation != generation_) return;  // aborted by a StateChanged handler
  socket_ = new QTcpSocket(this);
  socket_->setProxy(QNetworkProxy::NoProxy);
  connect(socket_, &QTcpSocket::connected, this, &THttpCli::OnSocketConnected);
  connect(socket_, &QTcpSocket::readyRead, this, &THttpCli::OnSocketReadyRead);
  connect(socket_, &QTcpSocket::disconnected, this, &THttpCli::OnConnectionClosed);
  connect(socket_, &QTcpSocket::errorOccurred, this, &THttpCli::OnSocketError);
  in_connect_call_ = true;
  connect_failed_in_call_ = false;
  socket_->connectToHost(address, port);
  in_connect_call_ = false;
  if (connect_failed_in_call_ && generation == generation_) {
    std::string reason = std::string(kCantConnect) + socket_->errorString().toStdString() +
                         " (Error #" + std::to_string(socket_->error()) + ")";
    // Inside Get() the failure waits for the event loop, so that Get() returns first.
    if (in_get_) {
      FailLater(kClientFailureStatus, std::move(reason));
    } else {
      Fail(kClientFailureStatus, std::move(reason));
    }
  }
}

void THttpCli::OnSocketConnected() {
  if (socket_ == nullptr) return;
  if (tls_ && !proxy_.empty()) {
    // A tunnel to the server first; TLS and the request go inside it.
    const std::string port = target_.port.empty() ? "443" : target_.port;
    std::string text = "CONNECT " + target_.host + ":" + port + " HTTP/1.0\r\n";
    if (!proxy_user_.empty()) {
      text += "Proxy-Authorization: Basic " + Base64Encode(proxy_user_ + ":" + proxy_password_) +
              "\r\n";
    }
    text += "\r\n";
    tunnel_parser_ = std::make_unique<HttpResponseParser>();
    socket_->write(text.data(), static_cast<qint64>(text.size()));
    return;
  }
  if (tls_) {
    StartTls();
    return;
  }
  SendRequest();
}

void THttpCli::HandleTunnelReply(std::string_view block) {
  tunnel_parser_->Feed(block);
  const int status = tunnel_parser_->status_code();
  switch (tunnel_parser_->phase()) {
    case HttpResponseParser::Phase::kHeaders:
      return;
    case HttpResponseParser::Phase::kErrorStatus:
      Fail(status, tunnel_parser_->reason_phrase());
      return;
    case HttpResponseParser::Phase::kLineTooLong:
      Fail(kClientFailureStatus, kResponseTooLarge);
      return;
    case HttpResponseParser::Phase::kNoStatusLine:
      Fail(kClientFailureStatus, kNoStatusLine);
      return;
    case HttpResponseParser::Phase::kRedirect:
    case HttpResponseParser::Phase::kBody:
      break;
  }
  if (status < 200 || status > 299) {
    // Taking it as the page's status would report a failed request as done.
    Fail(kClientFailureStatus,
         kTunnelRefused + std::to_string(status) + " " + tunnel_parser_->reason_phrase());
    return;
  }
  tunnel_parser_.reset();
  StartTls();
}

void THttpCli::StartTls() {
  const std::string port = target_.port.empty() ? "443" : target_.port;
  tls_resumed_ = false;
  channel_ = std::make_unique<TlsChannel>(socket_, target_.host, port, ignore_certificate_errors_);
  AfterHandshakeStep(channel_->Start());
}

void THttpCli::AfterHandshakeStep(TlsChannel::Progress progress) {
  switch (progress) {
    case TlsChannel::Progress::kHandshaking:
      return;
    case TlsChannel::Progress::kFailed:
      Fail(kClientFailureStatus, channel_->Failure());
      return;
    case TlsChannel::Progress::kEstablished:
      tls_resumed_ = channel_->Resumed();
      SendRequest();
      return;
  }
}

void THttpCli::SendRequest() {
  const uint64_t generation = generation_;
  parser_ = std::make_unique<HttpResponseParser>();
  SetState(State::kWaitingHeaders);
  if (generation != generation_ || socket_ == nullptr) return;
  const std::string request = RequestText();
  if (channel_ != nullptr) {
    if (!channel_->Write(request)) Fail(kClientFailureStatus, channel_->Failure());
    return;
  }
  socket_->write(request.data(), static_cast<qint64>(request.size()));
}

void THttpCli::OnSocketError() {
  if (socket_ == nullptr) return;
  if (in_connect_call_) {
    // Failing here would tear the socket down inside its own connectToHost.
    connect_failed_in_call_ = true;
    return;
  }
  if (state_ == State::kConnecting) {
    if (FailedInTunnelOrTls()) return;
    Fail(kClientFailureStatus, socket_->errorString().toStdString() + " (Error #" +
                                   std::to_string(socket_->error()) + ")");
    return;
  }
  // Once connected, any socket error (a reset as much as the server's close)
  // ends the response with what has arrived.
  OnConnectionClosed();
}

bool THttpCli::FailedInTunnelOrTls() {
  const uint64_t generation = generation_;
  // A proxy's answer to CONNECT, or the server's last handshake message (an alert saying
  // why), may come with its close: it is read first.
  if (tunnel_parser_ != nullptr || channel_ != nullptr) OnSocketReadyRead();
  if (generation != generation_) return true;
  if (channel_ == nullptr) return false;
  if (state_ == State::kConnecting) {
    channel_->NoteClosedInHandshake();
    Fail(kClientFailureStatus, channel_->Failure());
  } else {
    EndOfResponse();  // the handshake ended and the request went out
  }
  return true;
}

void THttpCli::OnSocketReadyRead() {
  if (socket_ == nullptr) return;
  const uint64_t generation = generation_;
  char buffer[kMaxChunkBytes];
  // The proxy's answer to CONNECT: read only up to its end, since what follows is TLS.
  while (tunnel_parser_ != nullptr && socket_->bytesAvailable() > 0) {
    char byte = 0;
    if (socket_->read(&byte, 1) != 1) return;
    HandleTunnelReply(std::string_view(&byte, 1));
    if (generation != generation_) return;
  }
  if (channel_ != nullptr) {
    if (!channel_->Established()) {  // the handshake goes on
      AfterHandshakeStep(channel_->ContinueHandshake());
      if (generation != generation_ || channel_ == nullptr || !channel_->Established()) return;
    }
    while (generation == generation_ && channel_ != nullptr) {
      const qint64 n = channel_->Read(buffer, sizeof buffer);
      if (n == TlsChannel::kNeedMore) return;
      if (n == TlsChannel::kClosed) {  // the server ended TLS: the response is complete
        EndOfResponse();
        return;
      }
      if (n == TlsChannel::kFailed) {
        // Bytes that fail their integrity check are no part of the page.
        Fail(kClientFailureStatus, channel_->Failure());
        return;
      }
      HandleBlock(std::string_view(buffer, static_cast<size_t>(n)));
    }
    return;
  }
  if (parser_ == nullptr) return;
  while (generation == generation_ && socket_ != nullptr && socket_->bytesAvailable() > 0) {
    const qint64 n = socket_->read(buffer, sizeof buffer);
    if (n <= 0) break;
    HandleBlock(std::string_view(buffer, static_cast<size_t>(n)));
  }
}

void THttpCli::OnConnectionClosed() {
  if (socket_ == nullptr) return;
  if (state_ == State::kConnecting) {
    if (FailedInTunnelOrTls()) return;
    Fail(kClientFailureStatus, socket_->errorString().toStdString() + " (Error #" +
                                   std::to_string(socket_->error()) + ")");
    return;
  }
  const uint64_t generation = generation_;
  OnSocketReadyRead();  // what arrived before the close is still to be read
  if (generation != generation_) return;
  EndOfResponse();
}

void THttpCli::EndOfResponse() {
  if (parser_ == nullptr) return;
  parser_->Finish();
  if (parser_->phase() == HttpResponseParser::Phase::kNoStatusLine) {
    // Closed before a status line: nothing says the retrieval worked.
    Fail(kClientFailureStatus, kNoStatusLine);
    return;
  }
  status_code_ = parser_->status_code();
  reason_phrase_ = parser_->reason_phrase();
  if (parser_->has_location()) redirect_ = parser_->location();
  Finish();
}

void THttpCli::HandleBlock(std::string_view block) {
  const std::string_view body = parser_->Feed(block);
  status_code_ = parser_->status_code();
  reason_phrase_ = parser_->reason_phrase();
  if (parser_->has_location()) redirect_ = parser_->location();
  switch (parser_->phase()) {
    case HttpResponseParser::Phase::kHeaders:
      return;
    case HttpResponseParser::Phase::kErrorStatus:
      Finish();  // closes the connection; the request ends with the error status
      return;
    case HttpResponseParser::Phase::kLineTooLong:
      Fail(kClientFailureStatus, kResponseTooLarge);
      return;
    case HttpResponseParser::Phase::kNoStatusLine:
      Fail(kClientFailureStatus, kNoStatusLine);
      return;
    case HttpResponseParser::Phase::kRedirect:
      FollowRedirect();
      return;
    case HttpResponseParser::Phase::kBody: {
      const uint64_t generation = generation_;
      SetState(State::kReceivingBody);
      if (generation != generation_) return;
      if (!body.empty()) DeliverBody(body);
      return;
    }
  }
}

void THttpCli::DeliverBody(std::string_view chunk) {
  // The cap counts the bytes received: counting only those kept would let a body of
  // NUL bytes run without end.
  const uint64_t cap = max_response_bytes_;
  if (chunk.size() > cap - std::min(rcvd_count_, cap)) {
    Fail(kClientFailureStatus, kResponseTooLarge);
    return;
  }
  rcvd_count_ += chunk.size();
  // Pages rarely hold NUL bytes: the chunk is copied only to take them out.
  std::string without_nuls;
  std::string_view bytes = chunk;
  if (chunk.find('\0') != std::string_view::npos) {
    without_nuls.reserve(chunk.size());
    std::copy_if(chunk.begin(), chunk.end(), std::back_inserter(without_nuls),
                 [](char c) { return c != '\0'; });
    bytes = without_nuls;
  }
  const uint64_t generation = generation_;
  if (OnDocData) OnDocData(this, bytes.data(), bytes.size());
  if (generation != generation_) return;
  if (stream_ != nullptr) stream_->append(bytes);
}

void THttpCli::FollowRedirect() {
  const std::string location = parser_->location();
  DropConnection();
  if (redirects_ == kMaxRedirects) {
    Fail(kClientFailureStatus, kTooManyRedirects);
    return;
  }
  ++redirects_;
  // Checked before anyone sees it: the crawl may adopt it as its start URL.
  if (HoldsControlCharacter(location)) {
    Fail(kClientFailureStatus, std::string(kControlCharacter) + "redirect location");
    return;
  }
  // Where the next request goes, worked out before anyone is told of it.
  Target next = target_;
  UrlParts url;
  const bool absolute =
      (location.empty() || location.front() != '/') && location.find("://") != std::string::npos;
  if (absolute) {
    url = SplitUrl(location);
    next = {url.scheme, url.host, url.port, url.path.empty() ? "/" : url.path};
    location_url_ = location;
  } else {
    if (!location.empty() && location.front() == '/') {
      next.path = location;
    } else {
      // A relative value: taken against the directory of the current path.
      std::string directory = target_.path.empty() ? "/" : target_.path;
      directory.erase(directory.rfind('/') + 1);
      if (directory.empty()) directory = "/";
      next.path = directory + location;
    }
    location_url_ = AbsoluteUrl(next);
  }
  const uint64_t generation = generation_;
  if (OnLocationChange) OnLocationChange(this);
  if (generation != generation_) return;

  target_ = std::move(next);
  // A login written in the location belongs to its server; otherwise the login in hand
  // stays with its own server (RequestText sends it only there).
  if (!url.user.empty() || !url.password.empty()) {
    auth_user_ = url.user;
    auth_password_ = url.password;
    login_server_ = LoginServer(url.scheme, url.host, url.port);
  }
  BeginConnection();
}

std::string THttpCli::AbsoluteUrl(const Target& target) {
  return (target.scheme.empty() ? std::string("http") : target.scheme) + "://" + target.host +
         (target.port.empty() ? std::string() : ":" + target.port) +
         (target.path.empty() ? std::string("/") : target.path);
}

std::string THttpCli::RequestText() const {
  // Inside a CONNECT tunnel the server itself reads the request: origin form, and the
  // proxy's login stays with the proxy.
  const bool to_proxy = !proxy_.empty() && !tls_;
  const std::string path =
      to_proxy ? AbsoluteUrl(target_) : (target_.path.empty() ? "/" : target_.path);
  std::string text = "GET " + path + " HTTP/1.0\r\n";
  if (!agent_.empty()) text += "User-Agent: " + agent_ + "\r\n";
  text += "Host: " + target_.host + "\r\n";
  if (!auth_user_.empty() &&
      LoginServer(target_.scheme, target_.host, target_.port) == login_server_) {
    text += "Authorization: Basic " + Base64Encode(auth_user_ + ":" + auth_password_) + "\r\n";
  }
  if (to_proxy && !proxy_user_.empty()) {
    text +=
        "Proxy-Authorization: Basic " + Base64Encode(proxy_user_ + ":" + proxy_password_) + "\r\n";
  }
  text += "\r\n";
  return text;
}

void THttpCli::Fail(int status_code, std::string reason_phrase) {
  status_code_ = status_code;
  reason_phrase_ = std::move(reason_phrase);
  Finish();
}

// A failure found before anything asynchronous started still ends on the event
// loop, so that Get() always returns before OnRequestDone is called.
void THttpCli::FailLater(int status_code, std::string reason_phrase) {
  const uint64_t generation = generation_;
  QTimer::singleShot(0, this, [this, generation, status_code, reason = std::move(reason_phrase)] {
    if (generation == generation_) Fail(status_code, reason);
  });
}

void THttpCli::Finish() {
  ++generation_;
  deadline_.stop();
  DropConnection();
  parser_.reset();
  tunnel_parser_.reset();
  stream_ = nullptr;
  last_error_ = status_code_ >= 400
                    ? std::make_exception_ptr(EHttpException(reason_phrase_, status_code_))
                    : nullptr;
  SetState(State::kIdle);
  if (OnRequestDone) OnRequestDone(this, last_error_);
  emit RequestDone();
}

void THttpCli::DropConnection() {
  channel_.reset();
  if (socket_ == nullptr) return;
  QTcpSocket* socket = socket_;
  socket_ = nullptr;
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
}

}  // namespace ferrowyn

// Built here rather than with the other meta-object code of this folder, so that a
// program that only holds a client it was given (the crawl run) links none of it.
#include "moc_http_client.cpp"
