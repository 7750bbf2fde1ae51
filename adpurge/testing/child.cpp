// Child routines, the scratch folder and unique names of adpurge's test runs.
#include "adpurge/testing/child.h"

#include <cstdlib>
#include <cstring>
#include <map>

namespace adpurge::testing {
namespace {

constexpr const char* kChildFlag = "--adpurge-child";
constexpr const char* kRunVariable = "ADPURGE_TEST_RUN";
constexpr const char* kScratchVariable = "ADPURGE_TEST_SCRATCH";

std::map<std::string, ChildMain>& routines() {
  static std::map<std::string, ChildMain> table;
  return table;
}

void set_variable(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

std::string run_id() {
  const char* id = std::getenv(kRunVariable);
  if (id != nullptr && *id != '\0') return id;
  const std::string mine = std::to_string(platform::current_process_id());
  set_variable(kRunVariable, mine);
  return mine;
}

}  // namespace

bool register_child(const char* name, ChildMain routine) {
  routines()[name] = routine;
  return true;
}

platform::Process start_child(const std::string& name, const std::vector<std::string>& args) {
  run_id();
  scratch_folder();  // so that the child inherits the same one
  std::vector<std::string> all{kChildFlag, name};
  all.insert(all.end(), args.begin(), args.end());
  return platform::start_process(platform::current_program(), all);
}

std::uint32_t wait_child(platform::Process& child) {
  if (auto code = child.wait(120000)) return *code;
  child.kill();
  child.wait(120000);
  return 0xFFFFFFFF;
}

std::string scratch_folder() {
  if (const char* given = std::getenv(kScratchVariable); given != nullptr && *given != '\0')
    return given;
  std::string base = "C:\\Temp";
#ifdef _WIN32
  if (const char* temp = std::getenv("TEMP"); temp != nullptr && *temp != '\0') base = temp;
#endif
  platform::create_folder(base);
  const std::string folder = base + "\\adpurge-test-" + run_id();
  platform::create_folder(folder);
  set_variable(kScratchVariable, folder);
  return folder;
}

std::string fresh_folder(const std::string& stem) {
  static int made = 0;
  const std::string folder = scratch_folder() + "\\" + stem + "-" + std::to_string(++made);
  platform::create_folder(folder);
  return folder;
}

std::string unique_name(const std::string& stem) { return "adpurge-test-" + run_id() + "-" + stem; }

std::optional<int> run_child_if_asked(int argc, char** argv) {
  if (argc < 3 || std::strcmp(argv[1], kChildFlag) != 0) return std::nullopt;
  const auto found = routines().find(argv[2]);
  if (found == routines().end()) return 125;
  return found->second(std::vector<std::string>(argv + 3, argv + argc));
}

}  // namespace adpurge::testing
