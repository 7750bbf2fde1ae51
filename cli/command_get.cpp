// "ferrowyn-cli get": one retrieval with the crawl's HTTP client; the status on
// stderr, the body on stdout, and on failure the error text as the crawl shows it.
#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/live_settings.h"
#include "app/quill_encryption.h"
#include "app/settings_store.h"
#include "app/settings_table.h"
#include "base/whole_number.h"
#include "cli/command.h"
#include "crawl/http_client.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "  get URL [--proxy HOST[:PORT]] [--proxy-user USER:PASS] [--user USER:PASS] "
    "[--agent TEXT]\n"
    "      [--timeout SECONDS] [--https] [--insecure]\n"
    "      retrieve one URL over HTTP/1.0; status on stderr, body on stdout; the request\n"
    "      ends after SECONDS (default: the \"HTTP Timeout\" setting); --https sends an\n"
    "      https:// URL over TLS; --insecure accepts a certificate that fails verification";

// Longest wait a user can ask for: a day.
constexpr int kMaxTimeoutSeconds = 86400;

int Usage() {
  std::fprintf(stderr, "usage:\n%s\n", kUsage);
  return kExitUsage;
}

// "USER:PASS" split at its first ":"; a text without ":" is all user.
void SplitLogin(const std::string& login, std::string& user, std::string& password) {
  const size_t colon = login.find(':');
  user = login.substr(0, colon);
  password = colon == std::string::npos ? std::string() : login.substr(colon + 1);
}

std::optional<int> TimeoutSeconds(std::string_view text) {
  const std::optional<int> seconds = ReadWholeNumber(text);
  if (!seconds || *seconds < 1 || *seconds > kMaxTimeoutSeconds) return std::nullopt;
  return seconds;
}

// The "HTTP Timeout" setting as the crawl reads it; its default when the store cannot
// be read or holds no usable number, so that a request is always bounded.
int SettingsTimeoutSeconds() {
  const SettingRow& row = RowOf(SettingId::kHttpTimeout);
  LiveSettings live;
  TQuillEncryption unused;
  try {
    LoadRow(row, SettingsStore().Read(kDefaultsSection, row.name), live, unused);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ferrowyn-cli get: the settings could not be read: %s\n", error.what());
  }
  return TimeoutSeconds(live.httptimeout.text)
      .value_or(TimeoutSeconds(row.default_text).value_or(kMaxTimeoutSeconds));
}

int RunGet(const CommandArgs& args) {
  THttpCli client;
  bool have_url = false;
  std::optional<int> timeout;
  // Where each value came from, for the message about a control character.
  std::vector<std::pair<std::string, std::string>> values;
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
    } else if (arg == "--https") {
      client.AllowTls = true;
      continue;
    } else if (arg == "--insecure") {
      client.IgnoreCertificateErrors = true;
      continue;
    } else if (arg == "--timeout" && has_value) {
      timeout = TimeoutSeconds(args[++i]);
      if (!timeout) {
        std::fprintf(stderr, "ferrowyn-cli get: --timeout needs a number of seconds from 1 to %d\n",
                     kMaxTimeoutSeconds);
        return Usage();
      }
      continue;
    } else if (!have_url && !arg.empty() && arg.front() != '-') {
      client.URL = arg;
      have_url = true;
      values.emplace_back("the URL", arg);
      continue;
    } else {
      return Usage();
    }
    values.emplace_back("the " + arg + " value", args[i]);
  }
  if (!have_url) return Usage();
  for (const auto& [what, value] : values) {
    if (HoldsControlCharacter(value)) {
      std::fprintf(stderr, "ferrowyn-cli get: %s holds a control character; nothing was sent\n",
                   what.c_str());
      return kExitFailure;
    }
  }

  std::string body;
  client.RcvdStream = &body;
  client.Timeout = std::chrono::seconds(timeout.value_or(SettingsTimeoutSeconds()));
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
