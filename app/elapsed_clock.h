// The elapsed-time clock of a crawl: the text "HH:MM:SS" advanced by one second
// per tick, with hours that grow past two digits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ferrowyn {

// The clock's text at the start of every crawl.
inline constexpr char kElapsedZero[] = "00:00:00";

// `text` one second later, each part written with at least two digits
// ("00:00:59" -> "00:01:00", "99:59:59" -> "100:00:00"); nullopt when `text` is
// not three whole numbers of at least zero separated by ":". Pure; any thread.
std::optional<std::string> AdvanceElapsedClock(std::string_view text);

}  // namespace ferrowyn
