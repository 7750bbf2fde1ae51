// A private store temporary directory for one ferrowyn-cli command, so that two
// commands at once, or a command beside the program, never share working files.
#pragma once

#include "cli/cli_private_directory.h"

namespace ferrowyn::cli {

// Points every store's working files at a fresh private directory; on destruction points
// them back at the default and removes the directory with whatever is left in it. Throws
// std::system_error when no directory can be made.
class StoreScratchDirectory {
 public:
  StoreScratchDirectory();
  ~StoreScratchDirectory();
  StoreScratchDirectory(const StoreScratchDirectory&) = delete;
  StoreScratchDirectory& operator=(const StoreScratchDirectory&) = delete;

 private:
  PrivateDirectory directory_;
};

}  // namespace ferrowyn::cli
