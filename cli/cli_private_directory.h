// The private scratch directory of one ferrowyn-cli run, which goes with the run: at its
// end, on SIGINT or SIGTERM, or, after a kill or a crash, at the next run's start.
#pragma once

#include <string>

namespace ferrowyn::cli {

// The name every run's private directory starts with, under the system's temporary directory.
inline constexpr char kPrivateDirectoryPrefix[] = "ferrowyn-cli";

// Makes SIGINT and SIGTERM remove every live private directory before the process ends by
// the signal. Call once, first thing in main, before any other thread starts: it blocks both
// signals in every thread to come and lets one thread of its own take them.
void RemovePrivateDirectoriesOnSignal();

// Removes the private directories that runs which no longer exist left behind.
void RemoveStalePrivateDirectories();

// A fresh private directory, removed with whatever is left in it on destruction. Throws
// std::system_error when none can be made. Main thread only.
class PrivateDirectory {
 public:
  PrivateDirectory();
  ~PrivateDirectory();
  PrivateDirectory(const PrivateDirectory&) = delete;
  PrivateDirectory& operator=(const PrivateDirectory&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace ferrowyn::cli
