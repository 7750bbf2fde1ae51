// One TLS client connection over a QTcpSocket, with OpenSSL working on memory buffers.
#include "crawl/tls_channel.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <QHostAddress>
#include <QTcpSocket>
#include <algorithm>
#include <climits>

#include "crawl/tls_context.h"

namespace ferrowyn {

namespace {

// The text of a verification failure, in the words users of the program have seen for
// it; others in OpenSSL's.
std::string ReasonText(int error) {
  switch (error) {
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
      return "The issuer certificate could not be found";
    case X509_V_ERR_UNABLE_TO_DECRYPT_CERT_SIGNATURE:
      return "The certificate signature could not be decrypted";
    case X509_V_ERR_UNABLE_TO_DECODE_ISSUER_PUBLIC_KEY:
      return "The public key in the certificate could not be read";
    case X509_V_ERR_CERT_SIGNATURE_FAILURE:
      return "The signature of the certificate is invalid";
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return "The certificate is not yet valid";
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return "The certificate has expired";
    case X509_V_ERR_ERROR_IN_CERT_NOT_BEFORE_FIELD:
      return "The certificate's notBefore field contains an invalid time";
    case X509_V_ERR_ERROR_IN_CERT_NOT_AFTER_FIELD:
      return "The certificate's notAfter field contains an invalid time";
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
      return "The certificate is self-signed, and untrusted";
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
      return "The root certificate of the certificate chain is self-signed, and untrusted";
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
      return "The issuer certificate of a locally looked up certificate could not be found";
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return "No certificates could be verified";
    case X509_V_ERR_INVALID_CA:
      return "One of the CA certificates is invalid";
    case X509_V_ERR_PATH_LENGTH_EXCEEDED:
      return "The basicConstraints path length parameter has been exceeded";
    case X509_V_ERR_INVALID_PURPOSE:
      return "The supplied certificate is unsuitable for this purpose";
    case X509_V_ERR_CERT_UNTRUSTED:
      return "The root CA certificate is not trusted for this purpose";
    case X509_V_ERR_CERT_REJECTED:
      return "The root CA certificate is marked to reject the specified purpose";
    case X509_V_ERR_CERT_REVOKED:
      return "The certificate has been revoked";
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return "The host name did not match any of the valid hosts for this certificate";
    default:
      return X509_verify_cert_error_string(error);
  }
}

TlsChannel* ChannelOf(SSL* ssl) {
  return ssl == nullptr ? nullptr : static_cast<TlsChannel*>(SSL_get_app_data(ssl));
}

TlsChannel* ChannelOf(X509_STORE_CTX* store) {
  return ChannelOf(static_cast<SSL*>(
      X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx())));
}

// OpenSSL's reason for the last failure in its error queue, or "".
std::string QueuedReason() {
  std::string reason;
  while (const unsigned long error = ERR_get_error()) {
    if (reason.empty()) {
      const char* text = ERR_reason_error_string(error);
      reason = text != nullptr ? text : "error " + std::to_string(ERR_GET_REASON(error));
    }
  }
  return reason;
}

}  // namespace

TlsChannel::TlsChannel(QTcpSocket* socket, const std::string& host, const std::string& port,
                       bool ignore_certificate_errors)
    : socket_(socket),
      server_(host + ":" + port),
      ignore_certificate_errors_(ignore_certificate_errors) {
  SSL_CTX* context = SharedTlsContext();
  if (context == nullptr) return;
  ssl_ = SSL_new(context);
  in_ = BIO_new(BIO_s_mem());
  out_ = BIO_new(BIO_s_mem());
  if (ssl_ == nullptr || in_ == nullptr || out_ == nullptr) {
    SSL_free(ssl_);
    BIO_free(in_);
    BIO_free(out_);
    ssl_ = nullptr;
    return;
  }
  // An empty buffer means "more to come", not the end of the connection: the socket
  // tells when the server has closed.
  BIO_set_mem_eof_return(in_, -1);
  SSL_set_bio(ssl_, in_, out_);  // the connection owns both from here
  SSL_set_app_data(ssl_, this);
  SSL_set_connect_state(ssl_);

  // An address is checked against the certificate's address entries and not sent as a
  // server name; a name is both sent (SNI) and checked.
  std::string address = host;
  if (address.size() > 2 && address.front() == '[' && address.back() == ']')
    address = address.substr(1, address.size() - 2);
  if (!QHostAddress(QString::fromLatin1(address)).isNull()) {
    X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), address.c_str());
  } else {
    SSL_set_tlsext_host_name(ssl_, host.c_str());
    SSL_set_hostflags(ssl_, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    SSL_set1_host(ssl_, host.c_str());
  }
  if (SSL_SESSION* session = KeptTlsSession(server_)) {
    SSL_set_session(ssl_, session);
    // A TLS 1.2 session is resumed only in TLS 1.2, and a hello that offered TLS 1.3 as
    // well would make a key pair for it on every connection (most of a resumed
    // handshake's cost): the version the server chose last time is offered alone.
    // Should it not take the session, it still has that version to answer with.
    const int version = SSL_SESSION_get_protocol_version(session);
    if (version == TLS1_2_VERSION) SSL_set_max_proto_version(ssl_, version);
  }
}

TlsChannel::~TlsChannel() {
  if (ssl_ != nullptr) {
    SSL_set_app_data(ssl_, nullptr);
    // HTTP/1.0 ends with the server's close, seldom with a TLS close: a connection that
    // ended without a TLS failure is taken as shut down properly. Otherwise OpenSSL marks
    // its session as one never to resume, and every page would cost a full handshake.
    if (established_ && failure_.empty()) SSL_set_shutdown(ssl_, SSL_SENT_SHUTDOWN);
    SSL_free(ssl_);  // frees both buffers
  }
  ERR_clear_error();
}

TlsChannel::Progress TlsChannel::Start() {
  if (ssl_ == nullptr) {
    failure_ = std::string(kHandshakeFailed) + "TLS could not be set up";
    ERR_clear_error();
    return Progress::kFailed;
  }
  return Handshake();
}

TlsChannel::Progress TlsChannel::ContinueHandshake() {
  if (!failure_.empty()) return Progress::kFailed;
  Pull();
  return Handshake();
}

TlsChannel::Progress TlsChannel::Handshake() {
  ERR_clear_error();
  const int result = SSL_do_handshake(ssl_);
  if (result == 1) {
    // The last handshake message goes out with the request, in one write: one segment
    // and one wake-up of the server less per page.
    established_ = true;
    return Progress::kEstablished;
  }
  Flush();
  if (SSL_get_error(ssl_, result) == SSL_ERROR_WANT_READ) return Progress::kHandshaking;
  NoteFailure();
  return Progress::kFailed;
}

qint64 TlsChannel::Read(char* buffer, size_t size) {
  if (!failure_.empty()) return kFailed;
  Pull();
  ERR_clear_error();
  const int result =
      SSL_read(ssl_, buffer, static_cast<int>(std::min(size, static_cast<size_t>(INT_MAX))));
  // Reading may answer the server (a key update, an alert).
  Flush();
  if (result > 0) return result;
  switch (SSL_get_error(ssl_, result)) {
    case SSL_ERROR_WANT_READ:
      return kNeedMore;
    case SSL_ERROR_ZERO_RETURN:
      return kClosed;
    default:
      NoteFailure();
      return kFailed;
  }
}

bool TlsChannel::Write(std::string_view bytes) {
  if (!failure_.empty()) return false;
  ERR_clear_error();
  size_t written = 0;
  // Memory buffers take everything: a write never waits.
  if (!bytes.empty() && SSL_write_ex(ssl_, bytes.data(), bytes.size(), &written) != 1) {
    NoteFailure();
    return false;
  }
  Flush();
  return true;
}

void TlsChannel::NoteClosedInHandshake() {
  ForgetTlsSession(server_);
  failure_ = std::string(kHandshakeFailed) + "the connection was closed during the handshake";
}

bool TlsChannel::Resumed() const { return ssl_ != nullptr && SSL_session_reused(ssl_) == 1; }

void TlsChannel::Pull() {
  char buffer[16384];
  while (socket_->bytesAvailable() > 0) {
    const qint64 n = socket_->read(buffer, sizeof buffer);
    if (n <= 0) break;
    BIO_write(in_, buffer, static_cast<int>(n));
  }
}

void TlsChannel::Flush() {
  char* data = nullptr;
  const long pending = BIO_get_mem_data(out_, &data);
  if (pending <= 0) return;
  socket_->write(data, pending);
  // Out at once, not at the next turn of the event loop: a handshake waits on every flight.
  socket_->flush();
  (void)BIO_reset(out_);
}

void TlsChannel::NoteFailure() {
  // The next connection starts afresh, offering every version: the server may have
  // changed since the session was made.
  if (!established_) ForgetTlsSession(server_);
  if (!certificate_errors_.empty() && !certificate_errors_ignored_) {
    failure_ = kCertificateFailed;
    for (size_t i = 0; i < certificate_errors_.size(); ++i)
      failure_ += (i > 0 ? "; " : "") + certificate_errors_[i];
    ERR_clear_error();
    return;
  }
  std::string reason = QueuedReason();
  if (reason.empty()) {
    // No reason from OpenSSL (the buffers never end, so this is not the peer's close).
    reason = "unexpected end of data";
  }
  failure_ = (established_ ? kConnectionFailed : kHandshakeFailed) + reason;
}

int TlsChannel::NoteVerifyError(int ok, X509_STORE_CTX* store) {
  if (ok == 1) return 1;
  TlsChannel* channel = ChannelOf(store);
  if (channel == nullptr) return 0;
  const int error = X509_STORE_CTX_get_error(store);
  auto& errors = channel->certificate_errors_;
  // A chain without a trusted issuer cannot have its signatures checked either: that is
  // one reason, not two.
  if (error == X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE &&
      (std::find(errors.begin(), errors.end(),
                 ReasonText(X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY)) != errors.end() ||
       std::find(errors.begin(), errors.end(),
                 ReasonText(X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT)) != errors.end())) {
    return 1;
  }
  std::string reason = ReasonText(error);
  if (std::find(errors.begin(), errors.end(), reason) == errors.end())
    errors.push_back(std::move(reason));
  // Go on, so that every reason is known; VerifyChain decides.
  return 1;
}

int TlsChannel::VerifyChain(X509_STORE_CTX* store, void* /*unused*/) {
  TlsChannel* channel = ChannelOf(store);
  if (channel == nullptr) return 0;
  channel->certificate_errors_.clear();
  const int verified = X509_verify_cert(store);
  if (channel->certificate_errors_.empty()) {
    if (verified == 1) return 1;
    // Failed without telling the callback (out of memory, a broken chain object).
    channel->certificate_errors_.push_back(ReasonText(X509_STORE_CTX_get_error(store)));
  }
  // The connection's result says the chain failed, whatever happens next: its session is
  // then never kept (OfferSession).
  if (X509_STORE_CTX_get_error(store) == X509_V_OK)
    X509_STORE_CTX_set_error(store, X509_V_ERR_UNSPECIFIED);
  if (channel->ignore_certificate_errors_) {
    channel->certificate_errors_ignored_ = true;
    return 1;
  }
  return 0;
}

int TlsChannel::OfferSession(SSL* ssl, SSL_SESSION* session) {
  const TlsChannel* channel = ChannelOf(ssl);
  // Never a session whose certificate was let through: resuming it would skip the check.
  if (channel == nullptr || channel->certificate_errors_ignored_ ||
      SSL_get_verify_result(ssl) != X509_V_OK || SSL_SESSION_is_resumable(session) != 1) {
    return 0;
  }
  KeepTlsSession(channel->server_, session);
  return 1;  // the reference is ours now
}

}  // namespace ferrowyn
