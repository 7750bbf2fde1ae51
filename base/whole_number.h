// Reading whole numbers written in decimal: settings values, setup fields, command-line
// arguments, statistics labels, list cells, ports and status codes all go through one
// reader.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ferrowyn {

// Whether a sign may come before the digits.
enum class Signs { kNone, kPlusOrMinus };

// Reads `text` when it is exactly: one "+" or "-" (only with Signs::kPlusOrMinus), then one
// or more of the digits 0 to 9, and nothing else: no blanks, no second sign, no other
// digits. The value must lie within [low, high]; a text whose value lies outside it (even
// beyond the 64-bit range, however many digits it has) is unreadable, as is any other
// text (nullopt). Leading zeros are allowed. Pure; any thread; never throws.
std::optional<std::int64_t> ReadDecimal(std::string_view text, Signs signs, std::int64_t low,
                                        std::int64_t high);

// The settings' form: ReadDecimal with a sign allowed, within the range of a 32-bit signed
// integer. Pure; any thread; never throws.
std::optional<int> ReadWholeNumber(std::string_view text);

}  // namespace ferrowyn
