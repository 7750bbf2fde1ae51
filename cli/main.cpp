// ferrowyn-cli entry point: finds the command named by the first argument. The same file
// makes both programs: ferrowyn-cli, which holds the commands that only read and hands
// every other command line to ferrowyn-cli-full, and ferrowyn-cli-full with all of them.
#include <QCoreApplication>
#ifdef FERROWYN_CLI_FULL
#include <QGuiApplication>
#endif
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/cli_full_program.h"
#include "cli/cli_private_directory.h"
#include "cli/command.h"

namespace ferrowyn::cli {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace

CommandRegistration::CommandRegistration(std::string name, std::string usage, CommandFunction run) {
  Registry().push_back({std::move(name), std::move(usage), std::move(run)});
}

const std::vector<Command>& RegisteredCommands() { return Registry(); }

}  // namespace ferrowyn::cli

namespace {

// Standard output is a file like any other: what could not be written fails the run, also
// when the failure only shows as the buffer is flushed or the stream closed.
int FinishOutput(int status) {
  // A write that failed while the command ran only left the stream's error flag; what is
  // still buffered is tried once more, so that the reason can be told where there is one.
  bool failed = std::ferror(stdout) != 0;
  std::clearerr(stdout);
  errno = 0;
  if (std::fflush(stdout) != 0) failed = true;
  int error = errno;
  if (std::fclose(stdout) != 0) {
    failed = true;
    if (error == 0) error = errno;
  }
  if (!failed) return status;
  std::fprintf(stderr, "ferrowyn-cli: standard output could not be written%s%s\n",
               error != 0 ? ": " : "", error != 0 ? std::strerror(error) : "");
  return ferrowyn::cli::kExitFailure;
}

void PrintUsage(std::FILE* to) {
  std::fprintf(to, "usage: ferrowyn-cli COMMAND [ARGUMENTS]\n\ncommands:\n");
  auto commands = ferrowyn::cli::RegisteredCommands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  for (const auto& command : commands) std::fprintf(to, "%s\n", command.usage.c_str());
}
}  // namespace

int main(int argc, char** argv) {
#ifndef FERROWYN_CLI_FULL
  // Help, the usage and every command this program does not hold are the full program's.
  const bool own = argc >= 2 && std::any_of(ferrowyn::cli::RegisteredCommands().begin(),
                                            ferrowyn::cli::RegisteredCommands().end(),
                                            [&](const auto& command) {
                                              return command.name == argv[1];
                                            });
  if (!own) return ferrowyn::cli::RunFullProgram(argv);
#endif
  // Before any thread starts, so that every thread leaves the two signals to the one
  // that removes the run's private directories.
  ferrowyn::cli::RemovePrivateDirectoriesOnSignal();
#ifdef FERROWYN_CLI_FULL
  // Printing into a PDF file measures fonts, which needs the GUI application; it runs on
  // the offscreen platform, so that no display is needed.
  const bool paints = std::any_of(argv + 1, argv + argc, [](const char* argument) {
    return std::strcmp(argument, "--pdf") == 0;
  });
  if (paints && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  std::unique_ptr<QCoreApplication> app;
  if (paints)
    app = std::make_unique<QGuiApplication>(argc, argv);
  else
    app = std::make_unique<QCoreApplication>(argc, argv);
#else
  auto app = std::make_unique<QCoreApplication>(argc, argv);
#endif
  QCoreApplication::setOrganizationName("Castrel");
  QCoreApplication::setApplicationName("Ferrowyn");
  if (argc < 2) {
    PrintUsage(stderr);
    return ferrowyn::cli::kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") {
    PrintUsage(stdout);
    return FinishOutput(ferrowyn::cli::kExitOk);
  }
  for (const auto& command : ferrowyn::cli::RegisteredCommands()) {
    if (command.name == name) {
      ferrowyn::cli::RemoveStalePrivateDirectories();
      return FinishOutput(command.run({argv + 2, argv + argc}));
    }
  }
  std::fprintf(stderr, "ferrowyn-cli: unknown command \"%s\"\n", name.c_str());
  PrintUsage(stderr);
  return ferrowyn::cli::kExitUsage;
}
