// Reading and building font descriptions.
#include "app/font_description.h"

#include <algorithm>
#include <array>

#include "app/text_forms.h"

namespace ferrowyn {

namespace {
struct ColorWord {
  std::string_view word;
  Rgb rgb;
};

// Searched in this order and the first one present decides; "gray" comes before
// "ltgray", so "ltgray" can never decide. "dkgray" is the standard gray.
constexpr std::array<ColorWord, 18> kColorWords{{
    {"black", {0x00, 0x00, 0x00}},
    {"blue", {0x00, 0x00, 0xFF}},
    {"dkgray", {0x80, 0x80, 0x80}},
    {"fuchsia", {0xFF, 0x00, 0xFF}},
    {"aqua", {0x00, 0xFF, 0xFF}},
    {"gray", {0x80, 0x80, 0x80}},
    {"green", {0x00, 0x80, 0x00}},
    {"lime", {0x00, 0xFF, 0x00}},
    {"ltgray", {0xC0, 0xC0, 0xC0}},
    {"maroon", {0x80, 0x00, 0x00}},
    {"navy", {0x00, 0x00, 0x80}},
    {"olive", {0x80, 0x80, 0x00}},
    {"purple", {0x80, 0x00, 0x80}},
    {"red", {0xFF, 0x00, 0x00}},
    {"teal", {0x00, 0x80, 0x80}},
    {"silver", {0xC0, 0xC0, 0xC0}},
    {"white", {0xFF, 0xFF, 0xFF}},
    {"yellow", {0xFF, 0xFF, 0x00}},
}};

struct StyleWord {
  std::string_view word;
  unsigned flag;
};
constexpr std::array<StyleWord, 4> kStyleWords{{
    {"Bold", kFontBold},
    {"Italic", kFontItalic},
    {"Underline", kFontUnderline},
    {"Strikeout", kFontStrikeout},
}};
}  // namespace

FontRecord FallbackFont() { return FontRecord{"Times New Roman", 10, kBlack, 0}; }

void ReadFontDescription(std::string_view description, FontRecord& font) {
  if (std::count(description.begin(), description.end(), ',') < 2) {
    font = FallbackFont();
    return;
  }
  const size_t first_comma = description.find(',');
  const std::string_view name = description.substr(0, first_comma);
  const std::string_view rest = description.substr(first_comma + 1);
  const std::string_view size_text = rest.substr(0, rest.find(','));

  // Style words are matched with exact case, anywhere in the rest, even inside
  // other words.
  unsigned style = 0;
  for (const auto& word : kStyleWords) {
    if (rest.find(word.word) != std::string_view::npos) style |= word.flag;
  }
  const std::string lower_rest = AsciiLower(rest);
  const ColorWord* color = nullptr;
  for (const auto& word : kColorWords) {
    if (lower_rest.find(word.word) != std::string::npos) {
      color = &word;
      break;
    }
  }

  font.name = std::string(name);
  const std::optional<int> size = ReadWholeNumber(size_text);
  if (!size) {
    throw EFontDescriptionError("\"" + std::string(size_text) + "\" is not a valid font size.");
  }
  font.size = *size;
  if (color == nullptr) {
    throw EFontDescriptionError("The font description \"" + std::string(description) +
                                "\" names no colour.");
  }
  font.color = color->rgb;
  font.style = style;
}

std::string BuildFontDescription(const FontRecord& font) {
  std::string text = font.name + "," + std::to_string(font.size);
  for (const auto& word : kStyleWords) {
    if (font.style & word.flag) text += "," + std::string(word.word);
  }
  std::string color = ColorToString(font.color);
  if (color.size() >= 2 && AsciiLower(color.substr(0, 2)) == "cl") color.erase(0, 2);
  if (AsciiLower(color).find("windowtext") != std::string::npos) color = "Black";
  return text + "," + color;
}

}  // namespace ferrowyn
