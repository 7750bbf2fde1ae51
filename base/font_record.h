// The font record: a font as the printer, the previews and the font dialog see it. Its
// one-line text form is read and written by app/font_description.h.
#pragma once

#include <string>

#include "base/color_text.h"

namespace ferrowyn {

// Style flags of a font record; combine with |.
enum FontStyle : unsigned {
  kFontBold = 1u << 0,
  kFontItalic = 1u << 1,
  kFontUnderline = 1u << 2,
  kFontStrikeout = 1u << 3,
};

// A plain value.
struct FontRecord {
  std::string name;
  int size = 10;  // points
  Rgb color;
  unsigned style = 0;  // FontStyle flags
  friend bool operator==(const FontRecord&, const FontRecord&) = default;
};

}  // namespace ferrowyn
