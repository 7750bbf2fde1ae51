// Registration of ferrowyn-cli commands: each command file defines one static
// CommandRegistration, and main() dispatches on the first argument.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ferrowyn::cli {

// Exit statuses shared by all commands.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Arguments after the command's own name.
using CommandArgs = std::vector<std::string>;
using CommandFunction = std::function<int(const CommandArgs&)>;

struct Command {
  std::string name;
  std::string usage;  // one or more lines, shown by "ferrowyn-cli help"
  CommandFunction run;
};

// Registers a command at static initialisation; the object does nothing else.
class CommandRegistration {
 public:
  CommandRegistration(std::string name, std::string usage, CommandFunction run);
};

const std::vector<Command>& RegisteredCommands();

}  // namespace ferrowyn::cli
