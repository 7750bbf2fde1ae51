// Reading whole numbers written in decimal, as settings values, setup fields and
// command-line arguments hold them.
#pragma once

#include <optional>
#include <string_view>

namespace ferrowyn {

// An optional "+" or "-" followed by one or more decimal digits, nothing else (no
// blanks), within the range of a 32-bit signed integer. Anything else is unreadable
// (nullopt). Pure; any thread.
std::optional<int> ReadWholeNumber(std::string_view text);

}  // namespace ferrowyn
