// The POSIX build's kernel object namespace: one shared memory table per root holding the
// named mutexes, events, semaphores and mappings, the sharing modes of open files, and one
// slot per attached process with the handles it holds. A process-shared robust mutex guards
// the table; waiters sleep on one futex word that every change bumps. A process that dies is
// found by its slot's robust "alive" mutex, held for life by a thread of its own: its handles
// are closed and its mutexes abandoned by whoever finds it.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace adpurge::platform::posix {

inline constexpr std::uint32_t kMaxObjects = 1024;
inline constexpr std::uint32_t kMaxProcesses = 64;
inline constexpr std::uint32_t kMaxHandles = 256;
inline constexpr std::uint32_t kMaxName = 300;
inline constexpr std::int32_t kNoOwner = -1;

enum ObjectType : std::uint32_t { kFree = 0, kMutex, kEvent, kSemaphore, kMapping, kOpenFile };

struct Object {
  std::uint32_t type;
  std::uint32_t generation;  // bumped when the slot is freed, so stale handles fail
  std::uint32_t refs;        // handles held by all processes
  std::uint32_t name_length;
  char name[kMaxName + 1];
  // Mutex.
  std::int32_t owner_process;  // process slot, kNoOwner when free
  std::int32_t owner_thread;
  std::uint32_t recursion;
  std::uint32_t abandoned;
  // Event.
  std::uint32_t manual_reset;
  std::uint32_t signalled;
  // Semaphore.
  std::int32_t count;
  std::int32_t maximum;
  // Mapping.
  std::uint32_t size;
  // Open file: identity and, per kind (read, write, delete), how many handles use that access
  // and how many refuse to share it.
  std::uint64_t device;
  std::uint64_t inode;
  std::uint32_t using_access[3];
  std::uint32_t denying[3];
};

struct HandleEntry {
  std::uint32_t object;  // index + 1; 0 for an unused entry
  std::uint32_t count;
  std::uint32_t mode;  // open files: access bits | share bits << 8
};

struct ProcessSlot {
  pthread_mutex_t alive;
  std::uint32_t ready;  // `alive` is initialised (done when the slot is first claimed)
  std::uint32_t in_use;
  std::int32_t pid;
  HandleEntry handles[kMaxHandles];
};

struct Table {
  std::uint32_t magic;
  std::uint32_t layout_size;
  pthread_mutex_t lock;
  std::atomic<std::uint32_t> changes;  // futex word
  ProcessSlot processes[kMaxProcesses];
  Object objects[kMaxObjects];
  char root_path[4096];  // so that a table whose root is gone can be found and removed
};

// Holds the table's lock for a scope; the table is nullptr when the platform is unavailable.
class TableLock {
 public:
  TableLock();
  ~TableLock();
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;
  Table* table() const { return table_; }
  // After a change that a waiter may be waiting for: wake them once the lock is released.
  void changed() { changed_ = true; }

 private:
  Table* table_;
  bool changed_ = false;
};

// This process's slot index (attaching on first use), -1 when unavailable.
int my_process();
int my_thread();

// Under the lock: closes the handles of dead processes and abandons their mutexes. With
// `only` >= 0 just that slot is checked.
void reap_dead(Table& table, int only = -1);
bool process_alive(Table& table, int slot);

// Under the lock: the object of a handle value, or nullptr when it is stale or not ours.
Object* object_of(Table& table, std::uintptr_t handle);
std::uintptr_t handle_value(const Table& table, const Object& object);
// Under the lock: adds one handle of this process to `object`; false when the table is full.
bool add_handle(Table& table, Object& object, std::uint32_t mode);
// Under the lock: drops one handle (destroying the object with its last one).
void drop_handle(Table& table, Object& object, std::uint32_t mode);
// Under the lock: a free object slot, or nullptr.
Object* new_object(Table& table, ObjectType type, const std::string& name);
Object* find_named(Table& table, const std::string& name);

// The shared memory name of a mapping's section.
std::string section_name(const Table& table, const Object& object);

// Sleeps until the table changes after `seen`, at most `ms` milliseconds.
void wait_for_change(Table& table, std::uint32_t seen, std::uint32_t ms);

}  // namespace adpurge::platform::posix
