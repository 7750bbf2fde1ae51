// Moving and dropping the handle objects of both builds; what closing means is each build's.
#include "adpurge/platform/platform.h"

namespace adpurge::platform {

Handle::~Handle() { close(); }

Handle::Handle(Handle&& other) noexcept : value_(other.value_) { other.value_ = 0; }

Handle& Handle::operator=(Handle&& other) noexcept {
  if (this != &other) {
    close();
    value_ = other.value_;
    other.value_ = 0;
  }
  return *this;
}

Handle Handle::adopt(std::uintptr_t value) {
  Handle handle;
  handle.value_ = value;
  return handle;
}

MappedView::~MappedView() { unmap(); }

MappedView::MappedView(MappedView&& other) noexcept : data_(other.data_), size_(other.size_) {
  other.data_ = nullptr;
  other.size_ = 0;
}

MappedView& MappedView::operator=(MappedView&& other) noexcept {
  if (this != &other) {
    unmap();
    data_ = other.data_;
    size_ = other.size_;
    other.data_ = nullptr;
    other.size_ = 0;
  }
  return *this;
}

File::~File() { close(); }

File::File(File&& other) noexcept : value_(other.value_), extra_(other.extra_) {
  other.value_ = 0;
  other.extra_ = 0;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    value_ = other.value_;
    extra_ = other.extra_;
    other.value_ = 0;
    other.extra_ = 0;
  }
  return *this;
}

Process::~Process() { close_handle(); }

Process::Process(Process&& other) noexcept
    : value_(other.value_), id_(other.id_), ended_(other.ended_), exit_code_(other.exit_code_) {
  other.value_ = 0;
  other.id_ = 0;
  other.ended_ = false;
  other.exit_code_ = 0;
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    close_handle();
    value_ = other.value_;
    id_ = other.id_;
    ended_ = other.ended_;
    exit_code_ = other.exit_code_;
    other.value_ = 0;
    other.id_ = 0;
    other.ended_ = false;
    other.exit_code_ = 0;
  }
  return *this;
}

}  // namespace adpurge::platform
