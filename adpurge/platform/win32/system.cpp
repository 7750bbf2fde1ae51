// Processes, the Windows folder, the user name, message boxes and the clock of the Windows
// build.
#include <windows.h>

#include "adpurge/platform/native.h"
#include "adpurge/platform/platform.h"

namespace adpurge::platform {

struct ProcessAccessor {
  static Process make(HANDLE handle, DWORD id) {
    Process process;
    process.value_ = reinterpret_cast<std::uintptr_t>(handle);
    process.id_ = id;
    return process;
  }
  static HANDLE handle(const Process& process) { return reinterpret_cast<HANDLE>(process.value_); }
};

std::string unavailable_reason() { return std::string(); }

namespace {

// One argument as the C runtime's command line parser reads it back.
std::string quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string result = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    result.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    result += c;
  }
  result.append(2 * backslashes, '\\');
  return result + "\"";
}

}  // namespace

Process start_process(const std::string& program, const std::vector<std::string>& arguments) {
  std::string command = quoted(program);
  for (const std::string& argument : arguments) command += " " + quoted(argument);
  const std::size_t slash = program.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : program.substr(0, slash);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &started))
    return Process();
  CloseHandle(started.hThread);
  return ProcessAccessor::make(started.hProcess, started.dwProcessId);
}

void Process::close_handle() {
  if (value_ != 0) CloseHandle(ProcessAccessor::handle(*this));
}

std::optional<std::uint32_t> Process::wait(std::uint32_t timeout_ms) {
  if (!valid()) return std::nullopt;
  if (ended_) return exit_code_;
  DWORD code = 0;
  if (WaitForSingleObject(ProcessAccessor::handle(*this), timeout_ms) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(ProcessAccessor::handle(*this), &code))
    return std::nullopt;
  ended_ = true;
  exit_code_ = code;
  return exit_code_;
}

bool Process::kill() {
  return valid() && !ended_ && TerminateProcess(ProcessAccessor::handle(*this), 1);
}

std::string current_program() {
  char path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

std::uint32_t current_process_id() { return GetCurrentProcessId(); }

std::string windows_folder() {
  char path[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(path, sizeof path);
  return length > 0 && length < sizeof path ? std::string(path, length) : "C:\\Windows";
}

std::optional<std::string> user_name() {
  char name[257];
  DWORD length = sizeof name;
  if (!GetUserNameA(name, &length) || length <= 1) return std::nullopt;
  return std::string(name, length - 1);
}

void show_error(const std::string& caption, const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool ask_yes_no(const std::string& caption, const std::string& text) {
  return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

namespace native {

std::uint32_t tick_count() { return GetTickCount(); }
void sleep_ms(std::uint32_t ms) { Sleep(ms); }

}  // namespace native
}  // namespace adpurge::platform
