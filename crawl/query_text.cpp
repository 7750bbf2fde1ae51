// The query text conversion in a few forward passes. Each removal that "searches the text
// again from its start" only ever finds its next match at or after the place where the
// previous one closed up, because everything before that place was searched already and
// holds no match; so one pass that writes the kept text and looks back only at its tail
// gives the same result as the rescans.
#include "crawl/query_text.h"

#include <algorithm>
#include <array>

#include "base/byte_scan.h"
#include "base/case_folding.h"

namespace ferrowyn {

namespace {

constexpr std::size_t npos = std::string::npos;

// True when `text` is `word` (lower case) regardless of the case of ASCII letters.
bool EqualsFolded(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (AsciiLower(text[k]) != word[k]) return false;
  }
  return true;
}

// The first place of `word` (lower case) in `text` regardless of the case of ASCII
// letters; npos when it is not there.
std::size_t FindFolded(std::string_view text, std::string_view word) {
  const std::size_t at = FindFoldedWord(text, word);
  return at == text.size() ? npos : at;
}

// The title stretch goes once: from the first "<title>" through the first "</title>".
void RemoveTitle(std::string& text) {
  const std::size_t open = FindFolded(text, "<title>");
  const std::size_t close = FindFolded(text, "</title>");
  if (open != npos && close != npos && close > open) text.erase(open, close + 8 - open);
}

// The bytes that can end `open` or `close`: their last characters in both cases.
ByteFinder LastBytesOf(std::string_view open, std::string_view close) {
  auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  const char last[4] = {open.back(), upper(open.back()), close.back(), upper(close.back())};
  return ByteFinder(std::string_view(last, 4));
}

// Removes `open` ... `close` stretches while the first `close` comes after the first `open`
// (patterns in lower case, matched regardless of ASCII case).
//
// The kept text never holds a whole `open` or `close`: the text before the first `open`
// holds neither (a `close` there would come first and end the removals). So the first
// `open` and the first `close` of the text as it stands are the first ones to complete at
// the end of the kept text as characters are moved over. For the pairs used here,
// whichever of an `open` and a `close` begins first also ends first (the only overlap they
// allow is "<!-->", where the "<!--" is first both ways), so "comes first" can be decided
// at the moment either completes.
//
// The kept text is `out` followed by text[seg..]: input is only copied when a removal cuts
// it, so most of it is copied once, in long pieces, and only the bytes that can end a
// pattern are looked at. Nothing changes before the first `open`, so the look starts there;
// without an `open`, or with a `close` that begins before it, nothing changes at all.
void RemoveSpans(std::string& page, std::string_view open, std::string_view close) {
  const std::string_view text = page;
  const std::size_t first_open = FindFolded(text, open);
  if (first_open == npos) return;
  const std::size_t first_close = FindFolded(text, close);
  if (first_close == npos || first_close < first_open) return;

  std::string out;
  out.reserve(text.size());
  std::size_t seg = 0;
  std::size_t open_at = npos;  // where the first `open` of the kept text begins
  // Whether the kept text through text[i] ends with `word`; near a cut the word may begin
  // in `out`.
  auto ends_with = [&](std::size_t i, std::string_view word) {
    const std::size_t moved = i + 1 - seg;
    if (moved >= word.size())
      return EqualsFolded(text.substr(i + 1 - word.size(), word.size()), word);
    const std::size_t before = word.size() - moved;
    return out.size() >= before &&
           EqualsFolded(out.substr(out.size() - before), word.substr(0, before)) &&
           EqualsFolded(text.substr(seg, moved), word.substr(before));
  };
  LastBytesOf(open, close).ForEach(text, first_open, [&](std::size_t i) {
    const std::size_t kept = out.size() + (i + 1 - seg);
    if (open_at == npos && ends_with(i, open)) open_at = kept - open.size();
    if (!ends_with(i, close)) return true;
    // The first `close` coming before any `open` ends the removals: the rest stays.
    if (open_at == npos) return false;
    // `open` through `close` goes; the rest is searched on.
    if (open_at >= out.size()) {
      out.append(text.substr(seg, open_at - out.size()));
    } else {
      out.resize(open_at);
    }
    seg = i + 1;
    open_at = npos;
    return true;
  });
  out.append(text.substr(seg));
  page = std::move(out);
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

// The second characters of every tag word and prefix above, and of "<eof>", "<html>" and
// "<head>": a tag with any other goes without further tests.
constexpr std::array<bool, 256> kSecondCharacters = [] {
  std::array<bool, 256> table{};
  for (std::string_view word : kSpaceTags) table[static_cast<unsigned char>(word[1])] = true;
  for (std::string_view word : kSpacePrefixes) table[static_cast<unsigned char>(word[1])] = true;
  for (std::string_view word : {"<eof>", "<html>", "<head>"}) {
    table[static_cast<unsigned char>(word[1])] = true;
  }
  return table;
}();

bool Same(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (a[k] != b[k]) return false;
  }
  return true;
}

TagAction ClassifyTag(std::string_view tag) {
  if (tag.size() < 2 || !kSecondCharacters[static_cast<unsigned char>(AsciiLower(tag[1]))]) {
    return TagAction::kDelete;
  }
  char folded[kTagWordLimit];
  const std::size_t length = std::min(tag.size(), kTagWordLimit);
  for (std::size_t k = 0; k < length; ++k) folded[k] = AsciiLower(tag[k]);
  const std::string_view lower(folded, length);
  if (tag.size() <= kTagWordLimit) {  // `lower` is the whole tag
    if (Same(lower, "<eof>")) return TagAction::kStop;
    if (Same(lower, "<html>") || Same(lower, "<head>")) return TagAction::kDelete;
    for (std::string_view word : kSpaceTags) {
      if (Same(lower, word)) return TagAction::kSpace;
    }
  }
  for (std::string_view prefix : kSpacePrefixes) {
    if (lower.size() >= prefix.size() && Same(lower.substr(0, prefix.size()), prefix)) {
      return TagAction::kSpace;
    }
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
    const std::string_view before = text.substr(0, open);
    for (std::size_t stray = before.find('>', i); stray != npos; stray = before.find('>', i)) {
      out.append(before.substr(i, stray - i));
      i = stray + 1;
    }
    out.append(before.substr(i));
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
  if (!settings.WithinComments) RemoveSpans(text, "<!--", "-->");
  if (!settings.WithinTags) {
    RemoveSpans(text, "<script", "</script>");
    RemoveSpans(text, "<style", "</style>");
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
