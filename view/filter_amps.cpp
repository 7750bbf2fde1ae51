// Doubling the ampersands of a message box text.
#include "view/filter_amps.h"

#include <algorithm>

namespace ferrowyn {

void filteramps(std::string& text) {
  const auto count = std::count(text.begin(), text.end(), '&');
  if (count == 0) return;
  std::string doubled;
  doubled.reserve(text.size() + static_cast<std::size_t>(count));
  for (const char c : text) {
    doubled += c;
    if (c == '&') doubled += '&';
  }
  text = std::move(doubled);
}

}  // namespace ferrowyn
