// The query text conversion in a few forward passes. Each removal that "searches the text
// again from its start" only ever finds its next match at or after the place where the
// previous one closed up, because everything before that place was searched already and
// holds no match; so one pass that writes the kept text and looks back only at its tail
// gives the same result as the rescans.
#include "crawl/query_text.h"

#include <algorithm>
#include <array>

namespace ferrowyn {

namespace {

constexpr std::size_t npos = std::string::npos;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// True when `out` ends with `word` (lower case) regardless of the case of ASCII letters.
bool EndsWithFolded(const std::string& out, std::string_view word) {
  if (out.size() < word.size() || LowerAscii(out.back()) != word.back()) return false;
  const char* tail = out.data() + out.size() - word.size();
  for (std::size_t k = 0; k + 1 < word.size(); ++k) {
    if (LowerAscii(tail[k]) != word[k]) return false;
  }
  return true;
}

// The title stretch goes once: from the first "<title>" through the first "</title>".
void RemoveTitle(std::string& text) {
  std::string lower(text.size(), '\0');
  std::transform(text.begin(), text.end(), lower.begin(), LowerAscii);
  const std::size_t open = lower.find("<title>");
  const std::size_t close = lower.find("</title>");
  if (open != npos && close != npos && close > open) text.erase(open, close + 8 - open);
}

// Removes `open` ... `close` stretches while the first `close` comes after the first `open`
// (patterns in lower case, matched regardless of ASCII case).
//
// The kept text is built in `out`, which never holds a whole `open` or `close`: the text
// before the first `open` holds neither (a `close` there would come first and end the
// removals). So the first `open` and the first `close` of the text as it stands are the
// first ones to complete at the end of `out` as characters are moved over. For the pairs
// used here, whichever of an `open` and a `close` begins first also ends first (the only
// overlap they allow is "<!-->", where the "<!--" is first both ways), so "comes first" can
// be decided at the moment either completes.
std::string RemoveSpans(std::string_view text, std::string_view open, std::string_view close) {
  std::string out;
  out.reserve(text.size());
  std::size_t open_at = npos;  // where the first `open` of `out` begins
  const char open_end = open.back();
  const char close_end = close.back();
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Only a character that can end `open` or `close` changes anything: copy up to the
    // next one in a single piece.
    std::size_t next = i;
    while (next < text.size() && LowerAscii(text[next]) != open_end &&
           LowerAscii(text[next]) != close_end) {
      ++next;
    }
    if (next == text.size()) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, next + 1 - i));
    i = next;
    if (open_at == npos && EndsWithFolded(out, open)) open_at = out.size() - open.size();
    if (!EndsWithFolded(out, close)) continue;
    if (open_at == npos) {
      // The first `close` comes before any `open`: no stretch is removed any more.
      out.append(text.substr(i + 1));
      break;
    }
    out.resize(open_at);  // `open` through `close` goes; the rest is searched on
    open_at = npos;
  }
  return out;
}

enum class TagAction { kDelete, kSpace, kStop };

constexpr std::array<std::string_view, 18> kSpaceTags = {
    "<hr>",    "</center>", "<li>",     "<dt>",         "<dd>",          "</ul>",
    "</ol>",   "</dl>",     "</table>", "<blockquote>", "</blockquote>", "</div>",
    "</form>", "<br>",      "<p>",      "</td>",        "</th>",         "</tr>"};
constexpr std::array<std::string_view, 8> kSpacePrefixes = {"<form", "<h",  "</h", "<p align",
                                                            "<div",  "<td", "<th", "<tr"};
// No tag word or prefix above is longer; only this much of a tag needs lower-casing.
constexpr std::size_t kTagWordLimit = 14;

TagAction ClassifyTag(std::string_view tag) {
  std::string lower(tag.substr(0, kTagWordLimit));
  for (char& c : lower) c = LowerAscii(c);
  const bool whole = tag.size() <= kTagWordLimit;  // `lower` is the whole tag
  if (whole && lower == "<eof>") return TagAction::kStop;
  if (whole && (lower == "<html>" || lower == "<head>")) return TagAction::kDelete;
  for (std::string_view word : kSpaceTags) {
    if (whole && lower == word) return TagAction::kSpace;
  }
  for (std::string_view prefix : kSpacePrefixes) {
    if (std::string_view(lower).starts_with(prefix)) return TagAction::kSpace;
  }
  return TagAction::kDelete;
}

// The tag removal from the front. The kept text never holds "<" or ">", so the first "<"
// and ">" of the text as it stands are always the next ones after the place reached.
std::string RemoveTags(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  for (;;) {
    const std::size_t open = text.find('<', i);
    if (open == npos) {  // no "<": done, and any ">" left over stays
      out.append(text.substr(i));
      break;
    }
    // Each ">" before that "<" is a stray one and goes.
    for (std::size_t k = i; k < open; ++k) {
      if (text[k] != '>') out += text[k];
    }
    const std::size_t close = text.find('>', open);
    if (close == npos) {
      out.append(text.substr(open));
      break;
    }
    const TagAction action = ClassifyTag(text.substr(open, close + 1 - open));
    i = close + 1;
    if (action == TagAction::kStop) {
      out.append(text.substr(i));
      break;
    }
    if (action == TagAction::kSpace) out += ' ';
  }
  return out;
}

}  // namespace

std::string MakeQueryText(std::string_view PageText, const QueryTextSettings& settings) {
  std::string text(PageText);
  if (!settings.WithinTitles) RemoveTitle(text);
  if (!settings.WithinComments) text = RemoveSpans(text, "<!--", "-->");
  if (!settings.WithinTags) {
    text = RemoveSpans(text, "<script", "</script>");
    text = RemoveSpans(text, "<style", "</style>");
    text = RemoveTags(text);
  }
  return text;
}

std::string MakeQueryText(std::string_view PageText, const QueryTextSettings& settings,
                          const std::atomic<bool>& Stopping) {
  if (Stopping.load()) return {};
  return MakeQueryText(PageText, settings);
}

}  // namespace ferrowyn
