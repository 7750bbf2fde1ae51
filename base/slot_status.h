// The slot row's action text, cut to the width of the slot view: the crawl and the query
// workers both report through it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace ferrowyn {

// Measures the pixel width of a text in the page list's font.
using TextWidthFunction = std::function<int(std::string_view text)>;

// The slot view's Action column shows at most this many pixels of text.
inline constexpr int kSlotStatusWidth = 510;

// Cuts characters from the end of `text` until it measures at most kSlotStatusWidth;
// when anything was cut, "..." is appended.
std::string FitSlotStatus(std::string_view text, const TextWidthFunction& width);

// A fixed measure for runs without a display (tests, ferrowyn-cli): 6 pixels a character,
// so 85 characters fit.
int FixedTextWidth(std::string_view text);

}  // namespace ferrowyn
