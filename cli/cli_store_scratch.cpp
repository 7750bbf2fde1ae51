// Private store temporary directory of a ferrowyn-cli command.
#include "cli/cli_store_scratch.h"

#include "store/record_store.h"

namespace ferrowyn::cli {

StoreScratchDirectory::StoreScratchDirectory() { TQDB::SetTempDirectory(directory_.path()); }

StoreScratchDirectory::~StoreScratchDirectory() { TQDB::SetTempDirectory(""); }

}  // namespace ferrowyn::cli
