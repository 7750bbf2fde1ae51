// What each build supplies beneath the shared parts of the platform layer (the clock hooks).
#pragma once

#include <cstdint>

namespace adpurge::platform::native {

std::uint32_t tick_count();
void sleep_ms(std::uint32_t ms);

}  // namespace adpurge::platform::native
