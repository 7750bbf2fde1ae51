// Private store temporary directory of a ferrowyn-cli command.
#include "cli/cli_store_scratch.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

#include "store/record_store.h"

namespace ferrowyn::cli {

StoreScratchDirectory::StoreScratchDirectory(const std::string& command) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / ("ferrowyn-cli-" + command + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data())) path_ = pattern;
  // When no directory could be made, the store falls back to the system's own.
  TQDB::SetTempDirectory(path_);
}

StoreScratchDirectory::~StoreScratchDirectory() {
  TQDB::SetTempDirectory("");
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace ferrowyn::cli
