// The file operations of the record store over POSIX descriptors: exact reads
// and writes, unique temporary files, section copies through one bounded
// buffer, time stamps, and the atomic replacement of a store file. Failures
// are raised as EQDBFileError naming the store (see QDBFileError).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ferrowyn::qdb_io {

// Owns one open descriptor.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(FileHandle&& other) noexcept : fd_(other.Release()) {}
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }

  int fd() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Close();
  // Closes and reports what the system reports: a write-back error may show only here.
  // Throws EQDBFileError naming `store`.
  void CloseChecked(std::string_view store);

 private:
  int fd_ = -1;
};

// Every path here is a plain file system path; `store` is the name that failure texts carry.
// Opening refuses anything but a regular file (a FIFO would block, a device never end) with
// the "not a valid QDB file" text, without waiting for a FIFO's other end.
FileHandle OpenForReading(const std::string& path, std::string_view store);
FileHandle OpenForAppending(const std::string& path, std::string_view store);
FileHandle OpenForReadWrite(const std::string& path, std::string_view store);

// Creates a new file with exactly these bytes; fails when it exists.
void CreateFileWith(const std::string& path, std::string_view bytes, std::string_view store);

// A new, empty file whose name is `prefix` and six unique characters, in `dir`.
struct TempFile {
  std::string path;
  FileHandle handle;
};
TempFile MakeUniqueFile(const std::string& dir, std::string_view prefix, std::string_view store);

// Reads exactly n bytes at the current offset; false when the file ends first.
bool ReadExact(int fd, char* to, std::size_t n, std::string_view store);
// Reads exactly n bytes at `offset`; false when the file ends first.
bool ReadAt(int fd, std::int64_t offset, char* to, std::size_t n, std::string_view store);

void WriteAll(int fd, std::string_view bytes, std::string_view store);
void WriteAt(int fd, std::int64_t offset, std::string_view bytes, std::string_view store);

// Copies n bytes from `from` (at its current offset, or at `from_offset` when
// given) to `to`, through one buffer of n held to 1,024 .. 524,288 bytes.
// Returns false when `from` ends first.
bool CopyBytes(int from, std::optional<std::int64_t> from_offset, std::int64_t n, int to,
               std::string_view store);

std::int64_t FileSize(int fd, std::string_view store);
void Truncate(int fd, std::int64_t size, std::string_view store);
void SyncToDisk(int fd, std::string_view store);

// Modification time in nanoseconds since the epoch; nullopt when the file is missing.
std::optional<std::int64_t> ModificationTime(const std::string& path);
// True when the file exists and its owner may not write it.
bool HasReadOnlyAttribute(const std::string& path);
bool Exists(const std::string& path);

// Where a whole-file replacement of `path` puts its new file. Only a regular file is
// replaced, or the regular file a symbolic link leads to (the link stays); where nothing is,
// the file is made. Anything else there (a directory, FIFO, socket or device, a link loop, a
// link to nothing) is refused: a replacement must never rename a file over a device node.
struct ReplacementTarget {
  std::string path;      // the name to rename the new file over
  int error = 0;         // errno when `path` could not be examined
  bool refused = false;  // something other than a regular file is there
  bool usable() const { return error == 0 && !refused; }
};
ReplacementTarget ResolveReplacementTarget(const std::string& path);
// True when nothing or a regular file is at `path` (a resolved target), checked again just
// before the rename: what was resolved may have been swapped since.
bool StillReplaceable(const std::string& path);

// Renames `from` over `to` (a path from ResolveReplacementTarget) and makes the rename
// durable by syncing the directory. Refuses, as "not a valid QDB file", a `to` that has
// become something other than a regular file since it was resolved.
void RenameOver(const std::string& from, const std::string& to, std::string_view store);
// RenameOver, but false (and nothing done) when `from` and `to` lie on different file systems.
bool MoveOver(const std::string& from, const std::string& to, std::string_view store);

}  // namespace ferrowyn::qdb_io
