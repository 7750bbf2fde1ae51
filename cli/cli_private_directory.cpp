// Private directories of ferrowyn-cli runs, and their removal on SIGINT and SIGTERM.
#include "cli/cli_private_directory.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "app/private_directory.h"

namespace ferrowyn::cli {

namespace fs = std::filesystem;

namespace {

std::mutex& LiveMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<std::string>& LiveDirectories() {
  static std::vector<std::string> directories;
  return directories;
}

sigset_t EndSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

// Waits for SIGINT or SIGTERM, removes the live directories and ends the process by the
// signal, so that the caller sees the usual status of a run ended that way.
void TakeEndSignals() {
  const sigset_t set = EndSignals();
  int signal = 0;
  while (sigwait(&set, &signal) != 0) {
  }
  {
    // Held until the end: no directory is made or dropped any more.
    LiveMutex().lock();
    for (const std::string& path : LiveDirectories()) {
      // The run may still be writing into it; a few passes take what it adds meanwhile.
      std::error_code error;
      for (int pass = 0; pass < 5 && fs::exists(path, error); ++pass) fs::remove_all(path, error);
    }
  }
  ::signal(signal, SIG_DFL);
  sigset_t just;
  sigemptyset(&just);
  sigaddset(&just, signal);
  pthread_sigmask(SIG_UNBLOCK, &just, nullptr);
  ::raise(signal);
}

std::string SystemTemporaryDirectory() {
  std::error_code error;
  const fs::path dir = fs::temp_directory_path(error);
  return error ? std::string("/tmp") : dir.string();
}

}  // namespace

void RemovePrivateDirectoriesOnSignal() {
  const sigset_t set = EndSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread(TakeEndSignals).detach();
}

void RemoveStalePrivateDirectories() {
  ferrowyn::RemoveStalePrivateDirectories(SystemTemporaryDirectory(), kPrivateDirectoryPrefix);
}

PrivateDirectory::PrivateDirectory() {
  std::lock_guard<std::mutex> lock(LiveMutex());
  path_ = MakePrivateDirectory(SystemTemporaryDirectory(), kPrivateDirectoryPrefix);
  LiveDirectories().push_back(path_);
}

PrivateDirectory::~PrivateDirectory() {
  std::lock_guard<std::mutex> lock(LiveMutex());
  std::vector<std::string>& live = LiveDirectories();
  live.erase(std::find(live.begin(), live.end(), path_));
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

}  // namespace ferrowyn::cli
