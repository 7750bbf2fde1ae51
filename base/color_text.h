// Colours as the settings keep them: 24-bit RGB, written as one of the sixteen
// standard names ("clRed") or as "$00BBGGRR".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ferrowyn {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct StandardColor {
  std::string_view name;  // with its "cl" prefix, e.g. "clNavy"
  Rgb rgb;
};

// The sixteen standard colours, in their traditional order (black first).
std::span<const StandardColor> StandardColors();

inline constexpr Rgb kBlack{0x00, 0x00, 0x00};
inline constexpr Rgb kRed{0xFF, 0x00, 0x00};

// The colour text: the standard name when `color` is exactly one of the sixteen,
// otherwise "$00" followed by blue, green and red as upper-case hexadecimal.
std::string ColorToString(Rgb color);

// Reads a colour text: a standard name in any letter case, "$" followed by one to
// eight hexadecimal digits, or decimal digits; the number is the 32-bit colour
// value 0x00BBGGRR. Numbers above 0x00FFFFFF name system or palette colours that
// have no fixed RGB value and are unreadable here, as is any other text (nullopt).
std::optional<Rgb> StringToColor(std::string_view text);

}  // namespace ferrowyn
