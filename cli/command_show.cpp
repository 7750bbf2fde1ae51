// "ferrowyn-cli show": a stored page of a site file as the viewer shows it, the text-only
// rendering (or the HTML rendering) on standard output and the caption on standard error,
// either as a page of the page list or as a result of a keyword search. The site file is
// opened read-only, so closing writes nothing back and the file stays exactly as it was.

#include <langinfo.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/live_settings.h"
#include "app/program_directory.h"
#include "app/quill_encryption.h"
#include "app/settings_operations.h"
#include "app/settings_store.h"
#include "cli/cli_input.h"
#include "cli/cli_store_scratch.h"
#include "cli/cli_user_port.h"
#include "cli/command.h"
#include "store/qdb_errors.h"
#include "store/record_store.h"
#include "view/highlighting.h"
#include "view/page_display.h"
#include "view/plain_text.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "  show FILE URL [--html]       the stored page of URL in the site file FILE: the\n"
    "                               text-only rendering (--html: the HTML rendering) on\n"
    "                               standard output, \"Caption: \" and the caption on\n"
    "                               standard error\n"
    "  show FILE URL --keywords TEXT [--word] [--case] [--html]\n"
    "                               the same page as a result of a search for TEXT, marked\n"
    "                               as \"Highlight HTML\" and \"Highlight Text-Only\" say\n"
    "  show FILE URL [--keywords TEXT [--word] [--case]] --plain\n"
    "                               the text-only rendering as text to read: breaks as line\n"
    "                               ends, entities decoded, lines wrapped to the terminal,\n"
    "                               the keywords' hits in reverse video on a terminal";

struct ShowOptions {
  std::string file;
  std::string url;
  std::optional<std::string> keywords;
  bool word = false;
  bool casesensitive = false;
  bool html = false;
  bool plain = false;
};

std::optional<ShowOptions> ParseArguments(const CommandArgs& args) {
  ShowOptions options;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--keywords") {
      if (i + 1 == args.size() || options.keywords) return std::nullopt;
      options.keywords = args[++i];
    } else if (arg == "--word") {
      options.word = true;
    } else if (arg == "--case") {
      options.casesensitive = true;
    } else if (arg == "--html") {
      options.html = true;
    } else if (arg == "--plain") {
      options.plain = true;
    } else if (arg.starts_with("--")) {
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  // Whole word and match case belong to a search.
  if (positional.size() != 2 || ((options.word || options.casesensitive) && !options.keywords) ||
      (options.plain && options.html))
    return std::nullopt;
  options.file = positional[0];
  options.url = positional[1];
  return options;
}

// Keeps what the display operation hands over; printed once the operation is done.
class CapturingViewer : public PageViewer {
 public:
  void ShowPage(const ViewerPage& page) override { page_ = page; }
  const std::optional<ViewerPage>& page() const { return page_; }

 private:
  std::optional<ViewerPage> page_;
};

// The highlight settings of the live settings after a full load. A stored proxy password
// that cannot be unscrambled is reported and the load goes on, as at start-up.
DisplayHighlightSettings LoadHighlightSettings() {
  const SettingsStore store;
  LiveSettings live;
  SearchFields search;
  TQuillEncryption scrambler;
  scrambler.Key = kSetupScramblerKey;
  try {
    loadregistrydefaults(store, ProgramDirectory(), live, search, scrambler);
  } catch (const EQuillError& error) {
    std::fprintf(stderr, "%s\n", error.what());
  }
  return {live.highgraph, live.hightext, live.highlightcolor};
}

// The terminal's width: $COLUMNS, else the width of the terminal on standard output,
// else 80.
int TerminalWidth() {
  constexpr int kDefaultWidth = 80;
  if (const char* columns = std::getenv("COLUMNS")) {
    char* end = nullptr;
    const long value = std::strtol(columns, &end, 10);
    if (end != columns && *end == '\0' && value > 0 && value <= 10000)
      return static_cast<int>(value);
  }
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return kDefaultWidth;
}

bool TerminalIsUtf8() {
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  return codeset != nullptr &&
         (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

int Run(const CommandArgs& args) {
  const std::optional<ShowOptions> options = ParseArguments(args);
  if (!options) {
    std::fprintf(stderr, "usage:\n%s\n", kUsage);
    return kExitUsage;
  }
  const std::string file = TQDB::StoreFileName(options->file);
  if (!CheckRegularFile("show", file, true)) return kExitFailure;
  CliUserPort port;
  CapturingViewer viewer;
  bool shown = false;
  std::string highlightopening;
  try {
    StoreScratchDirectory scratch;
    // Opening would create a missing store file.
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) throw EQDBFileError(QDBMessage(qdb_text::kNotFound, file));
    TQDB QDB;
    QDB.SetReadOnly(true);
    QDB.SetCompression(true);
    QDB.SetFileName(file);
    PageDisplay display(QDB, port, viewer);
    const DisplaySiteState site{true, file};
    if (options->keywords) {
      const DisplayQueryState query{file, *options->keywords, options->word,
                                    options->casesensitive};
      DisplayHighlightSettings settings = LoadHighlightSettings();
      // The hits are found through their marks in the text-only rendering.
      if (options->plain) settings.hightext = true;
      highlightopening = HighlightOpening(HighlightColorOf(settings.highlightcolor));
      shown = display.displayinternal(options->url, site, query, settings);
    } else {
      shown = display.displayinternalnokeys(options->url, site);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return kExitFailure;
  }
  if (!shown || !viewer.page()) return kExitFailure;
  const ViewerPage& page = *viewer.page();
  std::string text;
  if (options->plain) {
    PlainTextStyle style;
    style.width = TerminalWidth();
    style.utf8 = TerminalIsUtf8();
    style.reverse = isatty(STDOUT_FILENO) != 0;
    style.markopening = highlightopening;
    text = PlainText(page.TextLines, style);
  } else {
    for (const std::string& line : options->html ? page.HtmlLines : page.TextLines) {
      text += line;
      text += '\n';
    }
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fprintf(stderr, "Caption: %s\n", page.Caption.c_str());
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

const CommandRegistration kShow("show", kUsage, Run);

}  // namespace
}  // namespace ferrowyn::cli
