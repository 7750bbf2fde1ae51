// The slot text cut to the view's width.
#include "base/slot_status.h"

namespace ferrowyn {

std::string FitSlotStatus(std::string_view text, const TextWidthFunction& width) {
  std::string_view kept = text;
  while (!kept.empty() && width(kept) > kSlotStatusWidth) kept.remove_suffix(1);
  std::string result(kept);
  if (kept.size() != text.size()) result += "...";
  return result;
}

int FixedTextWidth(std::string_view text) { return static_cast<int>(text.size()) * 6; }

}  // namespace ferrowyn
