// Processes, the Windows folder, the user name, message boxes and the clock of the POSIX build.
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <iostream>

#include "adpurge/platform/native.h"
#include "adpurge/platform/platform.h"
#include "adpurge/platform/posix/root.h"

extern char** environ;

namespace adpurge::platform {

struct ProcessAccessor {
  static Process make(pid_t pid) {
    Process process;
    process.value_ = static_cast<std::uintptr_t>(pid);
    process.id_ = static_cast<std::uint32_t>(pid);
    return process;
  }
  static pid_t pid(const Process& process) { return static_cast<pid_t>(process.value_); }
};

namespace {

// Exit status as Windows reports it: the code, or for a process ended by a signal a code with
// the top bit set.
std::uint32_t exit_code(int status) {
  if (WIFEXITED(status)) return static_cast<std::uint32_t>(WEXITSTATUS(status));
  return 0x80000000u | static_cast<std::uint32_t>(WTERMSIG(status));
}

}  // namespace

Process start_process(const std::string& program, const std::vector<std::string>& arguments) {
  const auto native = posix::native_program_path(program);
  if (!native || !unavailable_reason().empty()) return Process();
  const std::string folder = native->substr(0, native->find_last_of('/') + 1);
  std::vector<std::string> all{*native};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = 0;
  const int result = posix_spawn(&pid, native->c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return result == 0 ? ProcessAccessor::make(pid) : Process();
}

void Process::close_handle() {}

std::optional<std::uint32_t> Process::wait(std::uint32_t timeout_ms) {
  if (!valid()) return std::nullopt;
  if (ended_) return exit_code_;
  const pid_t pid = ProcessAccessor::pid(*this);
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (pidfd >= 0) close(pidfd);
      ended_ = true;
      exit_code_ = exit_code(status);
      return exit_code_;
    }
    if (done < 0 && errno != EINTR) break;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long waited =
        (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
    if (timeout_ms != kInfinite && waited >= timeout_ms) break;
    const long long left = timeout_ms == kInfinite ? 1000 : timeout_ms - waited;
    if (pidfd >= 0) {
      pollfd ready{pidfd, POLLIN, 0};
      poll(&ready, 1, static_cast<int>(left < 1000 ? left : 1000));
    } else {
      usleep(static_cast<useconds_t>((left < 10 ? left : 10) * 1000));
    }
  }
  if (pidfd >= 0) close(pidfd);
  return std::nullopt;
}

bool Process::kill() {
  if (!valid() || ended_) return false;
  return ::kill(ProcessAccessor::pid(*this), SIGKILL) == 0;
}

std::string current_program() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

std::uint32_t current_process_id() { return static_cast<std::uint32_t>(getpid()); }

std::string windows_folder() { return "C:\\Windows"; }

std::optional<std::string> user_name() {
  if (const passwd* user = getpwuid(geteuid()); user != nullptr && user->pw_name[0] != '\0')
    return std::string(user->pw_name);
  return std::nullopt;
}

void show_error(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
}

bool ask_yes_no(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  // Without a terminal nobody can answer: No leaves everything in place.
  if (!isatty(STDIN_FILENO)) {
    std::fprintf(stderr, "(no terminal to answer on: No)\n");
    return false;
  }
  std::fprintf(stderr, "[y/N] ");
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

namespace native {

std::uint32_t tick_count() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000 +
                                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000);
}

void sleep_ms(std::uint32_t ms) {
  timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace native
}  // namespace adpurge::platform
