// A scripted HTTP server on 127.0.0.1 for tests: it answers each request with a
// response that the test wrote step by step (bytes, delays, a trickle, a stall,
// an early close) and records every request's exact bytes.
//
// Usage:
//   HttpTestServer server;                       // listening once constructed
//   server.Enqueue(ScriptedResponse::Page("<html>hi</html>"));
//   server.Enqueue(ScriptedResponse::Status(404, "Not Found"));
//   client.URL = server.Url("/index.htm");
//   ... server.Requests()[0] == "GET /index.htm HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n"
//
// Or, for fixture sites, serve a map of request targets:
//   server.Serve("/", ScriptedResponse::Page("<a href=a.htm>a</a>"));
//   server.Serve("/a.htm", ScriptedResponse::Page("a"));
//
// Which response a connection gets is decided when its request has arrived:
// the first queued one (Enqueue) when any is left; otherwise the one served for
// the request's target (Serve; an absolute target, as a proxy receives it, is
// looked up whole and then by its path); otherwise the fallback ("HTTP/1.0 404
// Not Found" unless SetFallback changed it). After its last step the server
// closes the connection, unless the response ends with Stall().
//
// Threading: the server runs on a thread of its own, so a test may block its
// own thread (QProcess::waitForFinished, a blocking client) while it answers.
// Every method is safe to call from any thread. Listens on loopback only.
#pragma once

#include <QThread>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ferrowyn::testing {

// One response, as the steps the server plays once the request has arrived.
class ScriptedResponse {
 public:
  struct Step {
    enum class Kind { kSend, kDelay, kTrickle, kStall, kClose } kind;
    std::string bytes;     // kSend, kTrickle
    int milliseconds = 0;  // kDelay; kTrickle: the pause after each byte
  };

  // Sends exactly `bytes`, then closes.
  static ScriptedResponse Raw(std::string bytes);
  // "HTTP/1.0 <code> <reason>", each header as "Name: value", the empty line and
  // the body; all lines end in CR LF.
  static ScriptedResponse Status(int code, std::string reason,
                                 std::vector<std::pair<std::string, std::string>> headers = {},
                                 std::string body = "");
  // A 200 page with a Content-Type header.
  static ScriptedResponse Page(std::string body, std::string content_type = "text/html");
  // A redirect: "HTTP/1.0 302 Found" (or the given code) with a Location header.
  static ScriptedResponse Redirect(std::string location, int code = 302,
                                   std::string reason = "Found");

  // Further steps, played in order after those above.
  ScriptedResponse& Send(std::string bytes);
  ScriptedResponse& Delay(int milliseconds);
  // Sends `bytes` one byte at a time with a pause of `interval_ms` after each.
  ScriptedResponse& Trickle(std::string bytes, int interval_ms);
  // Sends nothing more and keeps the connection open until the client closes it.
  ScriptedResponse& Stall();
  // Closes at once, ignoring the steps after it (the default end as well).
  ScriptedResponse& Close();

  const std::vector<Step>& steps() const { return steps_; }

 private:
  std::vector<Step> steps_;
};

class HttpTestServerCore;

class HttpTestServer {
 public:
  // Starts listening on 127.0.0.1 at a free port; throws std::runtime_error if it
  // cannot.
  HttpTestServer();
  // Stops the server thread; open connections are dropped.
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  uint16_t Port() const { return port_; }
  // "127.0.0.1:PORT"
  std::string HostPort() const;
  // "http://127.0.0.1:PORT" + path
  std::string Url(std::string_view path = "/") const;

  // The next connection without a response gets the first one enqueued.
  void Enqueue(ScriptedResponse response);
  // Map mode: the response for a request target such as "/docs/a.htm".
  void Serve(std::string target, ScriptedResponse response);
  // The response when neither the queue nor the map has one.
  void SetFallback(ScriptedResponse response);

  // Every request received so far, as its exact bytes up to and including the
  // empty line (or what arrived before the client closed, when anything did), in
  // arrival order.
  std::vector<std::string> Requests() const;
  // The targets of those requests ("/a.htm", or "http://host/a.htm" through a proxy).
  std::vector<std::string> Targets() const;
  size_t ConnectionCount() const;
  // Connections that are open right now.
  size_t OpenConnections() const;
  // The most connections that were open at the same time.
  size_t MaxOpenConnections() const;

  // Runs the calling thread's event loop until `done` holds or the time is up;
  // tells whether it holds. For tests whose client lives on their own thread.
  static bool WaitFor(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5));

 private:
  friend class HttpTestServerCore;
  struct Shared {
    mutable std::mutex mutex;
    std::vector<ScriptedResponse> queue;  // front first
    std::map<std::string, ScriptedResponse> served;
    std::unique_ptr<ScriptedResponse> fallback;
    std::vector<std::string> requests;
    std::vector<std::string> targets;
    size_t connections = 0;
    size_t open = 0;
    size_t max_open = 0;
  };

  std::shared_ptr<Shared> shared_;
  QThread thread_;
  HttpTestServerCore* core_ = nullptr;  // lives on thread_
  uint16_t port_ = 0;
};

}  // namespace ferrowyn::testing
