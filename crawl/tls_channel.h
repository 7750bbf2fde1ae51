// One TLS client connection, on OpenSSL, over a connected QTcpSocket that its owner
// drives: memory buffers stand between OpenSSL and the socket, so the handshake and
// the reading go on as the socket's readyRead comes, never blocking. The connection is
// made from the process's shared context (tls_context.h) and offers the session kept for
// its server.
//
// Threading: GUI thread only, like THttpCli, its one user.
#pragma once

#include <QtGlobal>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class QTcpSocket;
typedef struct ssl_st SSL;
typedef struct ssl_session_st SSL_SESSION;
typedef struct bio_st BIO;
typedef struct x509_store_ctx_st X509_STORE_CTX;

namespace ferrowyn {

class TlsChannel {
 public:
  // A certificate that failed verification: this + the text of each reason, joined by
  // "; " ("certificate verification failed: The certificate has expired").
  static constexpr const char* kCertificateFailed = "certificate verification failed: ";
  // Any other failure of the handshake or of the connection: this + what went wrong
  // ("TLS handshake failed: wrong version number").
  static constexpr const char* kHandshakeFailed = "TLS handshake failed: ";
  // A failure once established (a record that fails its check, an alert): this + what.
  static constexpr const char* kConnectionFailed = "TLS connection failed: ";

  enum class Progress { kHandshaking, kEstablished, kFailed };
  // What Read() gives besides bytes.
  static constexpr qint64 kNeedMore = 0;
  static constexpr qint64 kClosed = -1;  // the server ended TLS (close_notify)
  static constexpr qint64 kFailed = -2;  // see Failure()

  // TLS to `host` (a name, or an address literal, which is then what the certificate must
  // name), port `port`, over `socket`, which is connected and outlives the channel.
  // The name goes out as the server name (SNI) and is what the certificate must carry.
  TlsChannel(QTcpSocket* socket, const std::string& host, const std::string& port,
             bool ignore_certificate_errors);
  ~TlsChannel();
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;

  // Sends the first handshake message. When a step gives kEstablished, the handshake's
  // last message waits for the first Write(), so that both go out together.
  Progress Start();
  // Takes in what the socket has and goes on with the handshake.
  Progress ContinueHandshake();
  // Once established: decrypts into `buffer` what has arrived. Gives the number of bytes
  // (at most `size`), kNeedMore when the socket has to bring more, kClosed or kFailed.
  qint64 Read(char* buffer, size_t size);
  // Once established: encrypts `bytes` and writes them to the socket. False on failure.
  bool Write(std::string_view bytes);

  // The socket closed before the handshake ended: sets Failure().
  void NoteClosedInHandshake();
  bool Established() const { return established_; }
  const std::string& Failure() const { return failure_; }
  // The handshake resumed the session kept for the server.
  bool Resumed() const;

  // OpenSSL callbacks of the shared context.
  static int NoteVerifyError(int ok, X509_STORE_CTX* store);
  static int VerifyChain(X509_STORE_CTX* store, void* unused);
  static int OfferSession(SSL* ssl, SSL_SESSION* session);

 private:
  void Pull();   // socket -> OpenSSL
  void Flush();  // OpenSSL -> socket
  Progress Handshake();
  // Sets Failure() from what OpenSSL says of the call that has just failed.
  void NoteFailure();

  QTcpSocket* socket_;
  std::string server_;  // "host:port", the sessions' key
  bool ignore_certificate_errors_;
  bool certificate_errors_ignored_ = false;
  bool established_ = false;
  std::vector<std::string> certificate_errors_;
  std::string failure_;
  SSL* ssl_ = nullptr;
  BIO* in_ = nullptr;   // ciphertext from the socket, read by OpenSSL
  BIO* out_ = nullptr;  // ciphertext from OpenSSL, for the socket
};

}  // namespace ferrowyn
