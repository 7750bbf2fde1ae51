// Page assembly in one pass per step. Replacing "until none is left" needs no rescans:
// only "&amp;" can form anew (an "&" put in followed by "amp;"), and that is a run of
// "amp;" after an "&", which the first pass swallows whole.
#include "crawl/page_assembly.h"

#include <string_view>

namespace ferrowyn {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

void AppendTrimmedPiece(std::string& text, std::string_view piece) {
  while (!piece.empty() && IsBlank(piece.front())) piece.remove_prefix(1);
  while (!piece.empty() && IsBlank(piece.back())) piece.remove_suffix(1);
  text += ' ';
  text.append(piece);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    size_t start = 0;
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] != '\r' && line[i] != '\n') continue;
      AppendTrimmedPiece(text, std::string_view(line).substr(start, i - start));
      if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n') ++i;
      start = i + 1;
    }
    // The piece after the last break, empty or not: a line ends with its own break.
    AppendTrimmedPiece(text, std::string_view(line).substr(start));
  }
  return text;
}

bool At(std::string_view text, size_t i, std::string_view word) {
  return text.substr(i, word.size()) == word;
}

std::string DecodeAmpersands(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    out += text[i];
    if (text[i] == '&' && At(text, i, "&amp;")) {
      i += 5;
      while (At(text, i, "amp;")) i += 4;
    } else {
      ++i;
    }
  }
  return out;
}

// "&quot;" and "&copy" cannot overlap one another or form anew, so one pass does both.
std::string DecodeQuotesAndCopyright(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '&' && At(text, i, "&quot;")) {
      out += '"';
      i += 6;
    } else if (text[i] == '&' && At(text, i, "&copy")) {
      out += '\xA9';
      i += 5;
    } else {
      out += text[i++];
    }
  }
  return out;
}

std::string BlankControlsAndSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\r' || c == '\n' || c == '\t') {
      out += ' ';
      ++i;
    } else if (c == '&' && At(text, i, "&nbsp;")) {
      out += ' ';
      i += 6;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

}  // namespace

AssembledPage AssemblePage(const std::vector<std::string>& PageLines) {
  AssembledPage page;
  page.DisplayText = DecodeQuotesAndCopyright(DecodeAmpersands(JoinLines(PageLines)));
  page.PageText = BlankControlsAndSpaces(page.DisplayText);
  return page;
}

}  // namespace ferrowyn
