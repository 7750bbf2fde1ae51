// Root folder and path mapping of the POSIX build.
#include "adpurge/platform/posix/root.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "adpurge/platform/platform.h"

namespace adpurge::platform {

namespace posix {

const std::string& root() {
  static const std::string value = [] {
    const char* given = std::getenv("ADPURGE_ROOT");
    if (given == nullptr || *given == '\0') return std::string();
    char resolved[PATH_MAX];
    struct stat info {};
    if (realpath(given, resolved) == nullptr || stat(resolved, &info) != 0 ||
        !S_ISDIR(info.st_mode))
      return std::string();
    return std::string(resolved);
  }();
  return value;
}

std::optional<std::string> native_path(const std::string& windows_path) {
  if (root().empty()) return std::nullopt;
  const std::string full = full_path(windows_path);
  // full_path gives "X:\..." for every path on a drive; anything else (UNC) has no place here.
  if (full.size() < 3 || full[1] != ':' || full[2] != '\\') return std::nullopt;
  const char drive = full[0];
  if (!((drive >= 'a' && drive <= 'z') || (drive >= 'A' && drive <= 'Z'))) return std::nullopt;
  std::string native = root() + "/" + static_cast<char>(drive | 0x20);
  // Every drive is there on Windows, so its folder is made when first needed.
  mkdir(native.c_str(), 0777);
  for (std::size_t i = 2; i < full.size(); ++i) {
    const char c = full[i];
    // A "/" inside a name would reach into another folder; a NUL would end the name early.
    if (c == '\0') return std::nullopt;
    native += c == '\\' ? '/' : c;
  }
  while (native.size() > root().size() + 2 && native.back() == '/') native.pop_back();
  return native;
}

std::optional<std::string> native_program_path(const std::string& program) {
  if (!program.empty() && program[0] == '/' && program.find('\\') == std::string::npos)
    return program;
  return native_path(program);
}

}  // namespace posix

std::string unavailable_reason() {
  if (posix::root().empty()) {
    const char* given = std::getenv("ADPURGE_ROOT");
    if (given == nullptr || *given == '\0')
      return "ADPURGE_ROOT is not set, so there is no Windows layout to work on; "
             "nothing was changed.";
    return "ADPURGE_ROOT (" + std::string(given) +
           ") is not an existing folder; nothing was changed.";
  }
  return std::string();
}

// As GetFullPathName: "/" is "\", "." and ".." are resolved lexically, a path without a drive
// is taken on drive C: (the current folder of this build is "C:\").
std::string full_path(const std::string& path) {
  std::string p = path;
  for (char& c : p)
    if (c == '/') c = '\\';
  if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') return p;  // UNC: left as it is
  std::string drive = "C:";
  std::string rest = p;
  if (p.size() >= 2 && p[1] == ':') {
    drive = p.substr(0, 2);
    rest = p.substr(2);
  }
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    const std::string part = rest.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string full = drive + "\\";
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) full += '\\';
    full += parts[i];
  }
  if (!parts.empty() && !rest.empty() && rest.back() == '\\') full += '\\';
  return full;
}

}  // namespace adpurge::platform
