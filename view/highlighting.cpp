// Keyword highlighting in one forward pass per keyword. The scan never looks back and the
// input of a pass does not change while it runs, so instead of inserting the markup into
// the text (which moves everything behind it) the marked text is written to a new string,
// and where the keyword occurs is worked out for the whole text at once beforehand.
#include "view/highlighting.h"

#include "base/case_folding.h"
#include "query/keyword_parsing.h"

namespace ferrowyn {

namespace {

// Buffers that one keyword's pass fills and the next one reuses, so that marking a long
// page with several keywords does not allocate (and fault in) fresh memory for each.
struct Scratch {
  std::string folded;               // the text with ASCII letters lowered
  std::vector<char> starts;         // starts[p]: the keyword occurs at p
  std::vector<std::size_t> border;  // the keyword's failure function
};

// Fills scratch.starts: 1 where `key` occurs in `text` (occurrences may overlap). Knuth,
// Morris and Pratt, so that no keyword can make a pass quadratic.
void FindOccurrences(std::string_view text, std::string_view key, Scratch& scratch) {
  std::vector<char>& starts = scratch.starts;
  starts.assign(text.size(), 0);
  const std::size_t m = key.size();
  if (m == 0 || m > text.size()) return;
  std::vector<std::size_t>& border = scratch.border;  // longest proper border of key[0..q]
  border.assign(m, 0);
  for (std::size_t q = 1, k = 0; q < m; ++q) {
    while (k > 0 && key[q] != key[k]) k = border[k - 1];
    if (key[q] == key[k]) ++k;
    border[q] = k;
  }
  for (std::size_t i = 0, k = 0; i < text.size(); ++i) {
    while (k > 0 && text[i] != key[k]) k = border[k - 1];
    if (text[i] == key[k]) ++k;
    if (k == m) {
      starts[i + 1 - m] = 1;
      k = border[k - 1];
    }
  }
}

// Whether the left boundary at `at` is "&nbsp;" (in `compared`, which is lower-cased when
// case does not matter).
bool IsNbspAt(std::string_view compared, std::size_t at) {
  return compared.substr(at, 6) == "&nbsp;";
}

// One keyword's pass over `text`, written to `out`; false (and `out` unused) when nothing
// was marked.
bool HighlightOne(std::string_view text, std::string_view keyword, std::string_view opening,
                  bool matchcase, bool wholeword, Scratch& scratch, std::string& out) {
  std::string_view compared = text;
  if (!matchcase) {
    scratch.folded.assign(text);
    for (char& c : scratch.folded) c = AsciiLower(c);
    compared = scratch.folded;
  }
  const std::string key = matchcase ? std::string(keyword) : AsciiLower(keyword);
  FindOccurrences(compared, key, scratch);
  const std::vector<char>& starts = scratch.starts;
  const std::size_t n = text.size();
  const std::size_t m = key.size();

  out.clear();
  std::size_t copied = 0;  // text[0, copied) is in `out`
  auto mark = [&](std::size_t at) {
    if (copied == 0) out.reserve(n + n / 8 + opening.size() + kHighlightClosing.size());
    out.append(text.substr(copied, at - copied));
    out.append(opening);
    out.append(text.substr(at, m));
    out.append(kHighlightClosing);
    copied = at + m;
  };

  bool intag = false;
  std::size_t i = 0;
  while (i < n) {
    const char c = text[i];
    if (c == '<') {
      intag = true;
      ++i;
      continue;
    }
    if (c == '>') {
      intag = false;
      if (!wholeword) {
        ++i;
        continue;
      }
    } else if (intag) {
      ++i;
      continue;
    }
    if (!wholeword) {
      if (starts[i]) {
        mark(i);
        i += m;
      } else {
        ++i;
      }
      continue;
    }
    std::size_t left = 0;
    if (c == '>' || c == ' ') {
      left = 1;
    } else if (c == '&' && IsNbspAt(compared, i)) {
      left = 6;
    }
    const std::size_t word = i + left;
    if (left > 0 && word + m < n && starts[word]) {
      const char right = text[word + m];
      if (right == ' ' || (right == '<' && left == 1)) {
        mark(word);
        i = word + m;  // the right boundary is looked at again
        continue;
      }
    }
    ++i;
  }
  if (copied == 0) return false;
  out.append(text.substr(copied));
  return true;
}

}  // namespace

std::string HighlightColorString(std::uint32_t color) {
  if (color > 0x00FFFFFF) return std::string(kHighlightFallbackColor);
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "#";
  for (const unsigned shift : {0u, 8u, 16u}) {  // red, green, blue
    const unsigned byte = (color >> shift) & 0xFF;
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

std::string HighlightOpening(std::string_view color) {
  std::string opening = "<font color=\"";
  opening.append(color);
  opening.append("\"><b>");
  return opening;
}

std::vector<std::string> HighlightKeywordList(std::string_view querykeywords) {
  while (!querykeywords.empty() && static_cast<unsigned char>(querykeywords.front()) <= 0x20)
    querykeywords.remove_prefix(1);
  while (!querykeywords.empty() && static_cast<unsigned char>(querykeywords.back()) <= 0x20)
    querykeywords.remove_suffix(1);
  return SplitKeywords(querykeywords, KeywordRepeats::kKeep);
}

std::string highlightkeywords(std::string_view text, const std::vector<std::string>& keywords,
                              std::string_view color, bool matchcase, bool wholeword) {
  std::string result(text);
  const std::string opening = HighlightOpening(color);
  Scratch scratch;
  std::string marked;
  for (const std::string& keyword : keywords) {
    if (keyword.empty()) continue;
    if (HighlightOne(result, keyword, opening, matchcase, wholeword, scratch, marked))
      result.swap(marked);
  }
  return result;
}

}  // namespace ferrowyn
