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
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = from;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
      for (unsigned mask = BlockMask(p + i); mask != 0; mask &= mask - 1) {
        if (!visit(i + static_cast<std::size_t>(__builtin_ctz(mask)))) return;
      }
    }
#endif
    for (; i < n; ++i) {
      if (Holds(p[i]) && !visit(i)) return;
    }
  }

 private:
  bool Holds(char c) const {
    return c == bytes_[0] || c == bytes_[1] || c == bytes_[2] || c == bytes_[3];
  }
#if defined(__SSE2__)
  // Bit k is set when p[k] is one of the set, for the 16 bytes at p.
  unsigned BlockMask(const char* p) const {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(block, splat_[0]), _mm_cmpeq_epi8(block, splat_[1])),
        _mm_or_si128(_mm_cmpeq_epi8(block, splat_[2]), _mm_cmpeq_epi8(block, splat_[3])));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
  }
#endif

  char bytes_[4];
  int count_;
#if defined(__SSE2__)
  __m128i splat_[4];
#endif
};

// Places where one of up to four two-character words begins, regardless of the case of
// ASCII letters (a word is given in lower case).
class PairFinder {
 public:
  explicit PairFinder(std::initializer_list<std::string_view> pairs);

  // Calls visit(i) for each place i of text[from..], in order, where one of the words
  // stands whole, until visit gives false.
  template <typename Visit>
  void ForEach(std::string_view text, std::size_t from, Visit visit) const {
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = from;
#if defined(__SSE2__)
    for (; i + 17 <= n; i += 16) {
      for (unsigned mask = BlockMask(p + i); mask != 0; mask &= mask - 1) {
        if (!visit(i + static_cast<std::size_t>(__builtin_ctz(mask)))) return;
      }
    }
#endif
    for (; i + 1 < n; ++i) {
      if (StartsHere(p[i], p[i + 1]) && !visit(i)) return;
    }
  }

 private:
  bool StartsHere(char first, char second) const;
#if defined(__SSE2__)
  unsigned BlockMask(const char* p) const;
  __m128i fold_[2][4], want_[2][4];
#endif
  char want_bytes_[2][4];
  bool letter_[2][4];
};

// The first place at or after `from` where `word` (lower case, at least three characters)
// stands in `text` regardless of the case of ASCII letters; text.size() when it stands
// nowhere. Places are tested 16 at a time on the word's first three characters.
std::size_t FindFoldedWord(std::string_view text, std::string_view word, std::size_t from = 0);

}  // namespace ferrowyn
