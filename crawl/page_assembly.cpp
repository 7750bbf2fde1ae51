// Page assembly in one pass per step. Replacing "until none is left" needs no rescans:
// only "&amp;" can form anew (an "&" put in followed by "amp;"), and that is a run of
// "amp;" after an "&", which the first pass swallows whole.
#include "crawl/page_assembly.h"

#include <string_view>

#include "base/byte_scan.h"

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
  // Each piece but a line's last ends at a break that is not copied, so the text never
  // outgrows the lines plus one space each.
  std::size_t room = 0;
  for (const std::string& line : lines) room += line.size() + 1;
  std::string text;
  text.reserve(room);
  const ByteFinder breaks("\r\n");
  for (const std::string_view line : lines) {
    std::size_t start = 0;
    for (std::size_t i = breaks.Find(line, 0); i < line.size(); i = breaks.Find(line, start)) {
      AppendTrimmedPiece(text, line.substr(start, i - start));
      if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n') ++i;
      start = i + 1;
    }
    // The piece after the last break, empty or not: a line ends with its own break.
    AppendTrimmedPiece(text, line.substr(start));
  }
  return text;
}

bool At(std::string_view text, std::size_t i, std::string_view word) {
  return text.substr(i, word.size()) == word;
}

// Copies `text` to `out` stretch by stretch between the "&"s; `entity` is called at each
// "&" (position i) and gives where copying goes on, having appended what the "&" and what
// it consumed become.
template <typename Entity>
std::string DecodeAtAmpersands(std::string_view text, Entity entity) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  const ByteFinder ampersand("&");
  for (std::size_t amp = ampersand.Find(text, 0); amp < text.size();
       amp = ampersand.Find(text, i)) {
    out.append(text.substr(i, amp - i));
    i = entity(out, amp);
  }
  out.append(text.substr(i));
  return out;
}

std::string DecodeAmpersands(std::string_view text) {
  return DecodeAtAmpersands(text, [&](std::string& out, std::size_t i) {
    out += '&';
    if (!At(text, i, "&amp;")) return i + 1;
    i += 5;
    while (At(text, i, "amp;")) i += 4;
    return i;
  });
}

// "&quot;" and "&copy" cannot overlap one another or form anew, so one pass does both.
std::string DecodeQuotesAndCopyright(std::string_view text) {
  return DecodeAtAmpersands(text, [&](std::string& out, std::size_t i) {
    if (At(text, i, "&quot;")) {
      out += '"';
      return i + 6;
    }
    if (At(text, i, "&copy")) {
      out += '\xA9';
      return i + 5;
    }
    out += '&';
    return i + 1;
  });
}

// "&nbsp;" holds no CR, LF or tab, so the order of the two replacements does not matter.
std::string BlankControlsAndSpaces(std::string_view text) {
  std::string out = DecodeAtAmpersands(text, [&](std::string& decoded, std::size_t i) {
    const bool space = At(text, i, "&nbsp;");
    decoded += space ? ' ' : '&';
    return i + (space ? 6 : 1);
  });
  for (char& c : out) c = (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
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
