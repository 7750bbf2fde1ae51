// "ferrowyn-cli links": the title and links that a crawl would take from one page body,
// assembled, scanned, resolved and filtered exactly as the crawl worker does it.
#include <atomic>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/live_settings.h"
#include "app/settings_store.h"
#include "app/settings_table.h"
#include "app/text_forms.h"
#include "base/case_folding.h"
#include "cli/cli_input.h"
#include "cli/command.h"
#include "crawl/http_texts.h"
#include "crawl/link_extraction.h"
#include "crawl/page_assembly.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "  links PAGE-URL [FILE] [--raw] [--ignore-scripts] [--mail]\n"
    "      the title and the links to follow of a page body read from FILE or standard\n"
    "      input; --raw lists every resolved link instead; --ignore-scripts drops links\n"
    "      with script arguments; --mail also lists the mail addresses found";

// The file types the crawl follows: the seven built-in extensions, then those stored in
// the settings store's "File Types" list that are not among them (letter case ignored).
// The store is read as it is at program start; an unreadable store adds nothing.
std::vector<std::string> CrawlFileTypes() {
  std::vector<std::string> types = BuiltInFileTypes();
  try {
    for (const std::string& type : SettingsStore().ReadList(kFileTypesSection)) {
      bool held = type.empty();
      for (const std::string& known : types) held = held || EqualsIgnoringLatin1Case(known, type);
      if (!held) types.push_back(type);
    }
  } catch (const std::exception&) {
  }
  return types;
}

void PrintLine(const std::string& prefix, const std::string& text) {
  std::fwrite(prefix.data(), 1, prefix.size(), stdout);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

int Usage() {
  std::fprintf(stderr, "usage:\n%s\n", kUsage);
  return kExitUsage;
}

int RunLinks(const CommandArgs& args) {
  bool raw = false;
  std::vector<std::string> operands;
  LinkFilterSettings settings;
  for (const std::string& arg : args) {
    if (arg == "--raw") {
      raw = true;
    } else if (arg == "--ignore-scripts") {
      settings.IgnoreScripts = true;
    } else if (arg == "--mail") {
      settings.GrabMail = true;
    } else if (arg.size() > 1 && arg.front() == '-') {
      return Usage();
    } else {
      operands.push_back(arg);
    }
  }
  if (operands.empty() || operands.size() > 2) return Usage();

  const std::string file = operands.size() == 2 && operands[1] != "-" ? operands[1] : "";
  if (!file.empty() && !CheckRegularFile("links", file)) return kExitFailure;
  const std::optional<std::string> body = ReadInput("links", file);
  if (!body) return kExitFailure;

  std::vector<std::string> lines;
  LoadMemoFromMemoryStream(lines, *body);
  LinkPage page;
  page.PageText = AssemblePage(lines).PageText;
  page.CurrentUrl = operands[0];
  page.Base = MakePageBase(TrimBlanks(operands[0]));
  settings.FileTypes = CrawlFileTypes();

  // The run's mail list: lower-cased, each address once.
  std::vector<std::string> mail;
  LinkExtractionHooks hooks;
  hooks.AddMailAddress = [&mail](const std::string& address) {
    const std::string lowered = Latin1Lower(address);
    for (const std::string& known : mail)
      if (EqualsIgnoringLatin1Case(known, lowered)) return;
    mail.push_back(lowered);
  };

  const std::atomic<bool> stopping{false};
  if (!ExtractLinks(page, settings, stopping, hooks)) {
    std::fprintf(stderr, "ferrowyn-cli links: the page is empty\n");
    return kExitFailure;
  }
  PrintLine("Title: ", page.PageTitle);
  for (const std::string& link : raw ? page.RawLinks : page.Candidates) PrintLine("", link);
  for (const std::string& address : mail) PrintLine("Mail: ", address);
  std::fflush(stdout);
  return kExitOk;
}

const CommandRegistration kRegistration("links", kUsage, RunLinks);

}  // namespace
}  // namespace ferrowyn::cli
