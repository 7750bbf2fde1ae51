// Named mutexes, events, semaphores and mappings of the Windows build: the kernel's own.
#include <windows.h>

#include <vector>

#include "adpurge/platform/platform.h"

namespace adpurge::platform {
namespace {

HANDLE raw(const Handle& handle) { return reinterpret_cast<HANDLE>(handle.raw()); }

const char* object_name(const std::string& name) { return name.empty() ? nullptr : name.c_str(); }

Created created(HANDLE handle) {
  // GetLastError is read first: nothing in between may change it.
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  Created result;
  if (handle == nullptr) return result;
  result.existed = existed;
  result.handle = Handle::adopt(reinterpret_cast<std::uintptr_t>(handle));
  return result;
}

WaitResult wait_result(DWORD code, std::size_t count) {
  WaitResult result;
  if (code == WAIT_TIMEOUT) {
    result.status = WaitStatus::kTimeout;
  } else if (code >= WAIT_OBJECT_0 && code < WAIT_OBJECT_0 + count) {
    result.status = WaitStatus::kSignaled;
  } else if (code >= WAIT_ABANDONED_0 && code < WAIT_ABANDONED_0 + count) {
    result.status = WaitStatus::kAbandoned;
    result.index = code - WAIT_ABANDONED_0;
  }
  return result;
}

}  // namespace

void Handle::close() {
  if (value_ != 0) CloseHandle(reinterpret_cast<HANDLE>(value_));
  value_ = 0;
}

Created create_mutex(const std::string& name, bool take_ownership) {
  SetLastError(ERROR_SUCCESS);
  return created(CreateMutexA(nullptr, take_ownership ? TRUE : FALSE, object_name(name)));
}

bool release_mutex(const Handle& mutex) { return mutex.valid() && ReleaseMutex(raw(mutex)); }

Created create_event(const std::string& name, bool manual_reset, bool initially_set) {
  SetLastError(ERROR_SUCCESS);
  return created(CreateEventA(nullptr, manual_reset ? TRUE : FALSE, initially_set ? TRUE : FALSE,
                              object_name(name)));
}

bool set_event(const Handle& event) { return event.valid() && SetEvent(raw(event)); }
bool reset_event(const Handle& event) { return event.valid() && ResetEvent(raw(event)); }

Created create_semaphore(const std::string& name, std::int32_t initial, std::int32_t maximum) {
  SetLastError(ERROR_SUCCESS);
  return created(CreateSemaphoreA(nullptr, initial, maximum, object_name(name)));
}

std::optional<std::int32_t> release_semaphore(const Handle& semaphore, std::int32_t count) {
  LONG previous = 0;
  if (!semaphore.valid() || !ReleaseSemaphore(raw(semaphore), count, &previous))
    return std::nullopt;
  return static_cast<std::int32_t>(previous);
}

WaitResult wait_one(const Handle& object, std::uint32_t timeout_ms) {
  if (!object.valid()) return WaitResult{};
  return wait_result(WaitForSingleObject(raw(object), timeout_ms), 1);
}

WaitResult wait_all(std::span<const Handle* const> objects, std::uint32_t timeout_ms) {
  if (objects.empty() || objects.size() > MAXIMUM_WAIT_OBJECTS) return WaitResult{};
  std::vector<HANDLE> handles;
  for (const Handle* object : objects) {
    if (object == nullptr || !object->valid()) return WaitResult{};
    handles.push_back(raw(*object));
  }
  return wait_result(
      WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, timeout_ms),
      handles.size());
}

Created create_mapping(const std::string& name, std::uint32_t size) {
  SetLastError(ERROR_SUCCESS);
  return created(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE | SEC_RESERVE, 0,
                                    size, object_name(name)));
}

MappedView map_view(const Handle& mapping) {
  MappedView view;
  if (!mapping.valid()) return view;
  void* memory = MapViewOfFile(raw(mapping), FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (memory == nullptr) return view;
  // The view is one allocation; its regions (reserved or committed) add up to its size.
  std::size_t size = 0;
  MEMORY_BASIC_INFORMATION region{};
  while (VirtualQuery(static_cast<char*>(memory) + size, &region, sizeof region) != 0 &&
         region.AllocationBase == memory)
    size += region.RegionSize;
  view.data_ = static_cast<std::uint8_t*>(memory);
  view.size_ = static_cast<std::uint32_t>(size);
  return view;
}

void MappedView::unmap() {
  if (data_ != nullptr) UnmapViewOfFile(data_);
}

bool MappedView::commit(std::uint32_t offset, std::uint32_t length) {
  if (data_ == nullptr || offset > size_ || length > size_ - offset) return false;
  if (length == 0) return true;
  return VirtualAlloc(data_ + offset, length, MEM_COMMIT, PAGE_READWRITE) != nullptr;
}

std::uint32_t page_size() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.dwPageSize;
}

}  // namespace adpurge::platform
