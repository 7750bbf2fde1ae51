// Opening a site file for a ferrowyn-cli command as the program opens it, without ever
// writing the file back.
#pragma once

#include <string>

#include "cli/cli_session.h"

namespace ferrowyn::cli {

enum class SiteOpenResult {
  kLoaded,      // opened with all three list records
  kIncomplete,  // opened, but the load reported an error (a record missing, a malformed one)
  kNoFile,      // `path` names no file, or one without an extension; nothing was opened
};

// Opens `path` in the session's controller (`opensitedialog`, its load message on standard
// error) read-only from the first byte, so that neither a failed open nor closing the
// session ever writes the file: it stays exactly as it was. A missing file is reported on standard
// error as `command`'s and is not created. Main thread only.
SiteOpenResult OpenSiteFile(CliSession& session, const std::string& command,
                            const std::string& path);

}  // namespace ferrowyn::cli
