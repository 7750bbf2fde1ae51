// The scripted loopback HTTP server of the tests, run on a thread of its own.
#include "tests/support/http_test_server.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <stdexcept>

namespace ferrowyn::testing {

ScriptedResponse ScriptedResponse::Raw(std::string bytes) {
  ScriptedResponse response;
  response.Send(std::move(bytes));
  return response;
}

ScriptedResponse ScriptedResponse::Status(int code, std::string reason,
                                          std::vector<std::pair<std::string, std::string>> headers,
                                          std::string body) {
  std::string text = "HTTP/1.0 " + std::to_string(code) + " " + reason + "\r\n";
  for (const auto& [name, value] : headers) text += name + ": " + value + "\r\n";
  text += "\r\n";
  text += body;
  return Raw(std::move(text));
}

ScriptedResponse ScriptedResponse::Page(std::string body, std::string content_type) {
  return Status(200, "OK", {{"Content-Type", std::move(content_type)}}, std::move(body));
}

ScriptedResponse ScriptedResponse::Redirect(std::string location, int code, std::string reason) {
  return Status(code, std::move(reason), {{"Location", std::move(location)}});
}

ScriptedResponse& ScriptedResponse::Send(std::string bytes) {
  steps_.push_back({Step::Kind::kSend, std::move(bytes), 0});
  return *this;
}

ScriptedResponse& ScriptedResponse::Delay(int milliseconds) {
  steps_.push_back({Step::Kind::kDelay, {}, milliseconds});
  return *this;
}

ScriptedResponse& ScriptedResponse::Trickle(std::string bytes, int interval_ms) {
  steps_.push_back({Step::Kind::kTrickle, std::move(bytes), interval_ms});
  return *this;
}

ScriptedResponse& ScriptedResponse::Stall() {
  steps_.push_back({Step::Kind::kStall, {}, 0});
  return *this;
}

ScriptedResponse& ScriptedResponse::Close() {
  steps_.push_back({Step::Kind::kClose, {}, 0});
  return *this;
}

// Lives on the server thread: accepts connections, reads requests, plays steps.
class HttpTestServerCore : public QObject {
 public:
  explicit HttpTestServerCore(std::shared_ptr<HttpTestServer::Shared> shared)
      : shared_(std::move(shared)) {}

  uint16_t Listen() {
    server_ = new QTcpServer(this);
    if (!server_->listen(QHostAddress(QHostAddress::LocalHost), 0)) return 0;
    connect(server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server_->nextPendingConnection()) Accept(socket);
    });
    return server_->serverPort();
  }

 private:
  struct Connection {
    QTcpSocket* socket = nullptr;
    std::string received;
    bool answered = false;
    bool recorded = false;
    std::vector<ScriptedResponse::Step> steps;
    size_t step = 0;
    size_t offset = 0;  // within a trickle
  };

  void Accept(QTcpSocket* socket) {
    socket->setParent(this);
    auto connection = std::make_shared<Connection>();
    connection->socket = socket;
    {
      std::lock_guard lock(shared_->mutex);
      ++shared_->connections;
      ++shared_->open;
      shared_->max_open = std::max(shared_->max_open, shared_->open);
    }
    connect(socket, &QTcpSocket::readyRead, socket, [this, connection] { Read(connection); });
    connect(socket, &QTcpSocket::disconnected, socket, [this, connection] {
      Read(connection);
      // A client that closed before its request ended.
      if (!connection->received.empty()) Record(*connection);
      {
        std::lock_guard lock(shared_->mutex);
        --shared_->open;
      }
      connection->socket->deleteLater();
    });
  }

  void Read(const std::shared_ptr<Connection>& connection) {
    connection->received += connection->socket->readAll().toStdString();
    if (connection->answered) return;
    size_t end = connection->received.find("\r\n\r\n");
    size_t end_length = 4;
    if (end == std::string::npos) {
      end = connection->received.find("\n\n");
      end_length = 2;
    }
    if (end == std::string::npos) return;
    connection->received.resize(end + end_length);
    connection->answered = true;
    const std::string target = Record(*connection);
    connection->steps = Choose(target).steps();
    Play(connection);
  }

  // Records the request once; gives its target.
  std::string Record(Connection& connection) {
    if (connection.recorded) return {};
    connection.recorded = true;
    std::string target;
    const std::string& request = connection.received;
    const size_t line_end = request.find_first_of("\r\n");
    const std::string line = request.substr(0, line_end);
    const size_t first = line.find(' ');
    if (first != std::string::npos) {
      const size_t second = line.find(' ', first + 1);
      target = line.substr(first + 1,
                           second == std::string::npos ? std::string::npos : second - first - 1);
    }
    std::lock_guard lock(shared_->mutex);
    shared_->requests.push_back(request);
    shared_->targets.push_back(target);
    return target;
  }

  ScriptedResponse Choose(const std::string& target) {
    std::lock_guard lock(shared_->mutex);
    if (!shared_->queue.empty()) {
      ScriptedResponse response = shared_->queue.front();
      shared_->queue.erase(shared_->queue.begin());
      return response;
    }
    auto found = shared_->served.find(target);
    if (found == shared_->served.end()) {
      const size_t scheme = target.find("://");
      if (scheme != std::string::npos) {
        const size_t slash = target.find('/', scheme + 3);
        found = shared_->served.find(slash == std::string::npos ? "/" : target.substr(slash));
      }
    }
    if (found != shared_->served.end()) return found->second;
    if (shared_->fallback) return *shared_->fallback;
    return ScriptedResponse::Status(404, "Not Found", {{"Content-Type", "text/html"}});
  }

  void Play(const std::shared_ptr<Connection>& connection) {
    QTcpSocket* socket = connection->socket;
    while (connection->step < connection->steps.size()) {
      if (socket->state() != QAbstractSocket::ConnectedState) return;
      const auto& step = connection->steps[connection->step];
      using Kind = ScriptedResponse::Step::Kind;
      switch (step.kind) {
        case Kind::kSend:
          socket->write(step.bytes.data(), static_cast<qint64>(step.bytes.size()));
          ++connection->step;
          break;
        case Kind::kDelay:
          ++connection->step;
          socket->flush();
          QTimer::singleShot(step.milliseconds, socket, [this, connection] { Play(connection); });
          return;
        case Kind::kTrickle:
          if (connection->offset >= step.bytes.size()) {
            connection->offset = 0;
            ++connection->step;
            break;
          }
          socket->write(step.bytes.data() + connection->offset, 1);
          socket->flush();
          ++connection->offset;
          QTimer::singleShot(step.milliseconds, socket, [this, connection] { Play(connection); });
          return;
        case Kind::kStall:
          socket->flush();
          return;
        case Kind::kClose:
          connection->step = connection->steps.size();
          break;
      }
    }
    socket->disconnectFromHost();  // sends what is still buffered, then closes
  }

  std::shared_ptr<HttpTestServer::Shared> shared_;
  QTcpServer* server_ = nullptr;
};

HttpTestServer::HttpTestServer() : shared_(std::make_shared<Shared>()) {
  core_ = new HttpTestServerCore(shared_);
  core_->moveToThread(&thread_);
  QObject::connect(&thread_, &QThread::finished, core_, &QObject::deleteLater);
  thread_.start();
  QMetaObject::invokeMethod(
      core_, [this] { port_ = core_->Listen(); }, Qt::BlockingQueuedConnection);
  if (port_ == 0) {
    thread_.quit();
    thread_.wait();
    throw std::runtime_error("the HTTP test server cannot listen on 127.0.0.1");
  }
}

HttpTestServer::~HttpTestServer() {
  thread_.quit();
  thread_.wait();
}

std::string HttpTestServer::HostPort() const { return "127.0.0.1:" + std::to_string(port_); }

std::string HttpTestServer::Url(std::string_view path) const {
  return "http://" + HostPort() + std::string(path);
}

void HttpTestServer::Enqueue(ScriptedResponse response) {
  std::lock_guard lock(shared_->mutex);
  shared_->queue.push_back(std::move(response));
}

void HttpTestServer::Serve(std::string target, ScriptedResponse response) {
  std::lock_guard lock(shared_->mutex);
  shared_->served.insert_or_assign(std::move(target), std::move(response));
}

void HttpTestServer::SetFallback(ScriptedResponse response) {
  std::lock_guard lock(shared_->mutex);
  shared_->fallback = std::make_unique<ScriptedResponse>(std::move(response));
}

std::vector<std::string> HttpTestServer::Requests() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->requests;
}

std::vector<std::string> HttpTestServer::Targets() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->targets;
}

size_t HttpTestServer::ConnectionCount() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->connections;
}

size_t HttpTestServer::MaxOpenConnections() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->max_open;
}

size_t HttpTestServer::OpenConnections() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->open;
}

bool HttpTestServer::WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() >= timeout.count()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

}  // namespace ferrowyn::testing
