// Font descriptions: the one-line text ("Times New Roman,12,Bold,Black,Underline")
// in which the printing fonts are kept, and the font record it is read into.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "base/font_record.h"

namespace ferrowyn {

// "Times New Roman", 10 points, black, no style: what an unusable description
// (fewer than two commas) reads as.
FontRecord FallbackFont();

// A description that names no readable size or no colour. what() is the message
// shown to the user.
class EFontDescriptionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads `description` into `font`. With fewer than two commas `font` becomes
// FallbackFont(). Otherwise the fields are set in the order name, size, colour,
// style; when the size is not a whole number or no colour word is present this
// throws EFontDescriptionError at that field, and `font` keeps the fields set
// before it and its old values for the rest (callers rely on this partial update).
// Pure apart from `font`; any thread.
void ReadFontDescription(std::string_view description, FontRecord& font);

// Builds the description of `font`: face name, size, ",Bold", ",Italic",
// ",Underline", ",Strikeout" for each style set, then "," and the colour word
// (the colour's standard name without "cl"; "Black" for the window text colour).
// A colour outside the sixteen is written in its "$00BBGGRR" form, which no
// description reader accepts, so font choosers offer the sixteen only.
std::string BuildFontDescription(const FontRecord& font);

}  // namespace ferrowyn
