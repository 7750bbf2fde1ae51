// "ferrowyn-cli site": a site file opened as the program opens it, and one of its lists on
// standard output: the page list, the site map or the mail addresses (which it can also
// print into a PDF file).
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/mail_report.h"
#include "app/search_center.h"
#include "cli/cli_input.h"
#include "cli/cli_pdf.h"
#include "cli/cli_session.h"
#include "cli/cli_site_file.h"
#include "cli/command.h"
#include "store/mail_list_file.h"
#include "view/mail_miner_list.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "  site FILE [pages|map|mail]   open the site file FILE as the program does (the load\n"
    "                               message on standard error) and print its page list\n"
    "                               (URL, tab, title; the default), its site map (a tab per\n"
    "                               level of depth, then the URL) or its mail addresses;\n"
    "                               the file is left unchanged; exit 1 when it does not load\n"
    "  site FILE mail [--sort] [--save OUT [--overwrite]]\n"
    "                               the mail addresses sorted as the mail miner sorts them,\n"
    "                               and saved as its \"Save As...\" saves them (an existing\n"
    "                               OUT is replaced only with --overwrite)\n"
    "  site FILE mail [--sort] --pdf OUT\n"
    "                               the mail addresses printed as the mail miner prints\n"
    "                               them (the title, \"Site Name: \", \"Date/Time: \" and one\n"
    "                               line per address, in the settings' printing fonts) into\n"
    "                               the PDF file OUT instead of standard output";

enum class Listing { kPages, kMap, kMail };

int Usage(const std::string& why) {
  std::fprintf(stderr, "ferrowyn-cli site: %s\nusage:\n%s\n", why.c_str(), kUsage);
  return kExitUsage;
}

void PrintPages(Tsearchmain& main) {
  for (const PageListRow& row : main.urllistview().Rows()) {
    std::printf("%s\t%s\n", row.Url.c_str(), row.Title.c_str());
  }
}

void PrintMap(Tsearchmain& main) {
  const SiteMapModel& map = main.mainview();
  // Depth first without recursion; each frame is a node's children and the next to print.
  std::vector<std::pair<std::vector<SiteMapNode>, std::size_t>> stack;
  stack.emplace_back(map.Children(kNoNode), 0);
  while (!stack.empty()) {
    auto& [nodes, next] = stack.back();
    if (next == nodes.size()) {
      stack.pop_back();
      continue;
    }
    const SiteMapNode node = nodes[next++];
    const std::string indent(stack.size() - 1, '\t');
    std::printf("%s%s\n", indent.c_str(), map.Text(node).c_str());
    std::vector<SiteMapNode> children = map.Children(node);
    if (!children.empty()) stack.emplace_back(std::move(children), 0);
  }
}

void PrintMail(Tsearchmain& main) {
  for (const std::string& line : main.mailview().Lines()) std::printf("%s\n", line.c_str());
}

// The list as the mail miner prints it, in the printing fonts of the user's settings.
bool WriteMailPdf(CliSession& session, const std::string& out) {
  Tsearchmain& main = session.main();
  const auto write = [&](TPagePrinter& printer) {
    WriteMailReport(printer, session.live(), main.state().sitename, main.mailview().Lines());
  };
  return PrintPdf(write, kMailPrintFailed, out);
}

int RunSite(const CommandArgs& args) {
  std::vector<std::string> positional;
  bool sort = false, overwrite = false;
  std::optional<std::string> save, pdf;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--sort") {
      sort = true;
    } else if (args[i] == "--overwrite") {
      overwrite = true;
    } else if (args[i] == "--save" && i + 1 < args.size()) {
      save = args[++i];
    } else if (args[i] == "--pdf" && i + 1 < args.size() && !args[i + 1].empty()) {
      pdf = args[++i];
    } else if (!args[i].empty() && args[i].front() == '-') {
      return Usage("unexpected argument \"" + args[i] + "\"");
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.empty() || positional.size() > 2) {
    return Usage("a site file and at most one list are needed");
  }
  Listing listing = Listing::kPages;
  if (positional.size() == 2) {
    if (positional[1] == "pages") {
      listing = Listing::kPages;
    } else if (positional[1] == "map") {
      listing = Listing::kMap;
    } else if (positional[1] == "mail") {
      listing = Listing::kMail;
    } else {
      return Usage("unknown list \"" + positional[1] + "\"");
    }
  }
  if ((sort || save || pdf) && listing != Listing::kMail) {
    return Usage("--sort, --save and --pdf need mail");
  }
  if (overwrite && !save) return Usage("--overwrite needs --save");
  if (save && !CheckRegularFile("site", *save, true)) return kExitFailure;
  if (save && !overwrite && std::filesystem::exists(*save)) {
    std::fprintf(stderr, "ferrowyn-cli site: \"%s\" exists; --overwrite replaces it\n",
                 save->c_str());
    return kExitFailure;
  }

  CliUserPortOptions port_options;
  port_options.file = save;
  port_options.allow_overwrite = overwrite;
  std::optional<CliSession> session;
  try {
    session.emplace("site", port_options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ferrowyn-cli site: %s\n", error.what());
    return kExitFailure;
  }
  const SiteOpenResult result = OpenSiteFile(*session, "site", positional[0]);
  if (result == SiteOpenResult::kNoFile) return kExitFailure;
  Tsearchmain& main = session->main();
  switch (listing) {
    case Listing::kPages:
      PrintPages(main);
      break;
    case Listing::kMap:
      PrintMap(main);
      break;
    case Listing::kMail:
      if (sort) main.mailview().Sort();
      if (pdf) {
        if (!WriteMailPdf(*session, *pdf)) return kExitFailure;
      } else {
        PrintMail(main);
      }
      break;
  }
  std::fflush(stdout);
  if (save && !MailListFile().SaveAs(main.mailview().Lines(), session->port(),
                                     session->directory())) {
    return kExitFailure;
  }
  return result == SiteOpenResult::kLoaded ? kExitOk : kExitFailure;
}

const CommandRegistration kRegistration("site", kUsage, RunSite);

}  // namespace
}  // namespace ferrowyn::cli
