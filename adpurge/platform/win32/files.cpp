// Files and folders of the Windows build.
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "adpurge/platform/platform.h"

namespace adpurge::platform {

struct FileAccessor {
  static File make(HANDLE handle) {
    File file;
    file.value_ = reinterpret_cast<std::uintptr_t>(handle);
    return file;
  }
  static HANDLE handle(const File& file) { return reinterpret_cast<HANDLE>(file.value_); }
  static void mark_failed(File& file) { file.extra_ = 1; }
  static bool failed(const File& file) { return file.extra_ != 0; }
  static void clear(File& file) {
    file.value_ = 0;
    file.extra_ = 0;
  }
};

namespace {

FileError last_error() {
  switch (GetLastError()) {
    case ERROR_SUCCESS:
      return FileError::kNone;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return FileError::kNotFound;
    case ERROR_ACCESS_DENIED:
      return FileError::kAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileError::kSharingViolation;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return FileError::kExists;
    default:
      return FileError::kOther;
  }
}

FileError outcome(BOOL ok) { return ok ? FileError::kNone : last_error(); }

DWORD attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

OVERLAPPED at(std::uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

}  // namespace

Opened open_file(const std::string& path, std::uint32_t access, std::uint32_t share,
                 Disposition disposition, bool write_through) {
  DWORD desired = 0;
  if (access & kRead) desired |= GENERIC_READ;
  if (access & kWrite) desired |= GENERIC_WRITE;
  DWORD sharing = 0;
  if (share & kShareRead) sharing |= FILE_SHARE_READ;
  if (share & kShareWrite) sharing |= FILE_SHARE_WRITE;
  if (share & kShareDelete) sharing |= FILE_SHARE_DELETE;
  DWORD how = OPEN_EXISTING;
  switch (disposition) {
    case Disposition::kOpenExisting:
      how = OPEN_EXISTING;
      break;
    case Disposition::kCreateNew:
      how = CREATE_NEW;
      break;
    case Disposition::kCreateAlways:
      how = CREATE_ALWAYS;
      break;
    case Disposition::kOpenAlways:
      how = OPEN_ALWAYS;
      break;
  }
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | (write_through ? FILE_FLAG_WRITE_THROUGH : 0);
  Opened result;
  // Windows refuses to write to a read-only file; Wine running as root lets it through, so
  // the attribute is checked here as well.
  const DWORD found = attributes(path);
  if (found != INVALID_FILE_ATTRIBUTES && (found & FILE_ATTRIBUTE_READONLY) &&
      ((access & kWrite) || disposition == Disposition::kCreateAlways)) {
    result.error = FileError::kAccessDenied;
    return result;
  }
  HANDLE handle = CreateFileA(path.c_str(), desired, sharing, nullptr, how, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    result.error = last_error();
    if (result.error == FileError::kNone) result.error = FileError::kOther;
    return result;
  }
  result.file = FileAccessor::make(handle);
  return result;
}

std::optional<std::size_t> File::read_at(std::uint64_t offset, void* buffer, std::size_t length) {
  if (!valid()) return std::nullopt;
  std::size_t done = 0;
  while (done < length) {
    OVERLAPPED position = at(offset + done);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(FileAccessor::handle(*this), static_cast<char*>(buffer) + done, chunk, &got,
                  &position)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return std::nullopt;
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

bool File::write_at(std::uint64_t offset, const void* buffer, std::size_t length) {
  if (!valid()) return false;
  std::size_t done = 0;
  while (done < length) {
    OVERLAPPED position = at(offset + done);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 30));
    DWORD put = 0;
    if (!WriteFile(FileAccessor::handle(*this), static_cast<const char*>(buffer) + done, chunk,
                   &put, &position) ||
        put == 0) {
      FileAccessor::mark_failed(*this);
      return false;
    }
    done += put;
  }
  return true;
}

std::optional<std::uint64_t> File::size() {
  LARGE_INTEGER size{};
  if (!valid() || !GetFileSizeEx(FileAccessor::handle(*this), &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

bool File::truncate(std::uint64_t length) {
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(length);
  if (valid() && SetFilePointerEx(FileAccessor::handle(*this), position, nullptr, FILE_BEGIN) &&
      SetEndOfFile(FileAccessor::handle(*this)))
    return true;
  FileAccessor::mark_failed(*this);
  return false;
}

bool File::close() {
  if (!valid()) return false;
  const bool ok = !FileAccessor::failed(*this) && CloseHandle(FileAccessor::handle(*this));
  FileAccessor::clear(*this);
  return ok;
}

bool file_exists(const std::string& path) {
  const DWORD found = attributes(path);
  return found != INVALID_FILE_ATTRIBUTES && !(found & FILE_ATTRIBUTE_DIRECTORY);
}

bool folder_exists(const std::string& path) {
  const DWORD found = attributes(path);
  return found != INVALID_FILE_ATTRIBUTES && (found & FILE_ATTRIBUTE_DIRECTORY);
}

FileError delete_file(const std::string& path) { return outcome(DeleteFileA(path.c_str())); }

FileError copy_file(const std::string& from, const std::string& to) {
  // Windows refuses to copy over a read-only file; Wine does not, so it is checked here.
  const DWORD target = attributes(to);
  if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY))
    return FileError::kAccessDenied;
  return outcome(CopyFileA(from.c_str(), to.c_str(), FALSE));
}

FileError move_file(const std::string& from, const std::string& to) {
  return outcome(
      MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
}

bool set_attributes_normal(const std::string& path) {
  const DWORD found = attributes(path);
  if (found == INVALID_FILE_ATTRIBUTES) return false;
  // A link keeps its own attributes; its target is never changed through it.
  if (found & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool set_read_only(const std::string& path) {
  const DWORD found = attributes(path);
  if (found == INVALID_FILE_ATTRIBUTES || (found & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  return SetFileAttributesA(path.c_str(),
                            (found & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_READONLY);
}

bool is_read_only(const std::string& path) {
  const DWORD found = attributes(path);
  return found != INVALID_FILE_ATTRIBUTES && (found & FILE_ATTRIBUTE_READONLY);
}

bool create_folder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) ||
         (GetLastError() == ERROR_ALREADY_EXISTS && folder_exists(path));
}

FileError remove_folder(const std::string& path) {
  const DWORD found = attributes(path);
  if (found == INVALID_FILE_ATTRIBUTES) return last_error();
  // A link to a file is removed as a file; a junction or folder link as an (empty) folder,
  // which takes the link away and leaves its target alone.
  if ((found & FILE_ATTRIBUTE_REPARSE_POINT) && !(found & FILE_ATTRIBUTE_DIRECTORY))
    return outcome(DeleteFileA(path.c_str()));
  return outcome(RemoveDirectoryA(path.c_str()));
}

std::optional<std::vector<FolderEntry>> list_folder(const std::string& path) {
  WIN32_FIND_DATAA data{};
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<FolderEntry>{};
    return std::nullopt;
  }
  std::vector<FolderEntry> found;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    FolderEntry entry;
    entry.name = name;
    entry.is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.is_link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    found.push_back(std::move(entry));
  } while (FindNextFileA(search, &data));
  FindClose(search);
  return found;
}

namespace {

// The mount point (junction) form of a reparse point's data, as FSCTL_SET_REPARSE_POINT takes
// it: substitute name and print name, wide, one after the other in the path buffer.
struct MountPointData {
  DWORD tag;
  WORD data_length;
  WORD reserved;
  WORD substitute_offset;
  WORD substitute_length;
  WORD print_offset;
  WORD print_length;
  WCHAR path[1];
};

bool make_junction(const std::string& link, const std::string& target) {
  const std::string full = full_path(target);
  const std::string substitute = "\\??\\" + full;
  std::vector<WCHAR> wide_substitute(substitute.size() + 1);
  std::vector<WCHAR> wide_print(full.size() + 1);
  if (MultiByteToWideChar(CP_ACP, 0, substitute.c_str(), -1, wide_substitute.data(),
                          static_cast<int>(wide_substitute.size())) == 0 ||
      MultiByteToWideChar(CP_ACP, 0, full.c_str(), -1, wide_print.data(),
                          static_cast<int>(wide_print.size())) == 0)
    return false;
  const std::size_t substitute_bytes = std::wcslen(wide_substitute.data()) * sizeof(WCHAR);
  const std::size_t print_bytes = std::wcslen(wide_print.data()) * sizeof(WCHAR);
  const std::size_t header = offsetof(MountPointData, path);
  std::vector<char> buffer(header + substitute_bytes + print_bytes + 2 * sizeof(WCHAR), 0);
  auto* data = reinterpret_cast<MountPointData*>(buffer.data());
  data->tag = IO_REPARSE_TAG_MOUNT_POINT;
  data->data_length = static_cast<WORD>(buffer.size() - 8);
  data->substitute_offset = 0;
  data->substitute_length = static_cast<WORD>(substitute_bytes);
  data->print_offset = static_cast<WORD>(substitute_bytes + sizeof(WCHAR));
  data->print_length = static_cast<WORD>(print_bytes);
  std::memcpy(buffer.data() + header, wide_substitute.data(), substitute_bytes);
  std::memcpy(buffer.data() + header + data->print_offset, wide_print.data(), print_bytes);

  if (!CreateDirectoryA(link.c_str(), nullptr)) return false;
  HANDLE folder = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  DWORD returned = 0;
  const bool made =
      folder != INVALID_HANDLE_VALUE &&
      DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, buffer.data(),
                      static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
  if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
  if (!made) RemoveDirectoryA(link.c_str());
  return made;
}

}  // namespace

bool create_folder_link(const std::string& link, const std::string& target) {
  if (!folder_exists(target)) return false;
  if (make_junction(link, target)) return true;
  constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  // Some systems (Wine) report success without making the link: only a link that is there
  // counts.
  return CreateSymbolicLinkA(link.c_str(), target.c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY | kUnprivileged) != 0 &&
         attributes(link) != INVALID_FILE_ATTRIBUTES &&
         (attributes(link) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::string full_path(const std::string& path) {
  char buffer[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return path;
  return std::string(buffer, length);
}

std::optional<std::string> create_temp_file(const std::string& folder) {
  char name[MAX_PATH];
  if (GetTempFileNameA(folder.c_str(), "adp", 0, name) == 0) return std::nullopt;
  return std::string(name);
}

}  // namespace adpurge::platform
