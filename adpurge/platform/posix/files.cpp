// Files and folders of the POSIX build. Windows' sharing modes are kept across processes in
// the shared object table (one entry per open file, by device and inode), and the read-only
// attribute is the owner's write permission, refused here even to root as Windows refuses it.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "adpurge/platform/platform.h"
#include "adpurge/platform/posix/root.h"
#include "adpurge/platform/posix/shared_table.h"

namespace adpurge::platform {

using posix::Object;
using posix::TableLock;

struct FileAccessor {
  static File make(int fd, std::uintptr_t share) {
    File file;
    file.value_ = static_cast<std::uintptr_t>(fd) + 1;
    file.extra_ = share;
    return file;
  }
  static int fd(const File& file) { return static_cast<int>(file.value_ & 0xFFFFFFFFu) - 1; }
  static void mark_failed(File& file) { file.value_ |= std::uintptr_t{1} << 32; }
  static bool failed(const File& file) { return (file.value_ >> 32) != 0; }
  static std::uintptr_t share(const File& file) { return file.extra_; }
  static void clear(File& file) {
    file.value_ = 0;
    file.extra_ = 0;
  }
};

namespace {

constexpr std::uint32_t kDeleteKind = 2;

// The share entry of a File: the object's handle value with the open mode in bits 16-31.
std::uintptr_t pack_share(std::uintptr_t handle, std::uint32_t mode) {
  return (handle & ~std::uintptr_t{0xFFFF0000u}) | (static_cast<std::uintptr_t>(mode) << 16);
}

FileError from_errno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileError::kNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return FileError::kAccessDenied;
    case EEXIST:
      return FileError::kExists;
    default:
      return FileError::kOther;
  }
}

Object* find_open_file(posix::Table& table, const struct stat& info) {
  for (Object& object : table.objects)
    if (object.type == posix::kOpenFile && object.device == info.st_dev &&
        object.inode == info.st_ino)
      return &object;
  return nullptr;
}

// Whether one more handle with `access` and `share` fits the handles open on the file now.
bool shares_with(const Object& object, std::uint32_t access, std::uint32_t share) {
  for (std::uint32_t kind = 0; kind < 3; ++kind) {
    const bool wants = (access >> kind) & 1;
    const bool allows = (share >> kind) & 1;
    if (wants && object.denying[kind] > 0) return false;
    if (!allows && object.using_access[kind] > 0) return false;
  }
  return true;
}

bool read_only(const struct stat& info) {
  return !S_ISLNK(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

// Whether a file's name may go (delete, move away, replace): nobody refuses to share delete.
FileError may_remove(posix::Table& table, const struct stat& info) {
  const Object* open = find_open_file(table, info);
  return open != nullptr && open->denying[kDeleteKind] > 0 ? FileError::kSharingViolation
                                                           : FileError::kNone;
}

}  // namespace

namespace {

Opened open_native(const std::optional<std::string>& native, std::uint32_t access,
                   std::uint32_t share, Disposition disposition, bool write_through) {
  Opened result;
  if (!native) {
    result.error = FileError::kNotFound;
    return result;
  }
  struct stat before {};
  const bool existed = stat(native->c_str(), &before) == 0;
  if (existed && S_ISDIR(before.st_mode)) {
    result.error = FileError::kAccessDenied;
    return result;
  }
  if (existed && disposition == Disposition::kCreateNew) {
    result.error = FileError::kExists;
    return result;
  }
  if (!existed && disposition == Disposition::kOpenExisting) {
    result.error = FileError::kNotFound;
    return result;
  }
  const bool writes = (access & kWrite) || disposition == Disposition::kCreateAlways;
  if (existed && writes && read_only(before)) {
    result.error = FileError::kAccessDenied;
    return result;
  }
  int flags = O_CLOEXEC | (write_through ? O_DSYNC : 0);
  if ((access & kRead) && (access & kWrite)) {
    flags |= O_RDWR;
  } else if (access & kWrite) {
    flags |= O_WRONLY;
  } else {
    flags |= O_RDONLY;
  }
  if (disposition != Disposition::kOpenExisting) flags |= O_CREAT;
  if (disposition == Disposition::kCreateNew) flags |= O_EXCL;
  const int fd = open(native->c_str(), flags, 0666);
  if (fd < 0) {
    result.error = from_errno(errno);
    return result;
  }
  struct stat info {};
  const std::uint32_t mode = (access & (kRead | kWrite)) | ((share & 7) << 8);
  TableLock lock;
  if (lock.table() == nullptr || fstat(fd, &info) != 0) {
    close(fd);
    result.error = FileError::kOther;
    return result;
  }
  posix::reap_dead(*lock.table());
  Object* object = find_open_file(*lock.table(), info);
  if (object != nullptr && !shares_with(*object, access, share)) {
    close(fd);
    result.error = FileError::kSharingViolation;
    return result;
  }
  bool made = false;
  if (object == nullptr) {
    object = posix::new_object(*lock.table(), posix::kOpenFile, std::string());
    if (object == nullptr) {
      close(fd);
      result.error = FileError::kOther;
      return result;
    }
    object->device = info.st_dev;
    object->inode = info.st_ino;
    made = true;
  }
  if (!posix::add_handle(*lock.table(), *object, mode)) {
    if (made) object->type = posix::kFree;
    close(fd);
    result.error = FileError::kOther;
    return result;
  }
  // Emptying waits for the sharing check: a file others may not share is left as it is.
  if (disposition == Disposition::kCreateAlways && ftruncate(fd, 0) != 0) {
    posix::drop_handle(*lock.table(), *object, mode);
    close(fd);
    result.error = from_errno(errno);
    return result;
  }
  result.file =
      FileAccessor::make(fd, pack_share(posix::handle_value(*lock.table(), *object), mode));
  return result;
}

}  // namespace

Opened open_file(const std::string& path, std::uint32_t access, std::uint32_t share,
                 Disposition disposition, bool write_through) {
  return open_native(posix::native_path(path), access, share, disposition, write_through);
}

std::optional<std::size_t> File::read_at(std::uint64_t offset, void* buffer, std::size_t length) {
  if (!valid()) return std::nullopt;
  std::size_t done = 0;
  while (done < length) {
    const ssize_t got = pread(FileAccessor::fd(*this), static_cast<char*>(buffer) + done,
                              length - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool File::write_at(std::uint64_t offset, const void* buffer, std::size_t length) {
  if (!valid()) return false;
  std::size_t done = 0;
  while (done < length) {
    const ssize_t put = pwrite(FileAccessor::fd(*this), static_cast<const char*>(buffer) + done,
                               length - done, static_cast<off_t>(offset + done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      FileAccessor::mark_failed(*this);
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

std::optional<std::uint64_t> File::size() {
  struct stat info {};
  if (!valid() || fstat(FileAccessor::fd(*this), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

bool File::truncate(std::uint64_t length) {
  if (!valid()) return false;
  if (ftruncate(FileAccessor::fd(*this), static_cast<off_t>(length)) == 0) return true;
  FileAccessor::mark_failed(*this);
  return false;
}

bool File::close() {
  if (!valid()) return false;
  const std::uintptr_t share = FileAccessor::share(*this);
  {
    TableLock lock;
    if (lock.table() != nullptr) {
      const std::uint32_t mode = static_cast<std::uint32_t>((share >> 16) & 0xFFFF);
      if (Object* object = posix::object_of(*lock.table(), pack_share(share, 0))) {
        posix::drop_handle(*lock.table(), *object, mode);
        lock.changed();
      }
    }
  }
  bool ok = !FileAccessor::failed(*this);
  if (::close(FileAccessor::fd(*this)) != 0) ok = false;
  FileAccessor::clear(*this);
  return ok;
}

bool file_exists(const std::string& path) {
  const auto native = posix::native_path(path);
  struct stat info {};
  return native && stat(native->c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool folder_exists(const std::string& path) {
  const auto native = posix::native_path(path);
  struct stat info {};
  return native && stat(native->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FileError delete_file(const std::string& path) {
  const auto native = posix::native_path(path);
  if (!native) return FileError::kNotFound;
  struct stat info {};
  if (lstat(native->c_str(), &info) != 0) return from_errno(errno);
  if (S_ISDIR(info.st_mode)) return FileError::kAccessDenied;
  if (read_only(info)) return FileError::kAccessDenied;
  TableLock lock;
  if (lock.table() == nullptr) return FileError::kOther;
  posix::reap_dead(*lock.table());
  if (const FileError refused = may_remove(*lock.table(), info); refused != FileError::kNone)
    return refused;
  return unlink(native->c_str()) == 0 ? FileError::kNone : from_errno(errno);
}

FileError move_file(const std::string& from, const std::string& to) {
  const auto source = posix::native_path(from);
  const auto target = posix::native_path(to);
  if (!source || !target) return FileError::kNotFound;
  struct stat from_info {
  }, to_info{};
  if (lstat(source->c_str(), &from_info) != 0) return from_errno(errno);
  const bool replaces = lstat(target->c_str(), &to_info) == 0;
  if (replaces && (S_ISDIR(to_info.st_mode) || read_only(to_info))) return FileError::kAccessDenied;
  TableLock lock;
  if (lock.table() == nullptr) return FileError::kOther;
  posix::reap_dead(*lock.table());
  if (const FileError refused = may_remove(*lock.table(), from_info); refused != FileError::kNone)
    return refused;
  if (replaces) {
    if (const FileError refused = may_remove(*lock.table(), to_info); refused != FileError::kNone)
      return refused;
  }
  return rename(source->c_str(), target->c_str()) == 0 ? FileError::kNone : from_errno(errno);
}

FileError copy_file(const std::string& from, const std::string& to) {
  const auto source_path = posix::native_program_path(from);
  Opened source = open_native(source_path, kRead, kShareRead, Disposition::kOpenExisting, false);
  if (source.error != FileError::kNone) return source.error;
  Opened target = open_file(to, kWrite, kShareNone, Disposition::kCreateAlways);
  if (target.error != FileError::kNone) return target.error;
  std::vector<char> buffer(1 << 16);
  std::uint64_t offset = 0;
  for (;;) {
    const auto got = source.file.read_at(offset, buffer.data(), buffer.size());
    if (!got) return FileError::kOther;
    if (*got == 0) break;
    if (!target.file.write_at(offset, buffer.data(), *got)) return FileError::kOther;
    offset += *got;
  }
  if (!target.file.close()) return FileError::kOther;
  // CopyFile carries the attributes over, read-only among them; here the permissions are the
  // attributes, so a copied program can also be started.
  struct stat info {};
  const auto target_path = posix::native_path(to);
  if (source_path && target_path && stat(source_path->c_str(), &info) == 0)
    chmod(target_path->c_str(), info.st_mode & 07777);
  return FileError::kNone;
}

bool set_attributes_normal(const std::string& path) {
  const auto native = posix::native_path(path);
  struct stat info {};
  if (!native || lstat(native->c_str(), &info) != 0) return false;
  // A link's own attributes are all it has; its target is never touched through it.
  if (S_ISLNK(info.st_mode)) return true;
  return chmod(native->c_str(), (info.st_mode & 07777) | S_IWUSR) == 0;
}

bool set_read_only(const std::string& path) {
  const auto native = posix::native_path(path);
  struct stat info {};
  if (!native || lstat(native->c_str(), &info) != 0 || S_ISLNK(info.st_mode)) return false;
  return chmod(native->c_str(), (info.st_mode & 07777) & ~(S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool is_read_only(const std::string& path) {
  const auto native = posix::native_path(path);
  struct stat info {};
  return native && lstat(native->c_str(), &info) == 0 && read_only(info);
}

bool create_folder(const std::string& path) {
  const auto native = posix::native_path(path);
  if (!native) return false;
  if (mkdir(native->c_str(), 0777) == 0) return true;
  return errno == EEXIST && folder_exists(path);
}

FileError remove_folder(const std::string& path) {
  const auto native = posix::native_path(path);
  if (!native) return FileError::kNotFound;
  struct stat info {};
  if (lstat(native->c_str(), &info) != 0) return from_errno(errno);
  if (S_ISLNK(info.st_mode))
    return unlink(native->c_str()) == 0 ? FileError::kNone : from_errno(errno);
  if (!S_ISDIR(info.st_mode)) return FileError::kOther;
  if (read_only(info)) return FileError::kAccessDenied;
  return rmdir(native->c_str()) == 0 ? FileError::kNone : from_errno(errno);
}

std::optional<std::vector<FolderEntry>> list_folder(const std::string& path) {
  const auto native = posix::native_path(path);
  if (!native) return std::nullopt;
  DIR* folder = opendir(native->c_str());
  if (folder == nullptr) return std::nullopt;
  std::vector<FolderEntry> found;
  while (dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string full = *native + "/" + name;
    struct stat own {
    }, target{};
    if (lstat(full.c_str(), &own) != 0) continue;
    FolderEntry item;
    item.name = name;
    item.is_link = S_ISLNK(own.st_mode);
    item.is_folder = item.is_link ? stat(full.c_str(), &target) == 0 && S_ISDIR(target.st_mode)
                                  : S_ISDIR(own.st_mode);
    found.push_back(std::move(item));
  }
  closedir(folder);
  std::sort(found.begin(), found.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return found;
}

bool create_folder_link(const std::string& link, const std::string& target) {
  const auto native_link = posix::native_path(link);
  const auto native_target = posix::native_path(target);
  return native_link && native_target && folder_exists(target) &&
         symlink(native_target->c_str(), native_link->c_str()) == 0;
}

std::optional<std::string> create_temp_file(const std::string& folder) {
  const auto native = posix::native_path(folder);
  if (!native) return std::nullopt;
  for (std::uint32_t attempt = 0; attempt < 0x10000; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "adp%04X.tmp",
                  static_cast<unsigned>((getpid() + attempt) & 0xFFFF));
    const int fd =
        open((*native + "/" + name).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      return full_path(folder) + "\\" + name;
    }
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace adpurge::platform
