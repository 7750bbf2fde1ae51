// "ferrowyn-cli crawl": one retrieval of a site with the crawl engine, in scratch stores
// of a private temporary directory. The run's message on stderr, the page list on stdout.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "app/search_center.h"
#include "base/whole_number.h"
#include "cli/cli_input.h"
#include "cli/cli_progress.h"
#include "cli/cli_query_rows.h"
#include "cli/cli_session.h"
#include "cli/command.h"
#include "crawl/http_client.h"
#include "store/site_layout.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "  crawl URL [--scope none|domain|server|directory|filter] [--filter TEXT] [--levels N]\n"
    "        [--files N] [--kbytes N] [--slots N] [--query-slots N] [--mail]\n"
    "        [--login USER:PASS] [--keywords TEXT [--all] [--word] [--case]]\n"
    "        [--save FILE [--overwrite]] [--https] [--insecure]\n"
    "      retrieve a site; the outcome on stderr, the page list (URL, tab, title) on stdout,\n"
    "      or with --keywords the rows of the query run alongside (URL, tab, hits, tab, found);\n"
    "      --save keeps the site as a site file (\".fwb\" added as the save dialog adds it; an\n"
    "      existing file is replaced only with --overwrite);\n"
    "      exit 1 when the start page failed, the store failed or the site was not saved";

int Usage(const std::string& why) {
  std::fprintf(stderr, "ferrowyn-cli crawl: %s\nusage:\n%s\n", why.c_str(), kUsage);
  return kExitUsage;
}

// Digits only, at most nine of them, within [low, high].
std::optional<int> Number(const std::string& text, int low, int high) {
  if (text.size() > 9) return std::nullopt;
  const std::optional<std::int64_t> value = ReadDecimal(text, Signs::kNone, low, high);
  if (!value) return std::nullopt;
  return static_cast<int>(*value);
}

struct CrawlOptions {
  std::string url;
  std::optional<SearchType> scope;
  std::optional<std::string> filter;
  std::optional<int> levels, files, kbytes, transferslots, queryslots;
  bool mail = false;
  std::optional<LoginAnswer> login;
  std::optional<std::string> keywords;
  bool all = false, word = false, matchcase = false;
  std::optional<std::string> save;
  bool overwrite = false;
  bool https = false, insecure = false;
};

// Parses the arguments; an error text on failure.
std::optional<std::string> Parse(const CommandArgs& args, CrawlOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    auto number = [&](std::optional<int>& into, int low, int high) -> bool {
      if (!has_value) return false;
      into = Number(args[++i], low, high);
      return into.has_value();
    };
    if (arg == "--scope" && has_value) {
      const std::string name = args[++i];
      if (name == "none")
        options.scope = SearchType::kNone;
      else if (name == "domain")
        options.scope = SearchType::kDomain;
      else if (name == "server")
        options.scope = SearchType::kServer;
      else if (name == "directory")
        options.scope = SearchType::kDirectory;
      else if (name == "filter")
        options.scope = SearchType::kFilter;
      else
        return "unknown scope \"" + name + "\"";
    } else if (arg == "--filter" && has_value) {
      options.filter = args[++i];
    } else if (arg == "--levels") {
      if (!number(options.levels, 0, 999999999)) return "--levels needs a number";
    } else if (arg == "--files") {
      if (!number(options.files, 0, 999999999)) return "--files needs a number";
    } else if (arg == "--kbytes") {
      if (!number(options.kbytes, 0, 999999999)) return "--kbytes needs a number";
    } else if (arg == "--slots") {
      if (!number(options.transferslots, 1, 4)) return "--slots needs a number from 1 to 4";
    } else if (arg == "--query-slots") {
      if (!number(options.queryslots, 1, 4)) return "--query-slots needs a number from 1 to 4";
    } else if (arg == "--mail") {
      options.mail = true;
    } else if (arg == "--save" && has_value) {
      options.save = args[++i];
    } else if (arg == "--overwrite") {
      options.overwrite = true;
    } else if (arg == "--keywords" && has_value) {
      options.keywords = args[++i];
    } else if (arg == "--https") {
      options.https = true;
    } else if (arg == "--insecure") {
      options.insecure = true;
    } else if (arg == "--all") {
      options.all = true;
    } else if (arg == "--word") {
      options.word = true;
    } else if (arg == "--case") {
      options.matchcase = true;
    } else if (arg == "--login" && has_value) {
      const std::string login = args[++i];
      const size_t colon = login.find(':');
      if (colon == std::string::npos || colon == 0 || colon + 1 == login.size()) {
        return "--login needs USER:PASS";
      }
      options.login =
          LoginAnswer{LoginAnswer::kOk, login.substr(0, colon), login.substr(colon + 1)};
    } else if (options.url.empty() && !arg.empty() && arg.front() != '-') {
      options.url = arg;
    } else {
      return "unexpected argument \"" + arg + "\"";
    }
  }
  if (options.url.empty()) return "a URL is needed";
  if (options.scope == SearchType::kFilter && !options.filter)
    return "--scope filter needs --filter";
  if (options.filter && options.scope != SearchType::kFilter)
    return "--filter needs --scope filter";
  if ((options.all || options.word || options.matchcase) && !options.keywords)
    return "--all, --word and --case need --keywords";
  if (options.overwrite && !options.save) return "--overwrite needs --save";
  return std::nullopt;
}

// The run's options over the user's live settings; nothing is written back.
void Override(const CrawlOptions& options, LiveSettings& live) {
  if (options.scope) live.searchtype = *options.scope;
  if (options.levels) {
    live.restrictlevelsdeep = true;
    live.levels.text = std::to_string(*options.levels);
  }
  if (options.files) {
    live.restrictnumberoffiles = true;
    live.filesrestriction.text = std::to_string(*options.files);
  }
  if (options.kbytes) {
    live.restrictdownloadsize = true;
    live.megrestriction.text = std::to_string(*options.kbytes);
  }
  if (options.transferslots) live.searchbar = *options.transferslots;
  if (options.queryslots) live.querybar = *options.queryslots;
  if (options.mail) live.mailaddr = true;
  if (options.https) live.allowhttps = true;
  live.acceptbadcertificates = options.insecure;
  live.userpass = options.login.has_value();
}

int RunCrawl(const CommandArgs& args) {
  CrawlOptions options;
  if (const std::optional<std::string> error = Parse(args, options)) return Usage(*error);
  // The HTTP client refuses such values as well, but only once the run has begun.
  const char* unsendable = HoldsControlCharacter(options.url) ? "the URL"
                           : options.login && (HoldsControlCharacter(options.login->username) ||
                                               HoldsControlCharacter(options.login->password))
                               ? "the --login value"
                               : nullptr;
  if (unsendable != nullptr) {
    std::fprintf(stderr, "ferrowyn-cli crawl: %s holds a control character; nothing was sent\n",
                 unsendable);
    return kExitFailure;
  }

  if (options.save && !CheckRegularFile("crawl", SiteFileName(*options.save), true)) {
    return kExitFailure;
  }
  if (options.save && !options.overwrite && std::filesystem::exists(SiteFileName(*options.save))) {
    std::fprintf(stderr, "ferrowyn-cli crawl: \"%s\" exists; --overwrite replaces it\n",
                 SiteFileName(*options.save).c_str());
    return kExitFailure;
  }
  CliUserPortOptions port_options;
  port_options.login = options.login;
  port_options.filter = options.filter;
  port_options.file = options.save;
  port_options.allow_overwrite = options.overwrite;
  std::optional<CliSession> session;
  try {
    session.emplace("crawl", port_options, &MakeHttpClient);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ferrowyn-cli crawl: %s\n", error.what());
    return kExitFailure;
  }
  Override(options, session->live());
  Tsearchmain& main = session->main();

  SearchCenterState& state = main.state();
  state.fields.URL.text = options.url;
  state.fields.querysearch.text = options.keywords.value_or("");
  state.any = !options.all;
  state.word = options.word;
  state.casesensitive = options.matchcase;

  // The progress block is cleared as soon as the clock stops, before the run's message.
  CrawlProgress progress(main, stderr, options.keywords.has_value());
  if (isatty(STDERR_FILENO) == 1) progress.Start();
  bool run_seen = false;
  QObject::connect(&main, &Tsearchmain::changed, [&] {
    if (main.crawlrunning()) {
      run_seen = true;
    } else if (run_seen) {
      progress.Stop();
    }
  });
  main.SearchBtnClick();
  session->RunUntil([&] {
    return !main.crawlrunning() && !main.crawl().AnyWorkerRunning() &&
           !main.queries().AnyWorkerRunning();
  });
  progress.Stop();

  if (options.keywords) {
    PrintQueryList(main.querylist(), stdout);
  } else {
    for (const PageListRow& row : main.urllistview().Rows()) {
      std::printf("%s\t%s\n", row.Url.c_str(), row.Title.c_str());
    }
    std::fflush(stdout);
  }

  const CrawlRun& run = main.crawl();
  if (!main.state().siteloaded) return kExitFailure;  // the run never started
  if (run.stoppedbydberror) return kExitFailure;
  if (run.startpagefailed && main.state().numproc == "0") return kExitFailure;
  if (options.save && !main.savesitedialog()) return kExitFailure;
  return kExitOk;
}

const CommandRegistration kRegistration("crawl", kUsage, RunCrawl);

}  // namespace
}  // namespace ferrowyn::cli
