// Splitting a keyword text into words and quoted phrases, in one pass.
#include "query/keyword_parsing.h"

#include <algorithm>
#include <unordered_set>

#include "base/case_folding.h"

namespace ferrowyn {

namespace {

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

// Collects the entries, remembering the folded form of each so that a repeat is found
// without walking the list.
class KeywordCollector {
 public:
  explicit KeywordCollector(KeywordRepeats repeats) : repeats_(repeats) {}

  void Add(std::string_view keyword) {
    if (repeats_ == KeywordRepeats::kDrop) {
      std::string folded(keyword);
      for (char& c : folded) c = Latin1Lower(c);
      if (!seen_.insert(std::move(folded)).second) return;
    }
    list_.emplace_back(keyword);
  }

  std::vector<std::string> Take() { return std::move(list_); }

 private:
  KeywordRepeats repeats_;
  std::vector<std::string> list_;
  std::unordered_set<std::string> seen_;
};

}  // namespace

std::vector<std::string> SplitKeywords(std::string_view text, KeywordRepeats repeats) {
  KeywordCollector list(repeats);
  bool phrase = false;
  // The piece being collected is always a stretch of `text` that begins at `piece`:
  // every separator empties it and nothing but the next character is ever appended.
  std::size_t piece = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      if (phrase) list.Add(text.substr(piece, i - piece));
      phrase = !phrase;
      piece = i + 1;
    } else if (c == ' ' && !phrase) {
      const std::string_view word = Trim(text.substr(piece, i - piece));
      if (!word.empty()) list.Add(word);
      piece = i + 1;
    }
  }
  const std::string_view rest = Trim(text.substr(std::min(piece, text.size())));
  if (!rest.empty()) list.Add(rest);
  return list.Take();
}

std::vector<std::string> parsekeywords(std::string_view text) {
  return SplitKeywords(text, KeywordRepeats::kDrop);
}

}  // namespace ferrowyn
