// Named mutexes, events, semaphores and mappings of the POSIX build, and waiting for them,
// over the shared object table.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "adpurge/platform/platform.h"
#include "adpurge/platform/posix/shared_table.h"

namespace adpurge::platform {

using posix::Object;
using posix::TableLock;

namespace {

// While a waited mutex belongs to another process, its death is looked for this often.
constexpr std::uint32_t kOwnerCheckMs = 50;
constexpr std::uint32_t kSafetyMs = 1000;

std::size_t whole_pages(std::size_t size) {
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return (size + page - 1) / page * page;
}

std::uint64_t now_ms() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000 +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000000;
}

template <typename Init>
Created create_object(posix::ObjectType type, const std::string& name, Init init) {
  Created result;
  TableLock lock;
  if (lock.table() == nullptr) return result;
  posix::reap_dead(*lock.table());
  if (Object* existing = posix::find_named(*lock.table(), name)) {
    result.existed = true;
    if (existing->type == type && posix::add_handle(*lock.table(), *existing, 0))
      result.handle = Handle::adopt(posix::handle_value(*lock.table(), *existing));
    return result;
  }
  Object* made = posix::new_object(*lock.table(), type, name);
  if (made == nullptr) return result;
  const bool initialised = init(*lock.table(), *made);
  if (!initialised || !posix::add_handle(*lock.table(), *made, 0)) {
    if (initialised && type == posix::kMapping)
      shm_unlink(posix::section_name(*lock.table(), *made).c_str());
    const std::uint32_t generation = made->generation + 1;
    *made = Object{};
    made->generation = generation;
    return result;
  }
  result.handle = Handle::adopt(posix::handle_value(*lock.table(), *made));
  lock.changed();
  return result;
}

bool can_take(const Object& object, int me, int thread) {
  switch (object.type) {
    case posix::kMutex:
      return object.owner_process == posix::kNoOwner ||
             (object.owner_process == me && object.owner_thread == thread);
    case posix::kEvent:
      return object.signalled != 0;
    case posix::kSemaphore:
      return object.count > 0;
    default:
      return false;
  }
}

// Takes a signalled object; true when it was an abandoned mutex.
bool take(Object& object, int me, int thread) {
  bool abandoned = false;
  switch (object.type) {
    case posix::kMutex:
      if (object.owner_process == posix::kNoOwner) {
        object.owner_process = me;
        object.owner_thread = thread;
        object.recursion = 1;
        abandoned = object.abandoned != 0;
        object.abandoned = 0;
      } else {
        ++object.recursion;
      }
      break;
    case posix::kEvent:
      if (!object.manual_reset) object.signalled = 0;
      break;
    case posix::kSemaphore:
      --object.count;
      break;
    default:
      break;
  }
  return abandoned;
}

WaitResult wait_for(std::span<const Handle* const> handles, std::uint32_t timeout_ms) {
  WaitResult result;
  if (handles.empty()) return result;
  const std::uint64_t start = now_ms();
  const int me = posix::my_process();
  const int thread = posix::my_thread();
  for (;;) {
    std::uint32_t seen = 0;
    bool owned_elsewhere = false;
    posix::Table* table = nullptr;
    {
      TableLock lock;
      if (lock.table() == nullptr) return result;
      std::vector<Object*> objects;
      for (const Handle* handle : handles) {
        Object* object = handle ? posix::object_of(*lock.table(), handle->raw()) : nullptr;
        if (object == nullptr || object->type == posix::kMapping ||
            object->type == posix::kOpenFile ||
            std::find(objects.begin(), objects.end(), object) != objects.end())
          return result;
        if (object->type == posix::kMutex && object->owner_process != posix::kNoOwner &&
            object->owner_process != me)
          posix::reap_dead(*lock.table(), object->owner_process);
        objects.push_back(object);
      }
      if (std::all_of(objects.begin(), objects.end(),
                      [&](const Object* o) { return can_take(*o, me, thread); })) {
        result.status = WaitStatus::kSignaled;
        for (std::size_t i = 0; i < objects.size(); ++i) {
          if (take(*objects[i], me, thread) && result.status == WaitStatus::kSignaled) {
            result.status = WaitStatus::kAbandoned;
            result.index = i;
          }
        }
        return result;
      }
      for (const Object* object : objects)
        if (object->type == posix::kMutex && object->owner_process != posix::kNoOwner &&
            object->owner_process != me)
          owned_elsewhere = true;
      table = lock.table();
      seen = table->changes.load();
    }
    const std::uint64_t waited = now_ms() - start;
    if (timeout_ms != kInfinite && waited >= timeout_ms) {
      result.status = WaitStatus::kTimeout;
      return result;
    }
    std::uint32_t slice = owned_elsewhere ? kOwnerCheckMs : kSafetyMs;
    if (timeout_ms != kInfinite)
      slice = static_cast<std::uint32_t>(std::min<std::uint64_t>(slice, timeout_ms - waited));
    // The futex compares the change counter with `seen`: a change made since the check above
    // ends the sleep at once.
    posix::wait_for_change(*table, seen, slice);
  }
}

}  // namespace

// ---- Handle ----

void Handle::close() {
  if (value_ == 0) return;
  TableLock lock;
  if (lock.table() != nullptr) {
    if (Object* object = posix::object_of(*lock.table(), value_)) {
      posix::drop_handle(*lock.table(), *object, 0);
      lock.changed();
    }
  }
  value_ = 0;
}

// ---- Mutexes, events, semaphores ----

Created create_mutex(const std::string& name, bool take_ownership) {
  const int me = posix::my_process();
  const int thread = posix::my_thread();
  return create_object(posix::kMutex, name, [&](posix::Table&, Object& object) {
    if (take_ownership) {
      object.owner_process = me;
      object.owner_thread = thread;
      object.recursion = 1;
    }
    return true;
  });
}

bool release_mutex(const Handle& mutex) {
  TableLock lock;
  if (lock.table() == nullptr) return false;
  Object* object = posix::object_of(*lock.table(), mutex.raw());
  if (object == nullptr || object->type != posix::kMutex ||
      object->owner_process != posix::my_process() || object->owner_thread != posix::my_thread())
    return false;
  if (--object->recursion == 0) {
    object->owner_process = posix::kNoOwner;
    object->owner_thread = 0;
    lock.changed();
  }
  return true;
}

Created create_event(const std::string& name, bool manual_reset, bool initially_set) {
  return create_object(posix::kEvent, name, [&](posix::Table&, Object& object) {
    object.manual_reset = manual_reset ? 1 : 0;
    object.signalled = initially_set ? 1 : 0;
    return true;
  });
}

namespace {

bool change_event(const Handle& event, std::uint32_t signalled) {
  TableLock lock;
  if (lock.table() == nullptr) return false;
  Object* object = posix::object_of(*lock.table(), event.raw());
  if (object == nullptr || object->type != posix::kEvent) return false;
  object->signalled = signalled;
  if (signalled) lock.changed();
  return true;
}

}  // namespace

bool set_event(const Handle& event) { return change_event(event, 1); }
bool reset_event(const Handle& event) { return change_event(event, 0); }

Created create_semaphore(const std::string& name, std::int32_t initial, std::int32_t maximum) {
  return create_object(posix::kSemaphore, name, [&](posix::Table&, Object& object) {
    if (maximum <= 0 || initial < 0 || initial > maximum) return false;
    object.count = initial;
    object.maximum = maximum;
    return true;
  });
}

std::optional<std::int32_t> release_semaphore(const Handle& semaphore, std::int32_t count) {
  TableLock lock;
  if (lock.table() == nullptr) return std::nullopt;
  Object* object = posix::object_of(*lock.table(), semaphore.raw());
  if (object == nullptr || object->type != posix::kSemaphore || count <= 0 ||
      count > object->maximum - object->count)
    return std::nullopt;
  const std::int32_t previous = object->count;
  object->count += count;
  lock.changed();
  return previous;
}

WaitResult wait_one(const Handle& object, std::uint32_t timeout_ms) {
  const Handle* one[] = {&object};
  return wait_for(one, timeout_ms);
}

WaitResult wait_all(std::span<const Handle* const> objects, std::uint32_t timeout_ms) {
  return wait_for(objects, timeout_ms);
}

// ---- Mappings ----

Created create_mapping(const std::string& name, std::uint32_t size) {
  return create_object(posix::kMapping, name, [&](posix::Table& table, Object& object) {
    if (size == 0) return false;
    object.size = size;
    // A section left by a crashed run of an earlier table under the same name goes first.
    const std::string section = posix::section_name(table, object);
    shm_unlink(section.c_str());
    const int fd = shm_open(section.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool sized = ftruncate(fd, static_cast<off_t>(whole_pages(size))) == 0;
    close(fd);
    if (!sized) shm_unlink(section.c_str());
    return sized;
  });
}

MappedView map_view(const Handle& mapping) {
  MappedView view;
  std::string section;
  std::uint32_t size = 0;
  {
    TableLock lock;
    if (lock.table() == nullptr) return view;
    const Object* object = posix::object_of(*lock.table(), mapping.raw());
    if (object == nullptr || object->type != posix::kMapping) return view;
    section = posix::section_name(*lock.table(), *object);
    size = object->size;
  }
  const int fd = shm_open(section.c_str(), O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0) return view;
  // Reserved only: pages are usable once committed, as with a SEC_RESERVE section.
  void* memory = mmap(nullptr, whole_pages(size), PROT_NONE, MAP_SHARED, fd, 0);
  close(fd);
  if (memory == MAP_FAILED) return view;
  view.data_ = static_cast<std::uint8_t*>(memory);
  view.size_ = size;
  return view;
}

void MappedView::unmap() {
  if (data_ != nullptr) munmap(data_, whole_pages(size_));
}

bool MappedView::commit(std::uint32_t offset, std::uint32_t length) {
  if (data_ == nullptr || offset > size_ || length > size_ - offset) return false;
  if (length == 0) return true;
  const std::size_t page = page_size();
  const std::size_t first = offset / page * page;
  const std::size_t end = whole_pages(static_cast<std::size_t>(offset) + length);
  return mprotect(data_ + first, end - first, PROT_READ | PROT_WRITE) == 0;
}

std::uint32_t page_size() { return static_cast<std::uint32_t>(sysconf(_SC_PAGESIZE)); }

}  // namespace adpurge::platform
