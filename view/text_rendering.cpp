// The text-only conversion and line cutting in forward passes. Every removal below is
// described as "search the text again from its start", but each search can only find its
// next match at or behind the place where the previous change closed up (everything in
// front of it was searched already), so one pass that writes the kept text and looks back
// only at its tail gives the same text.
#include "view/text_rendering.h"

#include <array>

#include "base/case_folding.h"

namespace ferrowyn {

namespace {

constexpr std::size_t npos = std::string::npos;

// While the tag scan runs, the breaks it writes carry these bytes in place of "<" and ">".
constexpr char kOpenPlaceholder = '\xA5';
constexpr char kClosePlaceholder = '\xB5';

// Whether `out` ends with `word` (given in lower case), ASCII case ignored.
bool EndsWithFolded(const std::string& out, std::string_view word) {
  if (out.size() < word.size()) return false;
  const char* tail = out.data() + out.size() - word.size();
  for (std::size_t k = word.size(); k-- > 0;) {
    if (AsciiLower(tail[k]) != word[k]) return false;
  }
  return true;
}

// The first `open` through the first `close` goes, once, when `close` comes after `open`.
void RemoveFirstSpan(std::string& text, std::string_view open, std::string_view close) {
  const std::string lower = AsciiLower(text);
  const std::size_t a = lower.find(open);
  const std::size_t b = lower.find(close);
  if (a != npos && b != npos && a < b) text.erase(a, b + close.size() - a);
}

// Deletes `open` ... `close` stretches while the first `close` comes after the first `open`.
//
// `out` holds the kept text so far and never a whole `close`; `open_at` is where its first
// `open` begins. When a `close` completes at the end of `out`, it is the first `close` of
// the text as it now stands, and the first `open` (if any) is the one at `open_at`: for the
// pairs used here ("<script"/"</script>", "<style"/"</style>", "<!--"/"-->") an `open` that
// begins in front of a `close` also ends in front of its end, and neither overlaps itself,
// so whichever begins first is seen complete first. Cutting `out` back to `open_at` leaves
// text that held neither, and the scan goes on with what follows the `close`.
std::string RemoveSpans(std::string_view text, std::string_view open, std::string_view close) {
  // Only a byte that can end `open` or `close` can complete one; runs of other bytes are
  // copied as they are.
  bool ends[256] = {};
  for (const char last : {open.back(), close.back()}) {
    ends[static_cast<unsigned char>(last)] = true;
    if (last >= 'a' && last <= 'z') ends[static_cast<unsigned char>(last - 32)] = true;
  }
  std::string out;
  out.reserve(text.size());
  std::size_t open_at = npos;
  const char* const data = text.data();
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t run = i;
    while (run < n && !ends[static_cast<unsigned char>(data[run])]) ++run;
    out.append(data + i, run - i);
    if (run == n) break;
    i = run;
    out += data[i];
    if (open_at == npos && EndsWithFolded(out, open)) open_at = out.size() - open.size();
    if (!EndsWithFolded(out, close)) continue;
    if (open_at == npos) {  // a `close` before any `open`: nothing more goes
      out.append(text.substr(i + 1));
      break;
    }
    out.resize(open_at);
    open_at = npos;
  }
  return out;
}

enum class TagAction { kDelete, kLineBreak, kParagraph, kKeep, kBlank, kEnd };

constexpr std::array<std::string_view, 13> kLineBreakTags = {
    "<hr>",  "</center>", "<li>",         "<dt>",          "<dd>",   "</ul>",  "</ol>",
    "</dl>", "</table>",  "<blockquote>", "</blockquote>", "</div>", "</form>"};
// No tag word or prefix above is longer, so only this much of a tag is ever compared.
constexpr std::size_t kTagWordLimit = 14;

TagAction ClassifyTag(std::string_view tag) {
  const std::string lower = AsciiLower(tag.substr(0, kTagWordLimit));
  const std::string_view word(lower);
  const bool whole = tag.size() <= kTagWordLimit;  // `word` is the whole tag
  if (whole && (word == "<html>" || word == "<head>")) return TagAction::kDelete;
  if (word.starts_with("<tr") || word.starts_with("<form")) return TagAction::kLineBreak;
  if (whole) {
    for (std::string_view line_break : kLineBreakTags) {
      if (word == line_break) return TagAction::kLineBreak;
    }
  }
  if (word.starts_with("<h") || word.starts_with("<p align") || word.starts_with("<div") ||
      word.starts_with("</h"))
    return TagAction::kParagraph;
  if (whole && (word == "<br>" || word == "<p>")) return TagAction::kKeep;
  if (word.starts_with("<td") || word.starts_with("<th") || (whole && word == "</td>") ||
      (whole && word == "</th>"))
    return TagAction::kBlank;
  if (whole && word == "<eof>") return TagAction::kEnd;
  return TagAction::kDelete;
}

// The tag scan. What it has written holds no "<" and no ">", so the first "<" and ">" of
// the text as it stands are always the next ones behind the place reached.
std::string ScanTags(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  for (;;) {
    const std::size_t lt = text.find('<', i);
    if (lt == npos) {  // the scan ends; a ">" left over stays
      out.append(text.substr(i));
      break;
    }
    for (std::size_t k = i; k < lt; ++k) {  // each ">" in front of the "<" goes
      if (text[k] != '>') out += text[k];
    }
    const std::size_t gt = text.find('>', lt);
    if (gt == npos) {
      out.append(text.substr(lt));
      break;
    }
    const std::string_view tag = text.substr(lt, gt + 1 - lt);
    i = gt + 1;
    switch (ClassifyTag(tag)) {
      case TagAction::kDelete:
        break;
      case TagAction::kLineBreak:
        out += kOpenPlaceholder;
        out += "br";
        out += kClosePlaceholder;
        break;
      case TagAction::kParagraph:
        out += kOpenPlaceholder;
        out += "p";
        out += kClosePlaceholder;
        break;
      case TagAction::kKeep:
        out += kOpenPlaceholder;
        out.append(tag.substr(1, tag.size() - 2));
        out += kClosePlaceholder;
        break;
      case TagAction::kBlank:
        out += ' ';
        break;
      case TagAction::kEnd:
        out.append(text.substr(i));
        return out;
    }
  }
  return out;
}

// Placeholders to angle brackets, then "&nbsp;" to a blank. The entity holds no
// placeholder byte, so one pass does both.
std::string FinishMarkers(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == kOpenPlaceholder) {
      out += '<';
    } else if (c == kClosePlaceholder) {
      out += '>';
    } else if (c == '&' && text.substr(i, 6) == "&nbsp;") {
      out += ' ';
      i += 5;
    } else {
      out += c;
    }
  }
  return out;
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 0x20; }

bool IsBlankLine(std::string_view line) {
  while (!line.empty() && IsTrimmed(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsTrimmed(line.back())) line.remove_suffix(1);
  if (line.empty()) return true;
  const std::string lower = AsciiLower(line.substr(0, 5));
  return line.size() <= 4 && (lower == "<br>" || lower == "<p>");
}

// The length of a break marker ("<br>" or "<p>", any case) at `at`, or 0.
std::size_t MarkerAt(std::string_view text, std::size_t at) {
  if (text[at] != '<') return 0;
  const std::string lower = AsciiLower(text.substr(at + 1, 3));
  if (lower == "br>") return 4;
  if (lower.starts_with("p>")) return 3;
  return 0;
}

}  // namespace

std::string formathtmltags(std::string_view text) {
  std::string work(text);
  work += "<eof>";
  RemoveFirstSpan(work, "<title>", "</title>");
  work = RemoveSpans(work, "<script", "</script>");
  work = RemoveSpans(work, "<style", "</style>");
  work = RemoveSpans(work, "<!--", "-->");
  return FinishMarkers(ScanTags(work));
}

std::vector<std::string> TextOnlyLines(std::string_view formatted) {
  std::vector<std::string> cut;
  std::size_t start = 0;
  for (std::size_t i = 0; i < formatted.size(); ++i) {
    if (const std::size_t marker = MarkerAt(formatted, i)) {
      cut.emplace_back(formatted.substr(start, i + marker - start));
      start = i + marker;
      i = start - 1;
    }
  }
  cut.emplace_back(formatted.substr(start));

  // Of each run of blank lines only the last stays.
  std::vector<std::string> lines;
  lines.reserve(cut.size());
  for (std::size_t i = 0; i < cut.size(); ++i) {
    if (i + 1 < cut.size() && IsBlankLine(cut[i]) && IsBlankLine(cut[i + 1])) continue;
    lines.push_back(std::move(cut[i]));
  }
  if (!lines.empty() && IsBlankLine(lines.front())) lines.erase(lines.begin());
  if (!lines.empty()) {
    std::string& first = lines.front();
    const std::size_t blanks = first.find_first_not_of(' ');
    first.erase(0, blanks == npos ? first.size() : blanks);
    if (first.starts_with("<br>")) {
      first.erase(0, 4);
    } else if (first.starts_with("<p>")) {
      first.erase(0, 3);
    }
  }
  return lines;
}

}  // namespace ferrowyn
