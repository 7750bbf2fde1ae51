// The clock of both builds: the system's, unless a test has put its own in place.
#include <mutex>
#include <utility>

#include "adpurge/platform/native.h"
#include "adpurge/platform/platform.h"

namespace adpurge::platform {
namespace {

struct Hooks {
  std::mutex lock;
  std::function<std::uint32_t()> ticks;
  std::function<void(std::uint32_t)> sleep;
};

Hooks& hooks() {
  static Hooks instance;
  return instance;
}

}  // namespace

std::uint32_t tick_count() {
  std::function<std::uint32_t()> ticks;
  {
    std::lock_guard guard(hooks().lock);
    ticks = hooks().ticks;
  }
  return ticks ? ticks() : native::tick_count();
}

void sleep_ms(std::uint32_t ms) {
  std::function<void(std::uint32_t)> sleep;
  {
    std::lock_guard guard(hooks().lock);
    sleep = hooks().sleep;
  }
  if (sleep) {
    sleep(ms);
  } else {
    native::sleep_ms(ms);
  }
}

void set_clock(std::function<std::uint32_t()> ticks, std::function<void(std::uint32_t)> sleep) {
  std::lock_guard guard(hooks().lock);
  hooks().ticks = std::move(ticks);
  hooks().sleep = std::move(sleep);
}

}  // namespace adpurge::platform
