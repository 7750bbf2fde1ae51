// A private store temporary directory for one ferrowyn-cli command, so that two
// commands at once, or a command beside the program, never share working files.
#pragma once

#include <string>

namespace ferrowyn::cli {

// Makes a fresh directory under the system's temporary directory and points
// every store's working files at it; on destruction points them back at the
// default and removes the directory with whatever is left in it.
class StoreScratchDirectory {
 public:
  explicit StoreScratchDirectory(const std::string& command);
  ~StoreScratchDirectory();
  StoreScratchDirectory(const StoreScratchDirectory&) = delete;
  StoreScratchDirectory& operator=(const StoreScratchDirectory&) = delete;

 private:
  std::string path_;
};

}  // namespace ferrowyn::cli
