// Link extraction in linear time. The classic scan cuts the page from the front and
// lower-cases the rest for every search; here every search runs over the page itself,
// letter case ignored, from a cursor that only moves forward, and each marker's last hit
// is remembered, so that no byte is searched twice for the same marker. Comments are
// removed in place; no copy of the page is made.
#include "crawl/link_extraction.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <exception>
#include <utility>

#include "base/byte_scan.h"
#include "base/case_folding.h"

namespace ferrowyn {

namespace {

constexpr size_t kNone = std::string_view::npos;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The Latin-1 fold keeps every byte below 128 apart from A to Z, so the ASCII keywords
// are found at the same places as with any other fold; it matters for configured file
// types.
bool EqualsNoCase(std::string_view s, std::string_view lower_word) {
  if (s.size() != lower_word.size()) return false;
  for (size_t i = 0; i < s.size(); ++i)
    if (Latin1Lower(s[i]) != lower_word[i]) return false;
  return true;
}

// First occurrence of an ASCII lower-case needle in `hay` at or after `from`, letter case
// ignored. A needle that begins with a letter matches either case of it, and only that
// letter folds to it, since Latin-1 capitals fold above 127.
size_t FindNoCase(std::string_view hay, std::string_view lower_needle, size_t from) {
  assert(!lower_needle.empty());
  const char first = lower_needle[0];
  const bool letter = first >= 'a' && first <= 'z';
  const char first_upper = letter ? static_cast<char>(first - 'a' + 'A') : first;
  const std::string_view tail = lower_needle.substr(1);
  while (from < hay.size() && hay.size() - from >= lower_needle.size()) {
    if (!letter) {
      from = hay.find(first, from);
      if (from == kNone || hay.size() - from < lower_needle.size()) return kNone;
    } else if (hay[from] != first && hay[from] != first_upper) {
      ++from;
      continue;
    }
    if (EqualsNoCase(hay.substr(from + 1, tail.size()), tail)) return from;
    ++from;
  }
  return kNone;
}

// Finds a needle at or after a position that never decreases between calls. The last hit
// stays valid until the position passes it, so every byte is searched at most once.
class ForwardFinder {
 public:
  enum Case { kExact, kIgnoreCase };
  ForwardFinder(std::string_view hay, std::string_view needle, Case letter_case = kExact)
      : hay_(hay), needle_(needle), ignore_case_(letter_case == kIgnoreCase) {}

  size_t Find(size_t from) {
    assert(from >= last_from_);
    last_from_ = from;
    if (!searched_ || (hit_ != kNone && hit_ < from)) {
      hit_ = ignore_case_ ? FindNoCase(hay_, needle_, from) : hay_.find(needle_, from);
      searched_ = true;
    }
    return hit_;
  }

 private:
  std::string_view hay_;
  std::string_view needle_;
  bool ignore_case_;
  size_t hit_ = kNone;
  size_t last_from_ = 0;
  bool searched_ = false;
};

enum class LinkKind { kHref, kFrame, kOption, kParam };

struct Keyword {
  LinkKind kind;
  std::string_view word;
};

constexpr Keyword kKeywords[] = {{LinkKind::kHref, "href"},
                                 {LinkKind::kFrame, "frame "},
                                 {LinkKind::kOption, "option "},
                                 {LinkKind::kParam, "param "}};

int DigitValue(char c, bool hexadecimal) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hexadecimal && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hexadecimal && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A browser reads a link's value with its character references decoded, so that
// "git-web&#45;&#45;browse.html" names git-web--browse.html; left as written, the "#" of
// the reference would cut the link. A reference stands for a byte only when it is a
// printable ASCII character other than the blank: what a value may hold as it is. Other
// references stay as written. An "&" that a reference gives starts nothing.
std::string DecodeNumericReferences(std::string_view value) {
  std::string out;
  size_t from = 0;
  for (size_t amp = value.find("&#"); amp != kNone; amp = value.find("&#", amp + 1)) {
    if (amp < from) continue;
    size_t pos = amp + 2;
    const bool hexadecimal = pos < value.size() && (value[pos] == 'x' || value[pos] == 'X');
    if (hexadecimal) ++pos;
    const size_t digits = pos;
    int code = 0;
    for (int digit; pos < value.size() && (digit = DigitValue(value[pos], hexadecimal)) >= 0;
         ++pos) {
      code = std::min(code * (hexadecimal ? 16 : 10) + digit, 256);
    }
    if (pos == digits || pos == value.size() || value[pos] != ';' || code <= ' ' || code > '~')
      continue;
    out.append(value.substr(from, amp - from));
    out += static_cast<char>(code);
    from = pos + 1;
  }
  if (from == 0) return std::string(value);
  out.append(value.substr(from));
  return out;
}

// The value between a tag's "=" and ">", freed of an " alt" tail and of its quotes;
// empty when nothing of it is left or when an option or param value names no file type.
std::string CleanValue(std::string_view raw, LinkKind kind,
                       const std::vector<std::string>& lower_file_types) {
  std::string value(Trimmed(raw));
  const size_t alt = FindNoCase(value, " alt", 0);
  if (alt != kNone) value.erase(alt);

  if (kind == LinkKind::kOption || kind == LinkKind::kParam) {
    const std::string low = Latin1Lower(value);
    bool typed = false;
    for (const std::string& type : lower_file_types) {
      if (low.find(type) != std::string::npos) {
        typed = true;
        break;
      }
    }
    if (!typed) return {};
  }

  if (!value.empty() && (value.front() == '"' || value.front() == '\'')) value.erase(0, 1);
  if (!value.empty() && (value.back() == '"' || value.back() == '\'')) value.pop_back();
  const size_t quote = value.find('"');
  if (quote != std::string::npos) value.erase(quote);
  // Decoding adds no blank, so the value stays trimmed.
  return DecodeNumericReferences(Trimmed(value));
}

// The first keyword at or after `from`, letter case ignored, in one pass over the text:
// the places where a keyword's first two letters stand are found 16 at a time.
const Keyword* NextKeyword(std::string_view text, size_t& from) {
  static const PairFinder kStarts{"hr", "fr", "op", "pa"};
  const Keyword* found = nullptr;
  kStarts.ForEach(text, from, [&](size_t i) {
    const Keyword* keyword = nullptr;
    switch (text[i] | 0x20) {
      case 'h':
        keyword = &kKeywords[0];
        break;
      case 'f':
        keyword = &kKeywords[1];
        break;
      case 'o':
        keyword = &kKeywords[2];
        break;
      default:  // 'p': the finder reports no other places
        keyword = &kKeywords[3];
        break;
    }
    if (!EqualsNoCase(text.substr(i, keyword->word.size()), keyword->word)) return true;
    from = i;
    found = keyword;
    return false;
  });
  return found;
}

}  // namespace

std::string RemoveComments(std::string text) {
  static constexpr std::string_view kOpen = "<!--";
  static constexpr std::string_view kClose = "-->";
  // The current text is the kept text[0, kept) followed by text[rest...]; kept <= rest, so
  // the text is compacted in place. No marker lies whole inside the kept part; only its
  // last three characters can start one, across the join.
  const std::string_view original(text);  // the part from `rest` on is never written
  size_t kept = 0;
  size_t rest = 0;
  ForwardFinder opens(original, kOpen);
  ForwardFinder closes(original, kClose);
  for (;;) {
    const size_t back = std::min<size_t>(3, kept);
    char window[6];
    size_t window_size = 0;
    for (size_t i = kept - back; i < kept; ++i) window[window_size++] = text[i];
    for (size_t i = rest; i < text.size() && i < rest + 3; ++i) window[window_size++] = text[i];
    const std::string_view joint(window, window_size);
    size_t first_open = kNone;
    size_t first_close = kNone;
    for (size_t i = 0; i < back; ++i) {
      if (first_open == kNone && joint.substr(i, kOpen.size()) == kOpen)
        first_open = kept - back + i;
      if (first_close == kNone && joint.substr(i, kClose.size()) == kClose)
        first_close = kept - back + i;
    }
    if (first_open == kNone) {
      const size_t at = opens.Find(rest);
      if (at != kNone) first_open = kept + (at - rest);
    }
    if (first_close == kNone) {
      const size_t at = closes.Find(rest);
      if (at != kNone) first_close = kept + (at - rest);
    }
    if (first_open == kNone || first_close == kNone || first_close < first_open) break;

    const size_t end = first_close + kClose.size();
    assert(end > kept);
    const size_t next_rest = rest + (end - kept);
    if (first_open < kept) {
      kept = first_open;
    } else {
      const size_t length = first_open - kept;
      if (kept != rest) std::memmove(text.data() + kept, text.data() + rest, length);
      kept += length;
    }
    rest = next_rest;
  }
  if (rest != kept) {
    const size_t length = text.size() - rest;
    std::memmove(text.data() + kept, text.data() + rest, length);
    text.resize(kept + length);
  }
  return text;
}

std::string PageTitleOf(std::string_view text) {
  std::string_view title;
  const size_t open = FindNoCase(text, "<title>", 0);
  const size_t close = open == kNone ? kNone : FindNoCase(text, "</title>", 0);
  if (close != kNone && close > open) title = text.substr(open + 7, close - (open + 7));
  title = Trimmed(title);

  // Entities: from each "&" that stands before the next ";" through that ";". What has
  // been written to `result` is never searched again, so an "&" put in starts nothing.
  std::string result;
  ForwardFinder amps(title, "&");
  ForwardFinder semis(title, ";");
  size_t from = 0;
  for (;;) {
    const size_t amp = amps.Find(from);
    const size_t semi = semis.Find(from);
    if (amp == kNone || semi == kNone || semi < amp) break;
    result.append(title.substr(from, amp - from));
    const std::string_view entity = title.substr(amp, semi - amp + 1);
    if (EqualsNoCase(entity, "&amp;")) {
      result += '&';
    } else if (EqualsNoCase(entity, "&nbsp;")) {
      result += ' ';
    }
    from = semi + 1;
  }
  result.append(title.substr(from));
  if (result.empty()) result = kUntitled;
  return result;
}

bool ScanLinkValues(std::string_view text, const std::vector<std::string>& FileTypes,
                    const std::atomic<bool>& Stopping,
                    const std::function<void(std::string&& value)>& found) {
  std::vector<std::string> lower_file_types;
  lower_file_types.reserve(FileTypes.size());
  for (const std::string& type : FileTypes) lower_file_types.push_back(Latin1Lower(type));

  ForwardFinder closers(text, ">");
  ForwardFinder equals(text, "=");
  ForwardFinder srcs(text, "src", ForwardFinder::kIgnoreCase);
  ForwardFinder values(text, "value", ForwardFinder::kIgnoreCase);

  // Everything before `cursor` has been cut off.
  size_t cursor = 0;
  for (;;) {
    if (Stopping.load(std::memory_order_relaxed)) return false;
    size_t first = cursor;
    const Keyword* keyword = NextKeyword(text, first);
    if (keyword == nullptr) return true;
    cursor = first + keyword->word.size();

    if (keyword->kind != LinkKind::kHref) {
      // A frame needs a "src", an option or a param a "value", inside the tag.
      const bool is_frame = keyword->kind == LinkKind::kFrame;
      const size_t closer = closers.Find(cursor);
      const size_t word = is_frame ? srcs.Find(cursor) : values.Find(cursor);
      if (closer == kNone || word == kNone || word > closer) {
        if (closer != kNone) cursor = closer + 1;
        continue;
      }
      cursor = word + (is_frame ? 3 : 5);
    }

    const size_t closer = closers.Find(cursor);
    const size_t equal = equals.Find(cursor);
    if (closer == kNone || equal == kNone) return true;
    if (equal > closer) {
      cursor = closer + 1;
      continue;
    }
    // The value is as long as the distance from the cut to the ">", counted from after
    // the "=", so it runs through the ">" and beyond it unless the "=" came first.
    const std::string_view raw = text.substr(equal + 1, closer - cursor);
    cursor = closer + 1;
    std::string value = CleanValue(raw, keyword->kind, lower_file_types);
    if (!value.empty()) found(std::move(value));
  }
}

bool ExtractLinks(LinkPage& page, const LinkFilterSettings& settings,
                  const std::atomic<bool>& Stopping, const LinkExtractionHooks& hooks) {
  page.PageTitle.clear();
  page.RawLinks.clear();
  page.Candidates.clear();
  if (Stopping.load() || page.PageText.empty()) return false;

  std::string text;
  try {
    text = RemoveComments(std::exchange(page.PageText, std::string()));
    page.PageTitle = PageTitleOf(text);
  } catch (const std::exception&) {
    return false;
  }

  page.CurrentUrl = std::string(Trimmed(page.CurrentUrl));
  if (!page.CurrentUrl.empty() && hooks.AddPageListRow)
    hooks.AddPageListRow(page.CurrentUrl, page.PageTitle);

  try {
    const bool complete =
        ScanLinkValues(text, settings.FileTypes, Stopping,
                       [&](std::string&& value) { ResolveLink(value, page.Base, page.RawLinks); });
    if (!complete) return false;
  } catch (const std::exception&) {
    return false;
  }

  if (hooks.ShowSlotStatus) hooks.ShowSlotStatus(kFilteringLinksStatus);
  const bool filtered =
      FilterLinks(page.RawLinks, settings, hooks.AddMailAddress, &Stopping, page.Candidates);
  return filtered && !Stopping.load();
}

}  // namespace ferrowyn
