// The elapsed-time clock's arithmetic on its displayed text.
#include "app/elapsed_clock.h"

#include <cstdint>
#include <cstdio>
#include <limits>

#include "app/text_forms.h"

namespace ferrowyn {

std::optional<std::string> AdvanceElapsedClock(std::string_view text) {
  std::int64_t parts[3];
  for (int i = 0; i < 3; ++i) {
    const size_t colon = text.find(':');
    if ((i < 2) != (colon != std::string_view::npos)) return std::nullopt;
    const std::optional<int> value = ReadWholeNumber(text.substr(0, colon));
    if (!value || *value < 0) return std::nullopt;
    parts[i] = *value;
    text = i < 2 ? text.substr(colon + 1) : std::string_view();
  }
  auto& [hours, minutes, seconds] = parts;
  // Parts above 59 only come from text typed by hand; they roll over like 59.
  if (++seconds >= 60) {
    seconds = 0;
    if (++minutes >= 60) {
      minutes = 0;
      ++hours;
    }
  }
  // A display of more than 2^31 hours would not read back as a number.
  if (hours > std::numeric_limits<int>::max()) return std::nullopt;
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", static_cast<long long>(hours),
                static_cast<long long>(minutes), static_cast<long long>(seconds));
  return std::string(buffer);
}

}  // namespace ferrowyn
