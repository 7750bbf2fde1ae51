// "ferrowyn-cli report": a query file read as the search center opens one, printed as the
// search, its options and the result rows, or printed as its report into a PDF file.
#include <cstdio>
#include <string>

#include "app/live_settings.h"
#include "app/message_texts.h"
#include "app/query_report.h"
#include "app/quill_encryption.h"
#include "app/report_printing.h"
#include "app/search_center_state.h"
#include "app/settings_store.h"
#include "app/settings_table.h"
#include "cli/cli_pdf.h"
#include "cli/command.h"
#include "store/query_file.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "  report FILE                  the query file FILE (\".fwq\" is added unless the name\n"
    "                               holds it): \"Site: \", \"Date/Time: \", \"Search: \",\n"
    "                               \"Type: \", \"Word: \" and \"CaseSensitive: \" lines, then\n"
    "                               one line per result: URL, hits and found, tab-separated\n"
    "  report FILE --pdf OUT        the query file's printed report (the title, \"Query Name: \",\n"
    "                               \"Date/Time: \" and the URL, hits and found table in the\n"
    "                               settings' printing fonts) as the PDF file OUT";

void PrintLine(const std::string& prefix, const std::string& rest) {
  std::fwrite(prefix.data(), 1, prefix.size(), stdout);
  std::fwrite(rest.data(), 1, rest.size(), stdout);
  std::fputc('\n', stdout);
}

// The report as the search center prints it, in the printing fonts of the settings.
int WritePdf(const SearchCenterState& state, const QueryListModel& querylist,
             const std::string& out) {
  LiveSettings live;
  TQuillEncryption unused;
  try {
    const SettingsStore store;
    for (SettingId id : {SettingId::kTitleFont, SettingId::kSubTitleFont, SettingId::kBodyFont}) {
      const SettingRow& row = RowOf(id);
      LoadRow(row, store.Read(kDefaultsSection, row.name), live, unused);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ferrowyn-cli report: the settings could not be read: %s\n", error.what());
    return kExitFailure;
  }
  const auto write = [&](TPagePrinter& printer) {
    WriteQueryReport(printer, live, state.querysitename, querylist);
  };
  return PrintPdf(write, kQueryReportFailed, out) ? kExitOk : kExitFailure;
}

int Run(const CommandArgs& args) {
  const bool pdf = args.size() == 3 && args[1] == "--pdf" && !args[2].empty();
  if ((args.size() != 1 && !pdf) || args[0].starts_with("--")) {
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
  QueryListModel querylist;
  LoadQueryReport(contents, state, querylist);
  if (pdf) {
    if (!contents.Complete()) {
      std::fprintf(stderr, "There was an error loading the query.\n");
      return kExitFailure;
    }
    return WritePdf(state, querylist, args[2]);
  }

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
