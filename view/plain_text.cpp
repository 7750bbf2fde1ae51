// Text for a terminal from the text-only rendering.
#include "view/plain_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "base/case_folding.h"
#include "view/highlighting.h"

namespace ferrowyn {

namespace {

constexpr std::string_view kReverseOn = "\x1b[7m";
constexpr std::string_view kReverseOff = "\x1b[27m";
constexpr char32_t kReplacement = 0xFFFD;
constexpr std::size_t kLongestEntity = 12;

// Windows-1252's characters at 0x80..0x9F; 0 where it has none.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The entities of ISO 8859-1's upper half, from 160 on.
constexpr std::array<std::string_view, 96> kLatin1Entities = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct NamedEntity {
  std::string_view name;
  char32_t code;
};
constexpr NamedEntity kOtherEntities[] = {
    {"amp", '&'},      {"lt", '<'},        {"gt", '>'},        {"quot", '"'},
    {"apos", '\''},    {"euro", 0x20AC},   {"trade", 0x2122},  {"hellip", 0x2026},
    {"mdash", 0x2014}, {"ndash", 0x2013},  {"lsquo", 0x2018},  {"rsquo", 0x2019},
    {"ldquo", 0x201C}, {"rdquo", 0x201D},  {"bull", 0x2022},   {"sbquo", 0x201A},
    {"bdquo", 0x201E}, {"dagger", 0x2020}, {"Dagger", 0x2021}, {"permil", 0x2030}};

char32_t FromCodePage(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kCp1252High[byte - 0x80];
  return byte;
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// The entity at `text[at]` ("&..."): its character and length, or length 0.
std::pair<char32_t, std::size_t> Entity(std::string_view text, std::size_t at) {
  const std::size_t semicolon = text.substr(at, kLongestEntity).find(';');
  if (semicolon == std::string_view::npos || semicolon < 2) return {0, 0};
  const std::string_view name = text.substr(at + 1, semicolon - 1);
  const std::size_t length = semicolon + 1;
  if (name.front() == '#') {
    const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return {0, 0};
    std::uint32_t value = 0;
    for (const char c : digits) {
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) return {0, 0};
      value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + digit, 0x110000);
    }
    // As browsers read them: 128..159 in Windows-1252, the impossible ones replaced.
    if (value >= 0x80 && value < 0xA0 && kCp1252High[value - 0x80] != 0)
      return {kCp1252High[value - 0x80], length};
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
      return {kReplacement, length};
    return {value, length};
  }
  for (std::size_t i = 0; i < kLatin1Entities.size(); ++i)
    if (kLatin1Entities[i] == name) return {static_cast<char32_t>(0xA0 + i), length};
  for (const NamedEntity& entity : kOtherEntities)
    if (entity.name == name) return {entity.code, length};
  return {0, 0};
}

bool StartsWithFolded(std::string_view text, std::string_view lower) {
  return text.size() >= lower.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, lower.size()), lower);
}

struct Glyph {
  char32_t code;
  bool marked;
};

// The characters of one line with their marking; blanks collapsed; `depth` carries the
// nesting of the highlight markup from line to line.
std::vector<Glyph> Glyphs(std::string_view line, const PlainTextStyle& style, int& depth) {
  std::vector<Glyph> glyphs;
  auto put = [&](char32_t c) {
    if (IsControl(c) || c == 0xA0) c = ' ';
    if (c == ' ' && (glyphs.empty() || glyphs.back().code == ' ')) return;
    glyphs.push_back({c, depth > 0});
  };
  for (std::size_t i = 0; i < line.size();) {
    if (!style.markopening.empty() && line.substr(i).starts_with(style.markopening)) {
      ++depth;
      i += style.markopening.size();
    } else if (line.substr(i).starts_with(kHighlightClosing)) {
      depth = std::max(0, depth - 1);
      i += kHighlightClosing.size();
    } else if (line[i] == '<') {
      const std::size_t close = line.find('>', i);
      if (close == std::string_view::npos) {
        put('<');
        ++i;
        continue;
      }
      const std::string_view tag = line.substr(i, close - i + 1);
      if (StartsWithFolded(tag, "<br>") || StartsWithFolded(tag, "<p>")) put(' ');
      i = close + 1;
    } else if (line[i] == '&') {
      const auto [code, length] = Entity(line, i);
      put(length == 0 ? U'&' : code);
      i += length == 0 ? 1 : length;
    } else {
      const char32_t c = FromCodePage(static_cast<unsigned char>(line[i]));
      put(c == 0 ? U'?' : c);
      ++i;
    }
  }
  while (!glyphs.empty() && glyphs.back().code == ' ') glyphs.pop_back();
  if (!glyphs.empty() && glyphs.front().code == ' ') glyphs.erase(glyphs.begin());
  return glyphs;
}

void Encode(char32_t c, bool utf8, std::string& out) {
  if (!utf8) {
    out += c < 0x100 ? static_cast<char>(c) : '?';
  } else if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Writes glyphs [begin, end) as one terminal line.
void WriteLine(const std::vector<Glyph>& glyphs, std::size_t begin, std::size_t end,
               const PlainTextStyle& style, std::string& out) {
  bool reversed = false;
  for (std::size_t i = begin; i < end; ++i) {
    const bool want = style.reverse && glyphs[i].marked;
    if (want != reversed) out += want ? kReverseOn : kReverseOff;
    reversed = want;
    Encode(glyphs[i].code, style.utf8, out);
  }
  if (reversed) out += kReverseOff;
  out += '\n';
}

}  // namespace

std::string PlainText(const std::vector<std::string>& textlines, const PlainTextStyle& style) {
  const std::size_t width = static_cast<std::size_t>(std::max(1, style.width));
  std::string out;
  int depth = 0;
  for (const std::string& line : textlines) {
    const std::vector<Glyph> glyphs = Glyphs(line, style, depth);
    std::size_t start = 0;
    do {
      std::size_t end = glyphs.size();
      if (end - start > width) {
        // The last blank that lets the line fit, else a hard cut.
        end = start + width;
        std::size_t blank = end;
        while (blank > start && glyphs[blank].code != ' ') --blank;
        if (blank > start) end = blank;
      }
      WriteLine(glyphs, start, end, style, out);
      start = end;
      while (start < glyphs.size() && glyphs[start].code == ' ') ++start;
    } while (start < glyphs.size());
  }
  return out;
}

}  // namespace ferrowyn
