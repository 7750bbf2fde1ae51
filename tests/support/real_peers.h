// Real HTTP peers for integration tests: an nginx web server (optionally also over
// TLS, with certificates made by TestCertificates) and a tinyproxy proxy with basic
// authentication, each started in the foreground with its own configuration in a
// temporary directory, listening on free 127.0.0.1 ports.
//
// The constructors block until the peer accepts connections and throw
// PeerNotInstalled when the program is missing (scripts/install-deps.sh installs
// nginx-light, tinyproxy and openssl), or std::runtime_error with a readable message when it
// does not come up (the message then includes its log). Destruction stops the process and
// removes the directory. Use from the test's main thread.
#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn::testing {

// The peer's program is not installed here.
class PeerNotInstalled : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// True when a missing peer program must fail the tests rather than skip them: the
// environment variable FERROWYN_REQUIRE_PEERS is set and not "0" (CI sets it).
bool RealPeersRequired();

// How starting a test suite's peers went. Start runs `start` and keeps its failure;
// a test's SetUp then uses FERROWYN_EXPECT_PEERS_STARTED, which skips it when a peer
// program is missing (and missing peers are allowed) and fails it otherwise.
class PeerStartup {
 public:
  void Start(const std::function<void()>& start);
  bool MustSkip() const { return not_installed_ && !RealPeersRequired(); }
  const std::string& Error() const { return error_; }

 private:
  std::string error_;
  bool not_installed_ = false;
};

#define FERROWYN_EXPECT_PEERS_STARTED(startup)                   \
  if ((startup).MustSkip())                                      \
    GTEST_SKIP() << "skipped, " << (startup).Error()             \
                 << " (FERROWYN_REQUIRE_PEERS=1 fails instead)"; \
  ASSERT_TRUE((startup).Error().empty()) << "real peers did not start: " << (startup).Error()

// A certificate authority of its own and three server certificates it signed, made
// with the openssl command in a temporary directory. Tests trust the authority
// through SSL_CERT_FILE=CaFile(), never through the system's store.
class TestCertificates {
 public:
  enum Kind {
    kGood,       // for "localhost" and 127.0.0.1 (subjectAltName), valid for ten years
    kOtherName,  // for "other.invalid" only
    kExpired,    // for "localhost" and 127.0.0.1, valid in January 2020 only
  };
  TestCertificates();
  // Makes this process trust the authority alone: SSL_CERT_FILE=CaFile(), no
  // SSL_CERT_DIR. The client settles its trusted set at its first TLS connection, so
  // call it before any.
  void TrustAloneInThisProcess() const;
  std::string CaFile() const;
  std::string CertificateFile(Kind kind) const;
  std::string KeyFile(Kind kind) const;

 private:
  void Run(const QStringList& arguments);
  QTemporaryDir dir_;
  QString program_;
};

class NginxPeer {
 public:
  // Serves `files` (relative path -> content) from its document root. Besides
  // them, "/moved" answers "302" with Location "/index.html" (a path), and
  // "/moved-absolute" answers "302" with an absolute Location to "/index.html".
  // With `certificates`, the same site is also served over TLS on three ports more,
  // one per certificate kind; every server then also answers "/to-tls" with a 302 to
  // "https://localhost:<TlsPort(kGood)>/index.html" and "/to-plain?port=N" with a 302
  // to "http://localhost:N/".
  explicit NginxPeer(const std::map<std::string, std::string>& files,
                     const TestCertificates* certificates = nullptr);
  ~NginxPeer();

  uint16_t Port() const { return port_; }
  // "http://127.0.0.1:PORT" + path
  std::string Url(std::string_view path = "/") const;
  uint16_t TlsPort(TestCertificates::Kind kind) const { return tls_ports_[kind]; }
  // "https://localhost:<TlsPort(kind)>" + path
  std::string TlsUrl(TestCertificates::Kind kind, std::string_view path = "/") const;
  // Adds or replaces a served file, for pages that must name the peer's own ports.
  void AddFile(const std::string& path, const std::string& content);

 private:
  void Start(const QString& program, const std::string& root, uint16_t port);
  QTemporaryDir dir_;
  QProcess process_;
  const TestCertificates* certificates_ = nullptr;
  uint16_t port_ = 0;
  uint16_t tls_ports_[3] = {0, 0, 0};
};

class TinyproxyPeer {
 public:
  // Requires "Proxy-Authorization: Basic" for `user`:`password`. CONNECT is allowed
  // to `connect_ports` only (to every port when empty).
  TinyproxyPeer(const std::string& user, const std::string& password,
                const std::vector<uint16_t>& connect_ports = {});
  ~TinyproxyPeer();

  uint16_t Port() const { return port_; }

 private:
  void Start(const QString& program, const std::string& user, const std::string& password,
             const std::vector<uint16_t>& connect_ports, const std::string& root, uint16_t port);
  QTemporaryDir dir_;
  QProcess process_;
  uint16_t port_ = 0;
};

}  // namespace ferrowyn::testing
