// Finding and starting ferrowyn-cli-full.
#include "cli/cli_full_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/command.h"

namespace ferrowyn::cli {

namespace {
constexpr char kFullProgram[] = "ferrowyn-cli-full";

// The folder of the running program, with its final slash; empty when unknown.
std::string OwnFolder() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  const std::string own(path, static_cast<size_t>(length));
  const size_t slash = own.rfind('/');
  return slash == std::string::npos ? std::string() : own.substr(0, slash + 1);
}
}  // namespace

int RunFullProgram(char** argv) {
  const std::string folder = OwnFolder();
  // A build tree has both programs side by side; an installed copy has the full one
  // where the installation put it, relative to this one's folder.
  std::string chosen = folder + kFullProgram;
  if (access(chosen.c_str(), X_OK) != 0)
    chosen = folder + FERROWYN_CLI_FULL_FROM_BINDIR + "/" + kFullProgram;
  execv(chosen.c_str(), argv);
  std::fprintf(stderr, "ferrowyn-cli: %s could not be started: %s\n", chosen.c_str(),
               std::strerror(errno));
  return kExitFailure;
}

}  // namespace ferrowyn::cli
