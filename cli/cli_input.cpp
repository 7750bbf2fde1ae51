// Checked and bounded input of ferrowyn-cli commands.
#include "cli/cli_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ferrowyn::cli {

namespace {

void Complain(const std::string& command, const std::string& path, const std::string& what) {
  std::fprintf(stderr, "ferrowyn-cli %s: \"%s\" %s\n", command.c_str(), path.c_str(), what.c_str());
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "is a directory";
  if (S_ISFIFO(mode)) return "is a FIFO";
  if (S_ISSOCK(mode)) return "is a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device";
  return "is a special file";
}

}  // namespace

bool CheckRegularFile(const std::string& command, const std::string& path, bool may_be_missing) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    const int error = errno;
    struct stat link;
    const bool dangling = error == ENOENT && ::lstat(path.c_str(), &link) == 0;
    if (error == ENOENT && !dangling) {
      if (may_be_missing) return true;
      Complain(command, path, "does not exist");
    } else {
      Complain(command, path,
               std::string("cannot be examined: ") +
                   (dangling ? "a link to nothing" : std::strerror(error)));
    }
    return false;
  }
  if (S_ISREG(st.st_mode)) return true;
  Complain(command, path, std::string(KindOf(st.st_mode)) + ", not a regular file");
  return false;
}

std::optional<std::string> ReadInput(const std::string& command, const std::string& path) {
  const std::string name = path.empty() ? std::string("standard input") : path;
  int fd = STDIN_FILENO;
  if (!path.empty()) {
    // O_NONBLOCK: a file swapped for a FIFO since the check must not hold the open.
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
      Complain(command, name, std::string("cannot be read: ") + std::strerror(errno));
      return std::nullopt;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      Complain(command, name, "is not a regular file");
      return std::nullopt;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  }
  std::string bytes;
  char buffer[65536];
  int error = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    if (bytes.size() + static_cast<std::size_t>(got) > kMaxInputBytes) {
      error = EFBIG;
      break;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  if (fd != STDIN_FILENO) ::close(fd);
  if (error == EFBIG) {
    Complain(command, name,
             "holds more than " + std::to_string(kMaxInputBytes) + " bytes, more than is read");
    return std::nullopt;
  }
  if (error != 0) {
    Complain(command, name, std::string("cannot be read: ") + std::strerror(error));
    return std::nullopt;
  }
  return bytes;
}

}  // namespace ferrowyn::cli
