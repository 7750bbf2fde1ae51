// The classic page scan: per keyword a fresh (wrapped, lowered) copy of the page, searched
// from its front and cut behind every occurrence, with one-based positions throughout.
#include "tests/support/literal_page_matching.h"

#include <cstdint>

#include "store/key_collation.h"

namespace ferrowyn::literal {

namespace {

// One-based position of the first occurrence of `sub` in `s`; 0 when there is none, and
// for an empty `sub`, as the classic Pos does.
std::size_t Pos(const std::string& sub, const std::string& s) {
  if (sub.empty() || sub.size() > s.size()) return 0;
  for (std::size_t i = 0; i + sub.size() <= s.size(); ++i) {
    std::size_t t = 0;
    while (t < sub.size() && s[i + t] == sub[t]) ++t;
    if (t == sub.size()) return i + 1;
  }
  return 0;
}

// The text from one-based `index` to its end; empty when `index` lies past the end.
std::string CopyFrom(const std::string& s, std::size_t index) {
  if (index > s.size()) return std::string();
  return s.substr(index - 1);
}

std::string LowerAZ(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

PageMatch MatchPage(std::string_view PageText, const std::vector<std::string>& KeywordList,
                    MatchOptions options) {
  std::int64_t total = 0;
  std::int64_t anyhits = 0;
  bool allfound = true;
  std::vector<std::string> found;

  for (const std::string& k : KeywordList) {
    std::string work(PageText);
    if (options.WholeWord) work = " " + work + " ";
    const std::string low = LowerAZ(work);
    std::string searched = options.MatchCase ? work : low;
    const std::string key = options.MatchCase ? k : LowerAZ(k);

    if (!options.MatchAny && !allfound) break;
    allfound = false;

    for (;;) {
      std::size_t p = 0;
      std::size_t L = 0;
      if (!options.WholeWord) {
        p = Pos(key, searched);
        if (p > PageText.size()) p = 0;
        L = key.size();
      } else {
        const std::size_t positions[4] = {
            Pos(" " + key + " ", searched), Pos(">" + key + " ", searched),
            Pos(">" + key + "<", searched), Pos(" " + key + "<", searched)};
        for (std::size_t q : positions) {
          if (q == 0 || q > PageText.size()) continue;
          if (p == 0 || q < p) p = q;
        }
        L = key.size() + 2;
      }
      if (p == 0) break;
      searched = CopyFrom(searched, p + L + 1);
      if (options.MatchAny) {
        ++anyhits;
        bool listed = false;
        for (const std::string& f : found)
          if (CompareKeys(f, k, false) == 0) listed = true;
        if (!listed) found.push_back(k);
      } else {
        ++total;
        allfound = true;
      }
    }
  }

  PageMatch result;
  if (!options.MatchAny) {
    if (allfound) {
      result.Matches = true;
      result.Hits = total;
      result.FoundText = "All";
    }
  } else if (anyhits > 0) {
    result.Matches = true;
    result.Hits = anyhits;
    for (std::size_t i = 0; i < found.size(); ++i) {
      if (i > 0) result.FoundText += " | ";
      result.FoundText += found[i];
    }
  }
  return result;
}

}  // namespace ferrowyn::literal
