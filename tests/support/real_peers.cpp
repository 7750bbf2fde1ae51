// Starts nginx and tinyproxy on loopback for the HTTP client's integration tests, and
// makes the certificates of nginx's TLS servers with openssl.
#include "tests/support/real_peers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <memory>
#include <stdexcept>
#include <vector>

namespace ferrowyn::testing {

namespace {

QString FindProgram(const QString& name, const QString& usual_path) {
  if (QFileInfo(usual_path).isExecutable()) return usual_path;
  QString found = QStandardPaths::findExecutable(name);
  if (found.isEmpty())
    found = QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/local/sbin"});
  if (found.isEmpty()) {
    throw PeerNotInstalled(name.toStdString() + " is not installed (looked for " +
                           usual_path.toStdString() + " and on PATH); run scripts/install-deps.sh");
  }
  return found;
}

// A port of 127.0.0.1 held for a peer: bound with SO_REUSEADDR but not listening, so that
// no other program (another test of a parallel run) is given it while the peer starts, yet
// the peer, which binds with SO_REUSEADDR as nginx and tinyproxy do, can take it over.
class ReservedPort {
 public:
  ReservedPort() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      if (fd_ >= 0) ::close(fd_);
      throw std::runtime_error("no free port on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
  }
  ~ReservedPort() { ::close(fd_); }
  ReservedPort(const ReservedPort&) = delete;
  ReservedPort& operator=(const ReservedPort&) = delete;
  uint16_t port() const { return port_; }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

// Starts a peer on a reserved port; a peer that does not come up (its port taken all the
// same) is tried again on another one.
template <typename StartOn>
uint16_t StartOnReservedPort(StartOn start_on) {
  for (int attempt = 1;; ++attempt) {
    ReservedPort reserved;
    try {
      start_on(reserved.port());
      return reserved.port();
    } catch (const std::runtime_error&) {
      if (attempt == 3) throw;
    }
  }
}

void WriteFile(const QString& path, const std::string& content) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(content.data(), static_cast<qint64>(content.size())) !=
          static_cast<qint64>(content.size()) ||
      !file.flush()) {
    throw std::runtime_error("cannot write " + path.toStdString());
  }
  file.close();
  if (file.error() != QFileDevice::NoError)
    throw std::runtime_error("cannot write " + path.toStdString());
}

std::string ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

// Waits until the peer accepts connections on the port; throws with its output
// and log when it exits or does not come up within a few seconds.
void WaitUntilListening(QProcess& process, uint16_t port, const std::string& name,
                        const QString& log_path) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 10000) {
    if (process.state() == QProcess::NotRunning) break;
    QTcpSocket probe;
    probe.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    if (probe.waitForConnected(200)) {
      probe.abort();
      return;
    }
    QThread::msleep(20);
  }
  const std::string output = process.readAll().toStdString();
  process.kill();
  process.waitForFinished(2000);
  throw std::runtime_error(name + " did not start on 127.0.0.1:" + std::to_string(port) +
                           "\noutput: " + output + "\nlog: " + ReadFile(log_path));
}

void Stop(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(3000)) {
    process.kill();
    process.waitForFinished(2000);
  }
}

void CheckDir(const QTemporaryDir& dir) {
  if (!dir.isValid()) throw std::runtime_error("cannot create a temporary directory");
}

}  // namespace

void PeerStartup::Start(const std::function<void()>& start) {
  try {
    start();
  } catch (const PeerNotInstalled& e) {
    error_ = e.what();
    not_installed_ = true;
  } catch (const std::exception& e) {
    error_ = e.what();
  }
}

void TestCertificates::TrustAloneInThisProcess() const {
  qputenv("SSL_CERT_FILE", QByteArray::fromStdString(CaFile()));
  qunsetenv("SSL_CERT_DIR");
}

bool RealPeersRequired() {
  const QByteArray value = qgetenv("FERROWYN_REQUIRE_PEERS");
  return !value.isEmpty() && value != "0";
}

TestCertificates::TestCertificates() {
  CheckDir(dir_);
  program_ = FindProgram("openssl", "/usr/bin/openssl");
  const auto path = [this](const char* name) { return dir_.filePath(QString::fromLatin1(name)); };
  const QStringList ec_key = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                              "-nodes"};
  Run(QStringList{"req", "-x509"} + ec_key +
      QStringList{"-keyout", path("ca.key"), "-out", path("ca.pem"), "-days", "3650", "-subj",
                  "/CN=Ferrowyn Test CA", "-addext", "basicConstraints=critical,CA:TRUE", "-addext",
                  "keyUsage=critical,keyCertSign,cRLSign"});
  // `openssl ca` rather than `x509 -req`: it takes any validity period, past ones included.
  std::string config;
  config += "[ca]\ndefault_ca = test_ca\n";
  config += "[test_ca]\ndatabase = " + path("index.txt").toStdString() + "\n";
  config += "new_certs_dir = " + dir_.path().toStdString() + "\n";
  config += "serial = " + path("serial").toStdString() + "\n";
  config += "default_md = sha256\npolicy = any_name\nunique_subject = no\n";
  config += "[any_name]\ncommonName = supplied\n";
  config += "[local]\nbasicConstraints = CA:FALSE\n";
  config += "subjectAltName = DNS:localhost,IP:127.0.0.1\n";
  config += "[other]\nbasicConstraints = CA:FALSE\nsubjectAltName = DNS:other.invalid\n";
  WriteFile(path("ca.cnf"), config);
  WriteFile(path("index.txt"), "");
  WriteFile(path("serial"), "1000\n");
  struct Leaf {
    Kind kind;
    const char* name;
    const char* extensions;
    QStringList validity;
  };
  const Leaf leaves[] = {
      {kGood, "localhost", "local", {"-days", "3650"}},
      {kOtherName, "other.invalid", "other", {"-days", "3650"}},
      {kExpired,
       "localhost",
       "local",
       {"-startdate", "20200101000000Z", "-enddate", "20200201000000Z"}},
  };
  for (const Leaf& leaf : leaves) {
    const QString key = QString::fromStdString(KeyFile(leaf.kind));
    const QString certificate = QString::fromStdString(CertificateFile(leaf.kind));
    Run(QStringList{"req", "-new"} + ec_key +
        QStringList{"-keyout", key, "-out", certificate + ".csr", "-subj",
                    QString("/CN=") + leaf.name});
    Run(QStringList{"ca", "-batch", "-notext", "-config", path("ca.cnf"), "-cert", path("ca.pem"),
                    "-keyfile", path("ca.key"), "-extensions", leaf.extensions, "-in",
                    certificate + ".csr", "-out", certificate} +
        leaf.validity);
  }
}

void TestCertificates::Run(const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program_, arguments);
  const bool finished = process.waitForStarted(5000) && process.waitForFinished(60000);
  if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    process.kill();
    throw std::runtime_error("openssl " + arguments.join(' ').toStdString() +
                             " failed: " + process.readAll().toStdString());
  }
}

std::string TestCertificates::CaFile() const { return dir_.filePath("ca.pem").toStdString(); }

std::string TestCertificates::CertificateFile(Kind kind) const {
  return dir_.filePath(QString("leaf%1.pem").arg(static_cast<int>(kind))).toStdString();
}

std::string TestCertificates::KeyFile(Kind kind) const {
  return dir_.filePath(QString("leaf%1.key").arg(static_cast<int>(kind))).toStdString();
}

NginxPeer::NginxPeer(const std::map<std::string, std::string>& files,
                     const TestCertificates* certificates)
    : certificates_(certificates) {
  CheckDir(dir_);
  const QString program = FindProgram("nginx", "/usr/sbin/nginx");
  const std::string root = dir_.path().toStdString();
  for (const auto& [path, content] : files)
    WriteFile(dir_.filePath(QString::fromStdString("www/" + path)), content);
  QDir().mkpath(dir_.filePath("www"));
  QDir().mkpath(dir_.filePath("tmp"));
  port_ = StartOnReservedPort([&](uint16_t port) { Start(program, root, port); });
}

void NginxPeer::AddFile(const std::string& path, const std::string& content) {
  WriteFile(dir_.filePath(QString::fromStdString("www/" + path)), content);
}

void NginxPeer::Start(const QString& program, const std::string& root, uint16_t port_number) {
  const std::string port = std::to_string(port_number);
  // The TLS ports are held beside the plain one until nginx has taken them all.
  std::vector<std::unique_ptr<ReservedPort>> reserved;
  if (certificates_ != nullptr) {
    for (uint16_t& tls_port : tls_ports_) {
      reserved.push_back(std::make_unique<ReservedPort>());
      tls_port = reserved.back()->port();
    }
  }
  std::string locations;
  locations += "    location = /moved { absolute_redirect off; return 302 /index.html; }\n";
  locations += "    location = /moved-absolute { return 302 /index.html; }\n";
  if (certificates_ != nullptr) {
    locations += "    location = /to-tls { return 302 https://localhost:" +
                 std::to_string(tls_ports_[TestCertificates::kGood]) + "/index.html; }\n";
    locations += "    location = /to-plain { return 302 http://localhost:$arg_port/; }\n";
  }
  std::string config;
  config += "daemon off;\nmaster_process off;\n";
  // A root nginx would otherwise switch to a user that cannot read the temp dir.
  if (geteuid() == 0) config += "user root;\n";
  config += "pid " + root + "/nginx.pid;\n";
  config += "error_log " + root + "/error.log;\n";
  config += "events { worker_connections 64; }\n";
  config += "http {\n";
  config += "  access_log " + root + "/access.log;\n";
  for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"}) {
    config += std::string("  ") + kind + "_temp_path " + root + "/tmp/" + kind + ";\n";
  }
  config += "  server {\n";
  config += "    listen 127.0.0.1:" + port + ";\n";
  config += "    root " + root + "/www;\n";
  config += locations;
  config += "  }\n";
  if (certificates_ != nullptr) {
    for (const auto kind :
         {TestCertificates::kGood, TestCertificates::kOtherName, TestCertificates::kExpired}) {
      config += "  server {\n";
      config += "    listen 127.0.0.1:" + std::to_string(tls_ports_[kind]) + " ssl;\n";
      config += "    ssl_certificate " + certificates_->CertificateFile(kind) + ";\n";
      config += "    ssl_certificate_key " + certificates_->KeyFile(kind) + ";\n";
      config += "    root " + root + "/www;\n";
      config += locations;
      config += "  }\n";
    }
  }
  config += "}\n";
  WriteFile(dir_.filePath("nginx.conf"), config);
  process_.setProcessChannelMode(QProcess::MergedChannels);
  process_.start(program, {"-p", dir_.path(), "-e", dir_.filePath("error.log"), "-c",
                           dir_.filePath("nginx.conf")});
  if (!process_.waitForStarted(5000)) {
    throw std::runtime_error("cannot start " + program.toStdString());
  }
  WaitUntilListening(process_, port_number, "nginx", dir_.filePath("error.log"));
  if (certificates_ != nullptr) {
    for (const uint16_t tls_port : tls_ports_)
      WaitUntilListening(process_, tls_port, "nginx", dir_.filePath("error.log"));
  }
}

NginxPeer::~NginxPeer() { Stop(process_); }

std::string NginxPeer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::string NginxPeer::TlsUrl(TestCertificates::Kind kind, std::string_view path) const {
  return "https://localhost:" + std::to_string(tls_ports_[kind]) + std::string(path);
}

TinyproxyPeer::TinyproxyPeer(const std::string& user, const std::string& password,
                             const std::vector<uint16_t>& connect_ports) {
  CheckDir(dir_);
  const QString program = FindProgram("tinyproxy", "/usr/bin/tinyproxy");
  const std::string root = dir_.path().toStdString();
  port_ = StartOnReservedPort(
      [&](uint16_t port) { Start(program, user, password, connect_ports, root, port); });
}

void TinyproxyPeer::Start(const QString& program, const std::string& user,
                          const std::string& password, const std::vector<uint16_t>& connect_ports,
                          const std::string& root, uint16_t port) {
  std::string config;
  config += "Port " + std::to_string(port) + "\n";
  config += "Listen 127.0.0.1\n";
  config += "Timeout 30\n";
  config += "Allow 127.0.0.1\n";
  config += "BasicAuth " + user + " " + password + "\n";
  config += "MaxClients 16\n";
  for (const uint16_t connect_port : connect_ports)
    config += "ConnectPort " + std::to_string(connect_port) + "\n";
  config += "PidFile \"" + root + "/tinyproxy.pid\"\n";
  config += "LogFile \"" + root + "/tinyproxy.log\"\n";
  WriteFile(dir_.filePath("tinyproxy.conf"), config);
  process_.setProcessChannelMode(QProcess::MergedChannels);
  process_.start(program, {"-d", "-c", dir_.filePath("tinyproxy.conf")});
  if (!process_.waitForStarted(5000)) {
    throw std::runtime_error("cannot start " + program.toStdString());
  }
  WaitUntilListening(process_, port, "tinyproxy", dir_.filePath("tinyproxy.log"));
}

TinyproxyPeer::~TinyproxyPeer() { Stop(process_); }

}  // namespace ferrowyn::testing
