// ferrowyn-cli entry point: finds the command named by the first argument.
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

#include "cli/command.h"

namespace ferrowyn::cli {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace

CommandRegistration::CommandRegistration(std::string name, std::string usage,
                                         CommandFunction run) {
  Registry().push_back({std::move(name), std::move(usage), std::move(run)});
}

const std::vector<Command>& RegisteredCommands() { return Registry(); }

}  // namespace ferrowyn::cli

namespace {
void PrintUsage(std::FILE* to) {
  std::fprintf(to, "usage: ferrowyn-cli COMMAND [ARGUMENTS]\n\ncommands:\n");
  auto commands = ferrowyn::cli::RegisteredCommands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  for (const auto& command : commands) std::fprintf(to, "%s\n", command.usage.c_str());
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setOrganizationName("Castrel");
  QCoreApplication::setApplicationName("Ferrowyn");
  if (argc < 2) {
    PrintUsage(stderr);
    return ferrowyn::cli::kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") {
    PrintUsage(stdout);
    return ferrowyn::cli::kExitOk;
  }
  for (const auto& command : ferrowyn::cli::RegisteredCommands()) {
    if (command.name == name) return command.run({argv + 2, argv + argc});
  }
  std::fprintf(stderr, "ferrowyn-cli: unknown command \"%s\"\n", name.c_str());
  PrintUsage(stderr);
  return ferrowyn::cli::kExitUsage;
}
