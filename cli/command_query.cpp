// "ferrowyn-cli query": a query over a saved site, opened as the program opens it; the
// result rows on stdout, "Query completed." or "Query stopped." on stderr.
#include <cstdio>
#include <optional>
#include <string>

#include "app/query_report.h"
#include "app/search_center.h"
#include "cli/cli_input.h"
#include "cli/cli_query_rows.h"
#include "cli/cli_session.h"
#include "cli/cli_site_file.h"
#include "cli/command.h"
#include "store/query_file.h"
#include "view/list_sorting.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "  query FILE KEYWORDS [--all] [--word] [--case] [--slots N] [--sort url|hits|found]\n"
    "        [--report OUT]\n"
    "      query a saved site (the file is not changed); the rows (URL, tab, hits, tab,\n"
    "      keywords found) on stdout in the order they were found, or sorted as the\n"
    "      results list's column headers sort them; --report also writes the query file";

int Usage(const std::string& why) {
  std::fprintf(stderr, "ferrowyn-cli query: %s\nusage:\n%s\n", why.c_str(), kUsage);
  return kExitUsage;
}

struct QueryOptions {
  std::string file;
  std::optional<std::string> keywords;
  bool all = false, word = false, matchcase = false;
  std::optional<int> queryslots;
  std::optional<int> sort_column;
  std::optional<std::string> report;
};

std::optional<std::string> Parse(const CommandArgs& args, QueryOptions& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--all") {
      options.all = true;
    } else if (arg == "--word") {
      options.word = true;
    } else if (arg == "--case") {
      options.matchcase = true;
    } else if (arg == "--slots") {
      const std::string value = has_value ? args[++i] : "";
      if (value.size() != 1 || value[0] < '1' || value[0] > '4') {
        return "--slots needs a number from 1 to 4";
      }
      options.queryslots = value[0] - '0';
    } else if (arg == "--sort") {
      const std::string value = has_value ? args[++i] : "";
      if (value == "url") {
        options.sort_column = kResultUrl;
      } else if (value == "hits") {
        options.sort_column = kResultHits;
      } else if (value == "found") {
        options.sort_column = kResultFound;
      } else {
        return "--sort needs url, hits or found";
      }
    } else if (arg == "--report" && has_value) {
      options.report = args[++i];
    } else if (!arg.empty() && arg.front() == '-' && arg != "-") {
      return "unexpected argument \"" + arg + "\"";
    } else if (options.file.empty()) {
      options.file = arg;
    } else if (!options.keywords) {
      options.keywords = arg;
    } else {
      return "unexpected argument \"" + arg + "\"";
    }
  }
  if (options.file.empty()) return "a site file is needed";
  if (!options.keywords) return "keywords are needed";
  return std::nullopt;
}

int RunQuery(const CommandArgs& args) {
  QueryOptions options;
  if (const std::optional<std::string> error = Parse(args, options)) return Usage(*error);
  if (options.report && !CheckRegularFile("query", QueryFileName(*options.report), true)) {
    return kExitFailure;
  }

  std::optional<CliSession> session;
  try {
    session.emplace("query", CliUserPortOptions{});
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ferrowyn-cli query: %s\n", error.what());
    return kExitFailure;
  }
  if (options.queryslots) session->live().querybar = *options.queryslots;
  Tsearchmain& main = session->main();
  // The query reads only the pages: the lists stay unbuilt, so its memory does not grow
  // with the site; and its workers run at the priority the user started it with.
  main.SetOpenSitesWithoutLists(true);
  main.queries().SetLowerPriority(false);
  if (OpenSiteFile(*session, "query", options.file) != SiteOpenResult::kLoaded) {
    return kExitFailure;
  }

  SearchCenterState& state = main.state();
  state.fields.querysearch.text = *options.keywords;
  state.any = !options.all;
  state.word = options.word;
  state.casesensitive = options.matchcase;
  state.querykeywords.clear();  // set again when the query starts
  main.executequery();
  session->RunUntil([&] { return !state.queryactive && !main.queries().AnyWorkerRunning(); });

  // A query that never started (no keywords, a "|") has been refused with its message.
  if (state.querykeywords.empty()) return kExitFailure;
  if (options.sort_column) SortQueryList(main.querylist(), *options.sort_column);
  PrintQueryList(main.querylist(), stdout);
  // Nothing stops a query here but pages that could not be read: the rows are only
  // those of the pages searched, which is not a success.
  const bool complete = state.pages == state.pagesavl;
  if (options.report) {
    try {
      WriteQueryFile(QueryFileName(*options.report), GatherQueryReport(state, main.querylist()));
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s\n", error.what());
      return kExitFailure;
    }
  }
  try {
    session->LeaveMainWindowToExit();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return kExitFailure;
  }
  return complete ? kExitOk : kExitFailure;
}

const CommandRegistration kRegistration("query", kUsage, RunQuery);

}  // namespace
}  // namespace ferrowyn::cli
