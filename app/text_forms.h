// Text forms shared by the settings values: whole numbers, blanks trimming and the
// case-insensitive comparison used by the file type list and the histories.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ferrowyn {

// Reads a whole number the way every settings value and setup field is read: an
// optional "+" or "-" followed by one or more decimal digits, nothing else (no
// blanks), within the range of a 32-bit signed integer. Anything else is
// unreadable (nullopt). Pure; any thread.
std::optional<int> ReadWholeNumber(std::string_view text);

// Removes leading and trailing blanks and control characters (every byte up to
// and including the space). Pure; any thread.
std::string TrimBlanks(std::string_view text);

// Equality without regard to letter case: ASCII and Latin-1 letters are folded,
// every other byte compares as itself. Pure; any thread.
bool SameText(std::string_view a, std::string_view b);

// Lower-cases ASCII letters only (the colour words of a font description are ASCII).
std::string AsciiLower(std::string_view text);

}  // namespace ferrowyn
