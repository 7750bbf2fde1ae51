// Opening a site file for a ferrowyn-cli command.
#include "cli/cli_site_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/cli_input.h"

namespace ferrowyn::cli {

SiteOpenResult OpenSiteFile(CliSession& session, const std::string& command,
                            const std::string& path) {
  if (!CheckRegularFile(command, path, true)) return SiteOpenResult::kNoFile;
  std::error_code error;
  // The store would make an empty store file of a name that does not exist; a command
  // that only looks at a file must not leave one behind.
  if (!std::filesystem::is_regular_file(path, error)) {
    std::fprintf(stderr, "ferrowyn-cli %s: \"%s\" is not a site file that exists\n",
                 command.c_str(), path.c_str());
    return SiteOpenResult::kNoFile;
  }
  // The store opens "NAME.QDB" for a name without an extension, another file altogether.
  if (!std::filesystem::path(path).has_extension()) {
    std::fprintf(stderr,
                 "ferrowyn-cli %s: \"%s\" has no extension; the store would open \"%s.QDB\"\n",
                 command.c_str(), path.c_str(), path.c_str());
    return SiteOpenResult::kNoFile;
  }
  Tsearchmain& main = session.main();
  main.SetOpenSitesReadOnly(true);
  const bool loaded = main.opensitedialog(path);
  return loaded ? SiteOpenResult::kLoaded : SiteOpenResult::kIncomplete;
}

}  // namespace ferrowyn::cli
