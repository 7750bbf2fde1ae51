// The text-only rendering as a person reads it in a terminal: break and paragraph markers
// as line ends, entities decoded, blanks collapsed, lines wrapped to a width, and the
// marked keywords in reverse video when asked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

struct PlainTextStyle {
  int width = 80;        // columns; at least 1
  bool utf8 = true;      // the terminal's encoding: UTF-8, else Latin-1 ("?" for the rest)
  bool reverse = false;  // marked keywords in reverse video
  // The highlight's opening markup as the rendering wrote it; empty when nothing is marked.
  std::string markopening;
};

// The lines of the text-only rendering (TextOnlyLines, perhaps marked), each ending in
// "\n". Page bytes are the system code page (Windows-1252); every control character,
// raw or from an entity, becomes a blank, so nothing but the reverse-video switches
// reaches the terminal as a control sequence. Tags other than the markers and the
// highlight markup are dropped, as a browser drops unknown tags. Words longer than the
// width are cut. Pure; any thread; throws std::bad_alloc only.
std::string PlainText(const std::vector<std::string>& textlines, const PlainTextStyle& style);

}  // namespace ferrowyn
