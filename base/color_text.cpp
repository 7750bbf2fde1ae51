// Colour text: the sixteen standard names and the "$00BBGGRR" form.
#include "base/color_text.h"

#include <array>
#include <cstdio>

#include "base/case_folding.h"
#include "base/whole_number.h"

namespace ferrowyn {

namespace {
constexpr std::array<StandardColor, 16> kStandardColors{{
    {"clBlack", {0x00, 0x00, 0x00}},
    {"clMaroon", {0x80, 0x00, 0x00}},
    {"clGreen", {0x00, 0x80, 0x00}},
    {"clOlive", {0x80, 0x80, 0x00}},
    {"clNavy", {0x00, 0x00, 0x80}},
    {"clPurple", {0x80, 0x00, 0x80}},
    {"clTeal", {0x00, 0x80, 0x80}},
    {"clGray", {0x80, 0x80, 0x80}},
    {"clSilver", {0xC0, 0xC0, 0xC0}},
    {"clRed", {0xFF, 0x00, 0x00}},
    {"clLime", {0x00, 0xFF, 0x00}},
    {"clYellow", {0xFF, 0xFF, 0x00}},
    {"clBlue", {0x00, 0x00, 0xFF}},
    {"clFuchsia", {0xFF, 0x00, 0xFF}},
    {"clAqua", {0x00, 0xFF, 0xFF}},
    {"clWhite", {0xFF, 0xFF, 0xFF}},
}};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::uint32_t> ReadColorNumber(std::string_view text) {
  if (!text.empty() && text.front() == '$') {
    text.remove_prefix(1);
    if (text.empty() || text.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
      const int digit = HexDigit(c);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
  }
  const std::optional<int> number = ReadWholeNumber(text);
  if (!number || *number < 0) return std::nullopt;
  return static_cast<std::uint32_t>(*number);
}
}  // namespace

std::span<const StandardColor> StandardColors() { return kStandardColors; }

std::string ColorToString(Rgb color) {
  for (const auto& standard : kStandardColors) {
    if (standard.rgb == color) return std::string(standard.name);
  }
  char text[10];
  std::snprintf(text, sizeof text, "$00%02X%02X%02X", color.blue, color.green, color.red);
  return text;
}

std::optional<Rgb> StringToColor(std::string_view text) {
  for (const auto& standard : kStandardColors) {
    if (EqualsIgnoringLatin1Case(text, standard.name)) return standard.rgb;
  }
  const std::optional<std::uint32_t> value = ReadColorNumber(text);
  if (!value || *value > 0x00FFFFFFu) return std::nullopt;
  return Rgb{static_cast<std::uint8_t>(*value & 0xFF),
             static_cast<std::uint8_t>((*value >> 8) & 0xFF),
             static_cast<std::uint8_t>((*value >> 16) & 0xFF)};
}

}  // namespace ferrowyn
