// "ferrowyn-cli export": the page list of a site file written as the program's HTML export.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "app/search_center.h"
#include "cli/cli_input.h"
#include "cli/cli_session.h"
#include "cli/cli_site_file.h"
#include "cli/command.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "  export FILE OUT [--overwrite]\n"
    "                               open the site file FILE as the program does and write\n"
    "                               its page list as an HTML page to OUT (\".htm\" is added\n"
    "                               to a name without extension; an existing OUT is kept\n"
    "                               unless --overwrite); messages on standard error; exit 1\n"
    "                               when the site does not load or nothing is written";

int Usage(const std::string& why) {
  std::fprintf(stderr, "ferrowyn-cli export: %s\nusage:\n%s\n", why.c_str(), kUsage);
  return kExitUsage;
}

// The file's identity: a whole-file replacement gives the name a new inode.
std::optional<ino_t> Identity(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_ino;
}

int RunExport(const CommandArgs& args) {
  std::vector<std::string> positional;
  bool overwrite = false;
  for (const std::string& arg : args) {
    if (arg == "--overwrite") {
      overwrite = true;
    } else if (arg.starts_with("--")) {
      return Usage("unknown option \"" + arg + "\"");
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) return Usage("a site file and an output file are needed");

  // The save dialog's answer, with the extension it adds to a bare name.
  std::filesystem::path out(positional[1]);
  if (!out.has_extension()) out += ".htm";
  if (!CheckRegularFile("export", out.string(), true)) return kExitFailure;
  CliUserPortOptions options;
  options.file = out.string();
  options.allow_overwrite = overwrite;
  std::optional<CliSession> session;
  try {
    session.emplace("export", options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ferrowyn-cli export: %s\n", error.what());
    return kExitFailure;
  }
  if (OpenSiteFile(*session, "export", positional[0]) != SiteOpenResult::kLoaded) {
    return kExitFailure;
  }
  const std::optional<ino_t> before = Identity(out.string());
  session->main().SaveURLList1Click();
  const std::optional<ino_t> after = Identity(out.string());
  return after && after != before ? kExitOk : kExitFailure;
}

const CommandRegistration kRegistration("export", kUsage, RunExport);

}  // namespace
}  // namespace ferrowyn::cli
