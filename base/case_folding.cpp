// The folded copies and comparisons of case_folding.h.
#include "base/case_folding.h"

#include <algorithm>

namespace ferrowyn {

namespace {

template <char (*Fold)(char)>
std::string FoldedCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Fold(c);
  return out;
}

template <char (*Fold)(char)>
bool EqualFolded(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Fold(x) == Fold(y); });
}

}  // namespace

std::string AsciiLower(std::string_view text) { return FoldedCopy<AsciiLower>(text); }
std::string Latin1Lower(std::string_view text) { return FoldedCopy<Latin1Lower>(text); }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return EqualFolded<AsciiLower>(a, b);
}
bool EqualsIgnoringLatin1Case(std::string_view a, std::string_view b) {
  return EqualFolded<Latin1Lower>(a, b);
}

}  // namespace ferrowyn
