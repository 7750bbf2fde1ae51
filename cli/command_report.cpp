// "ferrowyn-cli report": a query file read as the search center opens one, printed as the
// search, its options and the result rows. Nothing is written.
#include <QStandardItemModel>
#include <cstdio>
#include <string>

#include "app/message_texts.h"
#include "app/query_report.h"
#include "app/search_center_state.h"
#include "cli/command.h"
#include "store/query_file.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "  report FILE                  the query file FILE (\".fwq\" is added unless the name\n"
    "                               holds it): \"Site: \", \"Date/Time: \", \"Search: \",\n"
    "                               \"Type: \", \"Word: \" and \"CaseSensitive: \" lines, then\n"
    "                               one line per result: URL, hits and found, tab-separated";

void PrintLine(const std::string& prefix, const std::string& rest) {
  std::fwrite(prefix.data(), 1, prefix.size(), stdout);
  std::fwrite(rest.data(), 1, rest.size(), stdout);
  std::fputc('\n', stdout);
}

int Run(const CommandArgs& args) {
  if (args.size() != 1 || args[0].starts_with("--")) {
    std::fprintf(stderr, "usage:\n%s\n", kUsage);
    return kExitUsage;
  }
  const std::string file = QueryFileName(args[0]);
  QueryFileContents contents;
  try {
    contents = ReadQueryFile(file);
  } catch (const EQueryFileError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return kExitFailure;
  }
  // Loaded into a fresh search center's query state, so that options the file does not
  // give read as they would after opening it at start-up.
  SearchCenterState state;
  QStandardItemModel querylist;
  LoadQueryReport(contents, state, querylist);

  PrintLine("Site: ", state.querysitename);
  if (contents.datetime) PrintLine("Date/Time: ", *contents.datetime);
  PrintLine("Search: ", state.querykeywords);
  PrintLine("Type: ", state.queryany ? "ANY" : "ALL");
  PrintLine("Word: ", state.querywholeword ? "ON" : "OFF");
  PrintLine("CaseSensitive: ", state.querycasesensitive ? "ON" : "OFF");
  for (const QueryResultRow& row : QueryResultRows(querylist))
    PrintLine(row.url + "\t" + row.hits + "\t", row.found);
  if (std::fflush(stdout) != 0) return kExitFailure;

  if (!contents.Complete()) {
    std::fprintf(stderr, "There was an error loading the query.\n");
    return kExitFailure;
  }
  std::fprintf(stderr, "Query %s has been loaded.\n", Quoted(FileNameOf(file)).c_str());
  return kExitOk;
}

const CommandRegistration kReport("report", kUsage, Run);

}  // namespace
}  // namespace ferrowyn::cli
