// Private scratch directories and the removal of those whose process is gone.
#include "app/private_directory.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

namespace ferrowyn {

namespace fs = std::filesystem;

namespace {

// The pid in "PREFIX-PID-..."; nullopt for any other name.
std::optional<pid_t> OwnerOf(const std::string& name, const std::string& prefix) {
  const std::string head = prefix + "-";
  if (!name.starts_with(head)) return std::nullopt;
  long long pid = 0;
  std::size_t at = head.size();
  for (; at < name.size() && name[at] >= '0' && name[at] <= '9'; ++at) {
    pid = pid * 10 + (name[at] - '0');
    if (pid > 0x7fffffff) return std::nullopt;
  }
  if (at == head.size() || at == name.size() || name[at] != '-' || pid <= 0) return std::nullopt;
  return static_cast<pid_t>(pid);
}

bool ProcessIsGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

std::string MakePrivateDirectory(const std::string& parent, const std::string& prefix) {
  std::string pattern =
      (fs::path(parent) / (prefix + "-" + std::to_string(::getpid()) + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) throw std::system_error(errno, std::generic_category(), pattern);
  return pattern;
}

void RemoveStalePrivateDirectories(const std::string& parent, const std::string& prefix) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(parent, error)) {
    const std::string name = entry.path().filename().string();
    const std::optional<pid_t> pid = OwnerOf(name, prefix);
    if (!pid || *pid == ::getpid()) continue;
    struct stat st;
    if (::lstat(entry.path().c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    if (st.st_uid != ::geteuid() || !ProcessIsGone(*pid)) continue;
    std::error_code ignored;
    fs::remove_all(entry.path(), ignored);
  }
}

OwnedDirectory& OwnedDirectory::operator=(OwnedDirectory&& other) noexcept {
  if (this != &other) {
    Remove();
    path_ = std::move(other.path_);
    other.path_.clear();
  }
  return *this;
}

void OwnedDirectory::Remove() noexcept {
  if (path_.empty()) return;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
  path_.clear();
}

}  // namespace ferrowyn
