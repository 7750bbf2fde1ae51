// Real HTTP peers for integration tests: an nginx web server and a tinyproxy
// proxy with basic authentication, each started in the foreground with its own
// configuration in a temporary directory, listening on a free 127.0.0.1 port.
//
// Both constructors block until the peer accepts connections and throw
// PeerNotInstalled when the program is missing (scripts/install-deps.sh installs
// nginx-light and tinyproxy), or std::runtime_error with a readable message when it
// does not come up (the message then includes its log). Destruction stops the process and
// removes the directory. Use from the test's main thread.
#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ferrowyn::testing {

// The peer's program is not installed here.
class PeerNotInstalled : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// True when a missing peer program must fail the tests rather than skip them: the
// environment variable FERROWYN_REQUIRE_PEERS is set and not "0" (CI sets it).
bool RealPeersRequired();

class NginxPeer {
 public:
  // Serves `files` (relative path -> content) from its document root. Besides
  // them, "/moved" answers "302" with Location "/index.html" (a path), and
  // "/moved-absolute" answers "302" with an absolute Location to "/index.html".
  explicit NginxPeer(const std::map<std::string, std::string>& files);
  ~NginxPeer();

  uint16_t Port() const { return port_; }
  // "http://127.0.0.1:PORT" + path
  std::string Url(std::string_view path = "/") const;

 private:
  void Start(const QString& program, const std::string& root, uint16_t port);
  QTemporaryDir dir_;
  QProcess process_;
  uint16_t port_ = 0;
};

class TinyproxyPeer {
 public:
  // Requires "Proxy-Authorization: Basic" for `user`:`password`.
  TinyproxyPeer(const std::string& user, const std::string& password);
  ~TinyproxyPeer();

  uint16_t Port() const { return port_; }

 private:
  void Start(const QString& program, const std::string& user, const std::string& password,
             const std::string& root, uint16_t port);
  QTemporaryDir dir_;
  QProcess process_;
  uint16_t port_ = 0;
};

}  // namespace ferrowyn::testing
