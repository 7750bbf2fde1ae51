// "ferrowyn-cli get": one retrieval with the crawl's HTTP client; the status on
// stderr, the body on stdout, and on failure the error text as the crawl shows it.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "crawl/http_client.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "  get URL [--proxy HOST[:PORT]] [--proxy-user USER:PASS] [--user USER:PASS] "
    "[--agent TEXT]\n"
    "      retrieve one URL over HTTP/1.0; status on stderr, body on stdout";

// "USER:PASS" split at its first ":"; a text without ":" is all user.
void SplitLogin(const std::string& login, std::string& user, std::string& password) {
  const size_t colon = login.find(':');
  user = login.substr(0, colon);
  password = colon == std::string::npos ? std::string() : login.substr(colon + 1);
}

int RunGet(const CommandArgs& args) {
  THttpCli client;
  bool have_url = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--proxy" && has_value) {
      client.Proxy = args[++i];
    } else if (arg == "--proxy-user" && has_value) {
      SplitLogin(args[++i], client.ProxyUsername, client.ProxyPassword);
    } else if (arg == "--user" && has_value) {
      SplitLogin(args[++i], client.Username, client.Password);
    } else if (arg == "--agent" && has_value) {
      client.Agent = args[++i];
    } else if (!have_url && !arg.empty() && arg.front() != '-') {
      client.URL = arg;
      have_url = true;
    } else {
      std::fprintf(stderr, "usage:\n%s\n", kUsage);
      return kExitUsage;
    }
  }
  if (!have_url) {
    std::fprintf(stderr, "usage:\n%s\n", kUsage);
    return kExitUsage;
  }

  std::string body;
  client.RcvdStream = &body;
  bool failed = false;
  try {
    client.GetAndWait();
  } catch (const EHttpException&) {
    failed = true;
  }
  std::fprintf(stderr, "Status: %d %s\n", client.StatusCode(), client.ReasonPhrase().c_str());
  if (failed) {
    std::fprintf(stderr, "%s\n", HttpErrorText(client.StatusCode(), client.ReasonPhrase()).c_str());
    return kExitFailure;
  }
  std::fwrite(body.data(), 1, body.size(), stdout);
  std::fflush(stdout);
  return kExitOk;
}

const CommandRegistration kRegistration("get", kUsage, RunGet);

}  // namespace
}  // namespace ferrowyn::cli
