// What adpurge needs from the operating system: the registry, named kernel objects, files,
// message boxes, processes and a clock. win32/ implements it with the Win32 API; posix/
// simulates the same Windows layout under the folder named by ADPURGE_ROOT.
//
// Paths are Windows paths ("C:\Program Files\Pennaway") in both builds; the POSIX build maps
// them into its root. Text is 8-bit, as in the Win32 "A" functions. Nothing here throws except
// std::bad_alloc; failures are reported through return values. Every operation may be called
// from any thread; the handle objects are not shared between threads without a lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace adpurge::platform {

// Empty when the platform can be used; otherwise why not, as one sentence for the user (the
// POSIX build without a usable ADPURGE_ROOT). Nothing else here changes anything until this is
// empty: every operation fails instead.
std::string unavailable_reason();

// ---- Registry ----------------------------------------------------------------------------
// Key paths are relative to the root, parts separated by "\" ("SOFTWARE\Pennaway, Inc.").
// Key and value names are found without regard to case. Values are strings (REG_SZ).
// The Windows build uses the registry's 32-bit view, the one the ad client itself sees.
enum class RegRoot { kLocalMachine, kCurrentUser };

bool reg_key_exists(RegRoot root, const std::string& key);
// Creates the key and its missing parents; true when it exists afterwards.
bool reg_create_key(RegRoot root, const std::string& key);
// Deletes a key that has no subkeys (its values go with it), as RegDeleteKey does.
bool reg_delete_key(RegRoot root, const std::string& key);
// The name of the subkey at `index` in enumeration order; nothing when there is none.
std::optional<std::string> reg_subkey(RegRoot root, const std::string& key, std::uint32_t index);
// Number of direct subkeys; 0 when the key is missing.
std::uint32_t reg_count_subkeys(RegRoot root, const std::string& key);
bool reg_value_exists(RegRoot root, const std::string& key, const std::string& name);
// A string value read into a buffer of `max_bytes` bytes (terminator included), as
// RegQueryValueEx would: nothing when the key or value is missing or longer than the buffer.
std::optional<std::string> reg_get_string(RegRoot root, const std::string& key,
                                          const std::string& name, std::size_t max_bytes = 4096);
// Creates the key when missing and sets the value.
bool reg_set_string(RegRoot root, const std::string& key, const std::string& name,
                    const std::string& value);
bool reg_delete_value(RegRoot root, const std::string& key, const std::string& name);

// ---- Named kernel objects ----------------------------------------------------------------
// Objects with one name are one object in every process (names are compared exactly, as
// Windows does); an object lives while any process holds a handle to it. A process that
// ends closes its handles; a mutex it owned becomes abandoned.
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

enum class WaitStatus {
  kSignaled,   // the object(s) were signalled and, for mutexes and semaphores, taken
  kAbandoned,  // as kSignaled, but (one of) the mutex(es) was abandoned by a dead owner
  kTimeout,
  kFailed,
};

struct WaitResult {
  WaitStatus status = WaitStatus::kFailed;
  std::size_t index = 0;  // with kAbandoned: which object of a wait for several
};

// A handle to a named object. Move-only; closes itself. An invalid handle (failed creation)
// fails every operation.
class Handle {
 public:
  Handle() = default;
  ~Handle();
  Handle(Handle&& other) noexcept;
  Handle& operator=(Handle&& other) noexcept;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  bool valid() const { return value_ != 0; }
  void close();
  std::uintptr_t raw() const { return value_; }
  static Handle adopt(std::uintptr_t value);

 private:
  std::uintptr_t value_ = 0;
};

struct Created {
  Handle handle;
  bool existed = false;  // the named object existed before (ERROR_ALREADY_EXISTS)
};

// CreateMutex: with `take_ownership`, the caller owns a mutex it created (not one that
// existed: then it must wait for it).
Created create_mutex(const std::string& name, bool take_ownership);
bool release_mutex(const Handle& mutex);

// CreateEvent: opens the event when it exists, keeping its type and state.
Created create_event(const std::string& name, bool manual_reset, bool initially_set);
bool set_event(const Handle& event);
bool reset_event(const Handle& event);

// CreateSemaphore: opens the semaphore when it exists, keeping its count.
Created create_semaphore(const std::string& name, std::int32_t initial, std::int32_t maximum);
// Adds `count`; the count before, or nothing when that would pass the maximum (no change).
std::optional<std::int32_t> release_semaphore(const Handle& semaphore, std::int32_t count = 1);

// Waits for a mutex, event or semaphore, at most `timeout_ms` milliseconds (kInfinite: no
// bound). Taking a mutex the caller's thread owns already counts one more ownership.
WaitResult wait_one(const Handle& object, std::uint32_t timeout_ms);
// Waits until all objects are signalled at once and takes them in one step, as
// WaitForMultipleObjects with wait-all: nothing is taken while any of them is not signalled.
WaitResult wait_all(std::span<const Handle* const> objects, std::uint32_t timeout_ms);

// A named shared memory section of a fixed size backed by the paging file, reserved at
// creation; its pages must be committed in a view before they are used.
Created create_mapping(const std::string& name, std::uint32_t size);

// A view of a whole mapping in this process. Move-only; unmaps itself.
class MappedView {
 public:
  MappedView() = default;
  ~MappedView();
  MappedView(MappedView&& other) noexcept;
  MappedView& operator=(MappedView&& other) noexcept;
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;

  bool valid() const { return data_ != nullptr; }
  std::uint8_t* data() const { return data_; }
  std::uint32_t size() const { return size_; }
  // Commits the pages that hold [offset, offset + length); false when out of range or refused.
  bool commit(std::uint32_t offset, std::uint32_t length);

 private:
  friend MappedView map_view(const Handle& mapping);
  void unmap();  // each build's own
  std::uint8_t* data_ = nullptr;
  std::uint32_t size_ = 0;
};

MappedView map_view(const Handle& mapping);
std::uint32_t page_size();

// ---- Files -------------------------------------------------------------------------------
enum class FileError {
  kNone,
  kNotFound,          // the file or a folder of its path does not exist
  kAccessDenied,      // includes writing or deleting a read-only file
  kSharingViolation,  // another open handle's sharing mode refuses this one
  kExists,            // kCreateNew on an existing file
  kOther,
};

enum FileAccess : std::uint32_t { kRead = 1, kWrite = 2 };
enum FileShare : std::uint32_t {
  kShareNone = 0,
  kShareRead = 1,
  kShareWrite = 2,
  kShareDelete = 4
};
enum class Disposition { kOpenExisting, kCreateNew, kCreateAlways, kOpenAlways };

// An open file. Move-only; closes itself. Offsets are absolute; there is no file pointer.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool valid() const { return value_ != 0; }
  // Reads up to `length` bytes at `offset`; the number read (short at the end), or nothing on
  // an error.
  std::optional<std::size_t> read_at(std::uint64_t offset, void* buffer, std::size_t length);
  // Writes all bytes at `offset`, growing the file when needed.
  bool write_at(std::uint64_t offset, const void* buffer, std::size_t length);
  std::optional<std::uint64_t> size();
  bool truncate(std::uint64_t length);
  // Closes the file and reports whether every write reached it.
  bool close();

 private:
  friend struct FileAccessor;
  std::uintptr_t value_ = 0;
  std::uintptr_t extra_ = 0;
};

struct Opened {
  File file;
  FileError error = FileError::kNone;
};

// CreateFile. `write_through`: writes go to the disk before write_at returns.
Opened open_file(const std::string& path, std::uint32_t access, std::uint32_t share,
                 Disposition disposition, bool write_through = false);

bool file_exists(const std::string& path);    // a file (not a folder) is there
bool folder_exists(const std::string& path);  // a folder (a link to one counts) is there
FileError delete_file(const std::string& path);
// CopyFile: overwrites an existing target unless it is read-only. The POSIX build also takes a
// native absolute source ("/.../test_ad_client", as current_program gives), so that tests can
// install a program built beside them.
FileError copy_file(const std::string& from, const std::string& to);
// MoveFileEx with replacement of an existing target.
FileError move_file(const std::string& from, const std::string& to);
// Clears every attribute (read-only in particular), as SetFileAttributes(NORMAL).
bool set_attributes_normal(const std::string& path);
bool set_read_only(const std::string& path);
bool is_read_only(const std::string& path);
bool create_folder(const std::string& path);  // one level; true when it exists afterwards
// Removes an empty folder, or a folder link or junction itself (never its target).
FileError remove_folder(const std::string& path);

struct FolderEntry {
  std::string name;
  bool is_folder = false;
  // A symbolic link, junction or other reparse point: delete it itself, never descend.
  bool is_link = false;
};
// The entries of a folder without "." and ".."; nothing when it cannot be read.
std::optional<std::vector<FolderEntry>> list_folder(const std::string& path);

// Makes `link` a folder link (a junction on Windows) to the existing folder `target`.
bool create_folder_link(const std::string& link, const std::string& target);

// GetFullPathName: an absolute path with "." and ".." resolved and "/" read as "\".
std::string full_path(const std::string& path);
// Creates a new empty file with a unique name in `folder` and returns its path.
std::optional<std::string> create_temp_file(const std::string& folder);

// ---- Processes, system folders, user -------------------------------------------------------
class Process {
 public:
  Process() = default;
  ~Process();  // closes the handle; the process runs on
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool valid() const { return value_ != 0; }
  std::uint32_t id() const { return id_; }
  // The exit code once it has ended within `timeout_ms`, otherwise nothing.
  std::optional<std::uint32_t> wait(std::uint32_t timeout_ms);
  // Ends it at once, as TerminateProcess (no clean-up of its own runs).
  bool kill();

 private:
  friend struct ProcessAccessor;
  void close_handle();  // each build's own
  std::uintptr_t value_ = 0;
  std::uint32_t id_ = 0;
  bool ended_ = false;
  std::uint32_t exit_code_ = 0;
};

// CreateProcess of `program` with `arguments` (each quoted as needed), started in the
// program's folder. The POSIX build also takes a native absolute path ("/usr/...") here.
Process start_process(const std::string& program, const std::vector<std::string>& arguments);
// This program's own path, in the form start_process takes.
std::string current_program();
std::uint32_t current_process_id();

std::string windows_folder();  // GetWindowsDirectory, "C:\Windows" in the POSIX build
// GetUserName; nothing when the system cannot tell.
std::optional<std::string> user_name();

// ---- Message boxes -------------------------------------------------------------------------
// An error with the exclamation icon and an OK button.
void show_error(const std::string& caption, const std::string& text);
// A question with the question icon and Yes and No; true for Yes. The POSIX build asks on the
// terminal and answers No without one.
bool ask_yes_no(const std::string& caption, const std::string& text);

// ---- Clock -------------------------------------------------------------------------------
std::uint32_t tick_count();  // GetTickCount: milliseconds, wrapping
void sleep_ms(std::uint32_t ms);
// Replaces tick_count and sleep_ms for this process (tests); empty functions restore them.
void set_clock(std::function<std::uint32_t()> ticks, std::function<void(std::uint32_t)> sleep);

}  // namespace adpurge::platform
