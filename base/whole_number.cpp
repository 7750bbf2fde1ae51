// The decimal whole-number reader.
#include "base/whole_number.h"

#include <limits>

namespace ferrowyn {

std::optional<std::int64_t> ReadDecimal(std::string_view text, Signs signs, std::int64_t low,
                                        std::int64_t high) {
  bool negative = false;
  if (signs == Signs::kPlusOrMinus && !text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // The magnitude is gathered as unsigned, so that the most negative value is readable;
  // past this limit no value can lie within [low, high].
  constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;
  std::uint64_t magnitude = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    if (magnitude > (kLimit - static_cast<std::uint64_t>(c - '0')) / 10) return std::nullopt;
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
  }
  std::int64_t value = 0;
  if (negative) {
    value = magnitude == kLimit ? std::numeric_limits<std::int64_t>::min()
                                : -static_cast<std::int64_t>(magnitude);
  } else {
    if (magnitude == kLimit) return std::nullopt;
    value = static_cast<std::int64_t>(magnitude);
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::optional<int> ReadWholeNumber(std::string_view text) {
  const std::optional<std::int64_t> value = ReadDecimal(
      text, Signs::kPlusOrMinus, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  if (!value) return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace ferrowyn
