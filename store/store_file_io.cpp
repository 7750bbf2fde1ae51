// POSIX file operations of the record store (see store_file_io.h).
#include "store/store_file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <vector>

#include "store/qdb_errors.h"
#include "store/qdb_format.h"

namespace ferrowyn::qdb_io {

namespace {

[[noreturn]] void Fail(std::string_view store) { throw QDBFileError(errno, store); }

[[noreturn]] void FailNotRegular(std::string_view store) {
  throw EQDBFileError(QDBMessage(qdb_text::kInvalidFile, store));
}

FileHandle Open(const std::string& path, int flags, std::string_view store) {
  int fd;
  // Without O_NONBLOCK a FIFO would hold the open until a writer came.
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) Fail(store);
  FileHandle file(fd);
  struct stat st;
  if (::fstat(fd, &st) != 0) Fail(store);
  if (!S_ISREG(st.st_mode)) FailNotRegular(store);
  const int status = ::fcntl(fd, F_GETFL);
  if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) Fail(store);
  return file;
}

}  // namespace

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.Release();
  }
  return *this;
}

void FileHandle::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void FileHandle::CloseChecked(std::string_view store) {
  const int fd = Release();
  // After a failed close the descriptor is gone all the same; it is not closed twice.
  if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) Fail(store);
}

FileHandle OpenForReading(const std::string& path, std::string_view store) {
  return Open(path, O_RDONLY, store);
}

FileHandle OpenForAppending(const std::string& path, std::string_view store) {
  return Open(path, O_WRONLY | O_APPEND, store);
}

FileHandle OpenForReadWrite(const std::string& path, std::string_view store) {
  return Open(path, O_RDWR, store);
}

void CreateFileWith(const std::string& path, std::string_view bytes, std::string_view store) {
  FileHandle file = Open(path, O_WRONLY | O_CREAT | O_EXCL, store);
  WriteAll(file.fd(), bytes, store);
  file.CloseChecked(store);
}

TempFile MakeUniqueFile(const std::string& dir, std::string_view prefix, std::string_view store) {
  std::string pattern = (std::filesystem::path(dir) / std::string(prefix)).string() + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) Fail(store);
  return TempFile{std::string(name.data()), FileHandle(fd)};
}

bool ReadExact(int fd, char* to, std::size_t n, std::string_view store) {
  while (n > 0) {
    const ssize_t got = ::read(fd, to, n);
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail(store);
    }
    if (got == 0) return false;
    to += got;
    n -= static_cast<std::size_t>(got);
  }
  return true;
}

bool ReadAt(int fd, std::int64_t offset, char* to, std::size_t n, std::string_view store) {
  while (n > 0) {
    const ssize_t got = ::pread(fd, to, n, static_cast<off_t>(offset));
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail(store);
    }
    if (got == 0) return false;
    to += got;
    offset += got;
    n -= static_cast<std::size_t>(got);
  }
  return true;
}

void WriteAll(int fd, std::string_view bytes, std::string_view store) {
  const char* from = bytes.data();
  std::size_t n = bytes.size();
  while (n > 0) {
    const ssize_t put = ::write(fd, from, n);
    if (put < 0) {
      if (errno == EINTR) continue;
      Fail(store);
    }
    from += put;
    n -= static_cast<std::size_t>(put);
  }
}

void WriteAt(int fd, std::int64_t offset, std::string_view bytes, std::string_view store) {
  const char* from = bytes.data();
  std::size_t n = bytes.size();
  while (n > 0) {
    const ssize_t put = ::pwrite(fd, from, n, static_cast<off_t>(offset));
    if (put < 0) {
      if (errno == EINTR) continue;
      Fail(store);
    }
    from += put;
    offset += put;
    n -= static_cast<std::size_t>(put);
  }
}

bool CopyBytes(int from, std::optional<std::int64_t> from_offset, std::int64_t n, int to,
               std::string_view store) {
  std::size_t size = static_cast<std::size_t>(
      std::clamp<std::int64_t>(n, qdb::kMinCopyBuffer, qdb::kMaxCopyBuffer));
  std::unique_ptr<char[]> buffer;
  // Halve the buffer while memory cannot be had.
  while (!buffer) {
    buffer.reset(new (std::nothrow) char[size]);
    if (!buffer) {
      if (size <= qdb::kMinCopyBuffer / 2) throw std::bad_alloc();
      size /= 2;
    }
  }
  while (n > 0) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::int64_t>(n, size));
    const bool got = from_offset ? ReadAt(from, *from_offset, buffer.get(), chunk, store)
                                 : ReadExact(from, buffer.get(), chunk, store);
    if (!got) return false;
    WriteAll(to, std::string_view(buffer.get(), chunk), store);
    if (from_offset) *from_offset += static_cast<std::int64_t>(chunk);
    n -= static_cast<std::int64_t>(chunk);
  }
  return true;
}

std::int64_t FileSize(int fd, std::string_view store) {
  struct stat st;
  if (::fstat(fd, &st) != 0) Fail(store);
  return st.st_size;
}

void Truncate(int fd, std::int64_t size, std::string_view store) {
  if (::ftruncate(fd, static_cast<off_t>(size)) != 0) Fail(store);
}

void SyncToDisk(int fd, std::string_view store) {
  if (::fsync(fd) != 0) Fail(store);
}

std::optional<std::int64_t> ModificationTime(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool HasReadOnlyAttribute(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

ReplacementTarget ResolveReplacementTarget(const std::string& path) {
  ReplacementTarget target{path};
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) target.error = errno;
    return target;
  }
  if (S_ISREG(st.st_mode)) return target;
  if (!S_ISLNK(st.st_mode)) {
    target.refused = true;
    return target;
  }
  if (::stat(path.c_str(), &st) != 0) {
    // A link to nothing would make a file wherever it points; refuse it like a loop.
    if (errno == ENOENT) {
      target.refused = true;
    } else {
      target.error = errno;
    }
    return target;
  }
  if (!S_ISREG(st.st_mode)) {
    target.refused = true;
    return target;
  }
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  if (!resolved) {
    target.error = errno;
    return target;
  }
  target.path = resolved.get();
  return target;
}

bool StillReplaceable(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

void RenameOver(const std::string& from, const std::string& to, std::string_view store) {
  if (!MoveOver(from, to, store)) Fail(store);
}

bool MoveOver(const std::string& from, const std::string& to, std::string_view store) {
  if (!StillReplaceable(to)) FailNotRegular(store);
  if (::rename(from.c_str(), to.c_str()) != 0) {
    if (errno == EXDEV) return false;
    Fail(store);
  }
  // The rename is only durable once the directory entry is on disk; a
  // directory that cannot be opened or synced leaves that to the system.
  const std::string dir = std::filesystem::path(to).parent_path().string();
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  return true;
}

}  // namespace ferrowyn::qdb_io
