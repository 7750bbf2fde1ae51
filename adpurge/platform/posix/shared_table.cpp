// Attaching to the kernel object table of the root, process slots and their clean-up.
#include "adpurge/platform/posix/shared_table.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/futex.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <future>
#include <thread>
#include <vector>

#include "adpurge/platform/posix/root.h"

namespace adpurge::platform::posix {
namespace {

constexpr std::uint32_t kMagic = 0x41445054;  // "TPDA"

struct Attachment {
  Table* table = nullptr;
  int slot = -1;
  std::string prefix;  // shared memory names of this root start with it
};

bool init_robust_mutex(pthread_mutex_t* mutex) {
  pthread_mutexattr_t attr;
  if (pthread_mutexattr_init(&attr) != 0) return false;
  const bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
                  pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 &&
                  pthread_mutex_init(mutex, &attr) == 0;
  pthread_mutexattr_destroy(&attr);
  return ok;
}

// Locks a robust mutex, taking over one whose holder died.
bool lock_robust(pthread_mutex_t* mutex) {
  const int result = pthread_mutex_lock(mutex);
  if (result == EOWNERDEAD) return pthread_mutex_consistent(mutex) == 0;
  return result == 0;
}

void release_refs(Table& table, Object& object, std::uint32_t count, std::uint32_t mode) {
  object.refs -= std::min(object.refs, count);
  if (object.type == kOpenFile) {
    for (int kind = 0; kind < 3; ++kind) {
      if ((mode >> kind) & 1)
        object.using_access[kind] -= std::min(object.using_access[kind], count);
      if (!((mode >> (8 + kind)) & 1))
        object.denying[kind] -= std::min(object.denying[kind], count);
    }
  }
  if (object.refs > 0) return;
  if (object.type == kMapping) shm_unlink(section_name(table, object).c_str());
  const std::uint32_t generation = object.generation + 1;
  std::memset(&object, 0, sizeof object);
  object.generation = generation;
}

void reap_slot(Table& table, int slot) {
  ProcessSlot& process = table.processes[slot];
  for (HandleEntry& entry : process.handles) {
    if (entry.object != 0 && entry.object <= kMaxObjects)
      release_refs(table, table.objects[entry.object - 1], entry.count, entry.mode);
    entry = HandleEntry{};
  }
  for (Object& object : table.objects) {
    if (object.type == kMutex && object.owner_process == slot) {
      object.owner_process = kNoOwner;
      object.owner_thread = 0;
      object.recursion = 0;
      object.abandoned = 1;
    }
  }
  process.in_use = 0;
  process.pid = 0;
}

void wake_all(Table& table) {
  syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&table.changes), FUTEX_WAKE, INT_MAX, nullptr,
          nullptr, 0);
}

constexpr int kRootGone = -2;

// Takes the root folder's lock, which only guards creating and removing the table itself;
// a dead holder's lock goes with it.
int lock_root_folder() {
  const int fd = open(root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? kRootGone : -1;
  for (int tries = 0; tries < 6000; ++tries) {  // 30 seconds at most
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
    if (errno != EWOULDBLOCK && errno != EINTR) break;
    usleep(5000);
  }
  close(fd);
  return -1;
}

void unlock_root_folder(int fd) {
  flock(fd, LOCK_UN);
  close(fd);
}

Table* map_table(const std::string& name) {
  const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  struct stat info {};
  bool fresh = false;
  if (fstat(fd, &info) != 0) {
    close(fd);
    return nullptr;
  }
  if (info.st_size == 0) {
    if (ftruncate(fd, sizeof(Table)) != 0) {
      close(fd);
      return nullptr;
    }
    fresh = true;
  } else if (static_cast<std::size_t>(info.st_size) != sizeof(Table)) {
    close(fd);
    return nullptr;
  }
  void* memory = mmap(nullptr, sizeof(Table), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (memory == MAP_FAILED) return nullptr;
  Table* table = static_cast<Table*>(memory);
  // A table whose maker died before finishing is made again (the root lock is held here). A
  // fresh one is zeros already; pages are only touched as they are used.
  if (fresh || table->magic != kMagic || table->layout_size != sizeof(Table)) {
    if (!fresh) std::memset(memory, 0, sizeof(Table));
    const bool ok = init_robust_mutex(&table->lock) && root().size() < sizeof table->root_path;
    if (ok) std::memcpy(table->root_path, root().c_str(), root().size() + 1);
    if (!ok) {
      munmap(memory, sizeof(Table));
      return nullptr;
    }
    table->layout_size = sizeof(Table);
    table->magic = kMagic;
  }
  return table;
}

// The thread that holds this process's "alive" mutex until the process ends. It claims a slot
// and reports it; it never returns.
void hold_slot(Table* table, std::promise<int>* claimed) {
  int slot = -1;
  if (lock_robust(&table->lock)) {
    reap_dead(*table);
    for (std::uint32_t i = 0; i < kMaxProcesses; ++i) {
      ProcessSlot& process = table->processes[i];
      if (process.in_use != 0) continue;
      if (!process.ready) process.ready = init_robust_mutex(&process.alive) ? 1 : 0;
      if (process.ready && lock_robust(&process.alive)) {
        process.in_use = 1;
        process.pid = getpid();
        std::memset(process.handles, 0, sizeof process.handles);
        slot = static_cast<int>(i);
        break;
      }
    }
    pthread_mutex_unlock(&table->lock);
  }
  claimed->set_value(slot);
  if (slot < 0) return;
  for (;;) pause();  // every signal is blocked here: this sleeps until the process ends
}

// Removes the tables (and their mappings' sections) of roots that no longer exist and that no
// living process uses: what test runs killed before their exit leave behind.
void collect_orphaned_tables() {
  DIR* shm = opendir("/dev/shm");
  if (shm == nullptr) return;
  std::vector<std::string> names;
  while (dirent* entry = readdir(shm)) names.emplace_back(entry->d_name);
  closedir(shm);
  for (const std::string& name : names) {
    unsigned long long device = 0, inode = 0;
    int used = 0;
    if (std::sscanf(name.c_str(), "adpurge-%llx-%llx%n", &device, &inode, &used) != 2 ||
        static_cast<std::size_t>(used) != name.size())
      continue;
    const int fd = shm_open(("/" + name).c_str(), O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) continue;
    struct stat info {};
    void* memory = MAP_FAILED;
    if (fstat(fd, &info) == 0 && static_cast<std::size_t>(info.st_size) == sizeof(Table))
      memory = mmap(nullptr, sizeof(Table), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    if (memory == MAP_FAILED) continue;
    Table* table = static_cast<Table*>(memory);
    bool orphaned = false;
    if (table->magic == kMagic && table->layout_size == sizeof(Table) &&
        table->root_path[sizeof table->root_path - 1] == '\0') {
      struct stat root_info {};
      const bool root_gone = stat(table->root_path, &root_info) != 0 ||
                             root_info.st_dev != device || root_info.st_ino != inode;
      if (root_gone && lock_robust(&table->lock)) {
        orphaned = true;
        for (std::uint32_t i = 0; i < kMaxProcesses; ++i)
          if (table->processes[i].in_use && process_alive(*table, static_cast<int>(i)))
            orphaned = false;
        pthread_mutex_unlock(&table->lock);
      }
    }
    munmap(memory, sizeof(Table));
    if (!orphaned) continue;
    for (const std::string& other : names)
      if (other.rfind(name + "-", 0) == 0) shm_unlink(("/" + other).c_str());
    shm_unlink(("/" + name).c_str());
  }
}

void detach();

Attachment attach() {
  Attachment result;
  if (root().empty()) return result;
  struct stat info {};
  if (stat(root().c_str(), &info) != 0) return result;
  char prefix[64];
  std::snprintf(prefix, sizeof prefix, "/adpurge-%llx-%llx",
                static_cast<unsigned long long>(info.st_dev),
                static_cast<unsigned long long>(info.st_ino));
  result.prefix = prefix;
  const int root_lock = lock_root_folder();
  if (root_lock < 0) return result;
  collect_orphaned_tables();
  Table* table = map_table(result.prefix);
  if (table != nullptr) {
    std::promise<int> claimed;
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    std::thread holder(hold_slot, table, &claimed);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    result.slot = claimed.get_future().get();
    holder.detach();
    if (result.slot >= 0) {
      result.table = table;
    } else {
      munmap(table, sizeof(Table));
    }
  }
  unlock_root_folder(root_lock);
  if (result.table != nullptr) std::atexit(detach);
  return result;
}

Attachment& attachment() {
  // Never destroyed: the exit handler that attach() registers still needs it.
  static Attachment* instance = new Attachment(attach());
  return *instance;
}

// At a normal exit: close this process's handles, abandon its mutexes, and remove the table
// when nobody else uses it. The slot itself is freed by the next process that finds it dead.
void detach() {
  Attachment& self = attachment();
  if (self.table == nullptr) return;
  const int root_lock = lock_root_folder();
  bool unused = false;
  if (lock_robust(&self.table->lock)) {
    ProcessSlot& mine = self.table->processes[self.slot];
    for (HandleEntry& entry : mine.handles) {
      if (entry.object != 0 && entry.object <= kMaxObjects)
        release_refs(*self.table, self.table->objects[entry.object - 1], entry.count, entry.mode);
      entry = HandleEntry{};
    }
    for (Object& object : self.table->objects) {
      if (object.type == kMutex && object.owner_process == self.slot) {
        object.owner_process = kNoOwner;
        object.recursion = 0;
        object.abandoned = 1;
      }
    }
    reap_dead(*self.table);
    unused = true;
    for (std::uint32_t i = 0; i < kMaxProcesses; ++i)
      if (static_cast<int>(i) != self.slot && self.table->processes[i].in_use) unused = false;
    for (const Object& object : self.table->objects)
      if (object.type != kFree) unused = false;
    self.table->changes.fetch_add(1);
    pthread_mutex_unlock(&self.table->lock);
    wake_all(*self.table);
  }
  // Without its root folder nobody can attach any more, so no lock is needed to remove it.
  if (unused && (root_lock >= 0 || root_lock == kRootGone)) shm_unlink(self.prefix.c_str());
  if (root_lock >= 0) unlock_root_folder(root_lock);
}

}  // namespace

TableLock::TableLock() : table_(attachment().table) {
  if (table_ != nullptr && !lock_robust(&table_->lock)) table_ = nullptr;
}

TableLock::~TableLock() {
  if (table_ == nullptr) return;
  if (changed_) table_->changes.fetch_add(1);
  pthread_mutex_unlock(&table_->lock);
  if (changed_) wake_all(*table_);
}

int my_process() { return attachment().slot; }

int my_thread() {
  thread_local const int id = static_cast<int>(syscall(SYS_gettid));
  return id;
}

bool process_alive(Table& table, int slot) {
  ProcessSlot& process = table.processes[slot];
  if (process.in_use == 0) return false;
  const int result = pthread_mutex_trylock(&process.alive);
  if (result == EBUSY) return true;
  if (result == EOWNERDEAD) pthread_mutex_consistent(&process.alive);
  if (result == 0 || result == EOWNERDEAD) pthread_mutex_unlock(&process.alive);
  return false;
}

void reap_dead(Table& table, int only) {
  bool reaped = false;
  for (std::uint32_t i = 0; i < kMaxProcesses; ++i) {
    if (only >= 0 && static_cast<int>(i) != only) continue;
    if (table.processes[i].in_use && !process_alive(table, static_cast<int>(i))) {
      reap_slot(table, static_cast<int>(i));
      reaped = true;
    }
  }
  if (reaped) {
    table.changes.fetch_add(1);
    wake_all(table);
  }
}

Object* object_of(Table& table, std::uintptr_t handle) {
  const std::uint64_t value = handle;
  const std::uint32_t index = static_cast<std::uint32_t>(value & 0xFFFFFFFFu);
  const std::uint32_t generation = static_cast<std::uint32_t>(value >> 32);
  if (index == 0 || index > kMaxObjects) return nullptr;
  Object& object = table.objects[index - 1];
  if (object.type == kFree || object.generation != generation) return nullptr;
  return &object;
}

std::uintptr_t handle_value(const Table& table, const Object& object) {
  const std::uint64_t index = static_cast<std::uint64_t>(&object - table.objects) + 1;
  return static_cast<std::uintptr_t>((static_cast<std::uint64_t>(object.generation) << 32) | index);
}

bool add_handle(Table& table, Object& object, std::uint32_t mode) {
  const int slot = my_process();
  if (slot < 0) return false;
  const std::uint32_t index = static_cast<std::uint32_t>(&object - table.objects) + 1;
  HandleEntry* free_entry = nullptr;
  HandleEntry* entry = nullptr;
  for (HandleEntry& candidate : table.processes[slot].handles) {
    if (candidate.object == index && candidate.mode == mode) entry = &candidate;
    if (candidate.object == 0 && free_entry == nullptr) free_entry = &candidate;
  }
  if (entry == nullptr) {
    if (free_entry == nullptr) return false;
    entry = free_entry;
    *entry = HandleEntry{index, 0, mode};
  }
  ++entry->count;
  ++object.refs;
  if (object.type == kOpenFile) {
    for (int kind = 0; kind < 3; ++kind) {
      if ((mode >> kind) & 1) ++object.using_access[kind];
      if (!((mode >> (8 + kind)) & 1)) ++object.denying[kind];
    }
  }
  return true;
}

void drop_handle(Table& table, Object& object, std::uint32_t mode) {
  const int slot = my_process();
  if (slot < 0) return;
  const std::uint32_t index = static_cast<std::uint32_t>(&object - table.objects) + 1;
  for (HandleEntry& entry : table.processes[slot].handles) {
    if (entry.object == index && entry.mode == mode && entry.count > 0) {
      if (--entry.count == 0) entry = HandleEntry{};
      release_refs(table, object, 1, mode);
      return;
    }
  }
}

Object* new_object(Table& table, ObjectType type, const std::string& name) {
  if (name.size() > kMaxName) return nullptr;
  for (Object& object : table.objects) {
    if (object.type != kFree) continue;
    const std::uint32_t generation = object.generation;
    std::memset(&object, 0, sizeof object);
    object.generation = generation;
    object.type = type;
    object.name_length = static_cast<std::uint32_t>(name.size());
    std::memcpy(object.name, name.data(), name.size());
    object.owner_process = kNoOwner;
    return &object;
  }
  return nullptr;
}

Object* find_named(Table& table, const std::string& name) {
  if (name.empty() || name.size() > kMaxName) return nullptr;
  for (Object& object : table.objects) {
    if (object.type != kFree && object.type != kOpenFile && object.name_length == name.size() &&
        std::memcmp(object.name, name.data(), name.size()) == 0)
      return &object;
  }
  return nullptr;
}

std::string section_name(const Table& table, const Object& object) {
  return attachment().prefix + "-" + std::to_string(&object - table.objects) + "-" +
         std::to_string(object.generation);
}

void wait_for_change(Table& table, std::uint32_t seen, std::uint32_t ms) {
  timespec relative{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&table.changes), FUTEX_WAIT, seen, &relative,
          nullptr, 0);
}

}  // namespace adpurge::platform::posix
