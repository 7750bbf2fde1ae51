// Finding the next byte of a small set in a text, 16 bytes at a time where the machine
// allows it: the inner loop of the page passes that copy long stretches between the bytes
// that matter to them (line breaks, "&", "<", ">", the last letter of a word).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ferrowyn {

namespace byte_scan_detail {

// The walk the finders share: calls visit(i) for each place i of text[from..] that is a
// hit, in order, until visit gives false. `block(p)` gives the hits among the 16 places at
// p as bits (bit k for place k) and may read `reach` bytes past the 16th place; the last
// places are tested one at a time by `hit_at(i)`. A place whose reach runs past the end of
// the text is never a hit.
template <typename Block, typename HitAt, typename Visit>
void WalkHits(std::string_view text, std::size_t from, std::size_t reach, Block block, HitAt hit_at,
              Visit visit) {
  const std::size_t n = text.size();
  std::size_t i = from;
  for (; i + 16 + reach <= n; i += 16) {
    for (unsigned mask = block(text.data() + i); mask != 0; mask &= mask - 1) {
      if (!visit(i + static_cast<std::size_t>(__builtin_ctz(mask)))) return;
    }
  }
  for (; i + reach < n; ++i) {
    if (hit_at(i) && !visit(i)) return;
  }
}

}  // namespace byte_scan_detail

class ByteFinder {
 public:
  // Up to four bytes; repeats are allowed.
  explicit ByteFinder(std::string_view bytes);

  // The position of the first byte of text[from..] that is one of the set, or text.size()
  // when there is none (also when `from` is past the end).
  std::size_t Find(std::string_view text, std::size_t from) const;

  // Calls visit(i) for each position i of text[from..], in order, whose byte is one of the
  // set, until visit gives false. Cheaper than calling Find again after each hit when the
  // hits are frequent.
  template <typename Visit>
  void ForEach(std::string_view text, std::size_t from, Visit visit) const {
    byte_scan_detail::WalkHits(
        text, from, 0, [this](const char* p) { return BlockMask(p); },
        [&](std::size_t i) { return Holds(text[i]); }, visit);
  }

 private:
  bool Holds(char c) const {
    return c == bytes_[0] || c == bytes_[1] || c == bytes_[2] || c == bytes_[3];
  }
  // Bit k is set when p[k] is one of the set, for the 16 bytes at p.
  unsigned BlockMask(const char* p) const;

  char bytes_[4];
  int count_;
#if defined(__SSE2__)
  __m128i splat_[4];
#endif
};

// Defined here so that the walk inlines it: it runs once for every 16 bytes.
inline unsigned ByteFinder::BlockMask(const char* p) const {
#if defined(__SSE2__)
  // The unused places of the set repeat its first byte, so all four are always compared.
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i hits = _mm_or_si128(
      _mm_or_si128(_mm_cmpeq_epi8(block, splat_[0]), _mm_cmpeq_epi8(block, splat_[1])),
      _mm_or_si128(_mm_cmpeq_epi8(block, splat_[2]), _mm_cmpeq_epi8(block, splat_[3])));
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
#else
  unsigned mask = 0;
  for (int k = 0; k < 16; ++k) mask |= static_cast<unsigned>(Holds(p[k])) << k;
  return mask;
#endif
}

// Places where one of up to four two-character words begins, regardless of the case of
// ASCII letters (a word is given in lower case).
class PairFinder {
 public:
  explicit PairFinder(std::initializer_list<std::string_view> pairs);

  // Calls visit(i) for each place i of text[from..], in order, where one of the words
  // stands whole, until visit gives false.
  template <typename Visit>
  void ForEach(std::string_view text, std::size_t from, Visit visit) const {
    byte_scan_detail::WalkHits(
        text, from, 1, [this](const char* p) { return BlockMask(p); },
        [&](std::size_t i) { return StartsHere(text[i], text[i + 1]); }, visit);
  }

 private:
  bool StartsHere(char first, char second) const;
  // Bit k is set when one of the words begins at p[k], for the 16 places at p (p[16] is
  // read).
  unsigned BlockMask(const char* p) const;
#if defined(__SSE2__)
  __m128i fold_[2][4], want_[2][4];
#endif
  char want_bytes_[2][4];
  bool letter_[2][4];
};

inline unsigned PairFinder::BlockMask(const char* p) const {
#if defined(__SSE2__)
  const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
  __m128i hits = _mm_setzero_si128();
  for (int slot = 0; slot < 4; ++slot) {
    hits = _mm_or_si128(
        hits, _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(first, fold_[0][slot]), want_[0][slot]),
                            _mm_cmpeq_epi8(_mm_or_si128(second, fold_[1][slot]), want_[1][slot])));
  }
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
#else
  unsigned mask = 0;
  for (int k = 0; k < 16; ++k) mask |= static_cast<unsigned>(StartsHere(p[k], p[k + 1])) << k;
  return mask;
#endif
}

// The first place at or after `from` where `word` (lower case, at least three characters)
// stands in `text` regardless of the case of ASCII letters; text.size() when it stands
// nowhere. Places are tested 16 at a time on the word's first three characters.
std::size_t FindFoldedWord(std::string_view text, std::string_view word, std::size_t from = 0);

}  // namespace ferrowyn
