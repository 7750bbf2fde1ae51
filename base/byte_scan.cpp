// The byte set search: memchr for one byte, SSE2 blocks for several.
#include "base/byte_scan.h"

#include <cassert>
#include <cstring>

#include "base/case_folding.h"

namespace ferrowyn {

ByteFinder::ByteFinder(std::string_view bytes) : bytes_{}, count_(static_cast<int>(bytes.size())) {
  assert(count_ >= 1 && count_ <= 4);
  for (int k = 0; k < 4; ++k) {
    bytes_[k] = bytes[static_cast<std::size_t>(k < count_ ? k : 0)];
#if defined(__SSE2__)
    splat_[k] = _mm_set1_epi8(bytes_[k]);
#endif
  }
}

std::size_t ByteFinder::Find(std::string_view text, std::size_t from) const {
  const std::size_t n = text.size();
  if (from >= n) return n;
  if (count_ == 1) {
    const void* hit = std::memchr(text.data() + from, bytes_[0], n - from);
    return hit == nullptr ? n
                          : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
  }
  std::size_t found = n;
  ForEach(text, from, [&](std::size_t i) {
    found = i;
    return false;
  });
  return found;
}

namespace {

bool IsLowerLetter(char c) { return c >= 'a' && c <= 'z'; }

bool EqualsFoldedAt(std::string_view text, std::size_t at, std::string_view word) {
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (AsciiLower(text[at + k]) != word[k]) return false;
  }
  return true;
}

}  // namespace

PairFinder::PairFinder(std::initializer_list<std::string_view> pairs) {
  assert(pairs.size() >= 1 && pairs.size() <= 4);
  for (int slot = 0; slot < 4; ++slot) {
    // Unused places repeat the first word.
    const std::string_view pair =
        *(pairs.begin() + (slot < static_cast<int>(pairs.size()) ? slot : 0));
    assert(pair.size() == 2);
    for (int c = 0; c < 2; ++c) {
      const char byte = pair[static_cast<std::size_t>(c)];
      want_bytes_[c][slot] = byte;
      letter_[c][slot] = IsLowerLetter(byte);
#if defined(__SSE2__)
      fold_[c][slot] = _mm_set1_epi8(letter_[c][slot] ? 0x20 : 0);
      want_[c][slot] = _mm_set1_epi8(byte);
#endif
    }
  }
}

bool PairFinder::StartsHere(char first, char second) const {
  for (int slot = 0; slot < 4; ++slot) {
    if ((letter_[0][slot] ? AsciiLower(first) : first) == want_bytes_[0][slot] &&
        (letter_[1][slot] ? AsciiLower(second) : second) == want_bytes_[1][slot]) {
      return true;
    }
  }
  return false;
}

std::size_t FindFoldedWord(std::string_view text, std::string_view word, std::size_t from) {
  assert(word.size() >= 3);
  const std::size_t n = text.size();
  if (from > n || n - from < word.size()) return n;
  const std::size_t last = n - word.size();  // the last place the word fits
  std::size_t i = from;
#if defined(__SSE2__)
  // A letter matches both cases when bit 5 is set first; other characters match exactly.
  __m128i fold[3], want[3];
  for (int k = 0; k < 3; ++k) {
    fold[k] = _mm_set1_epi8(IsLowerLetter(word[static_cast<std::size_t>(k)]) ? 0x20 : 0);
    want[k] = _mm_set1_epi8(word[static_cast<std::size_t>(k)]);
  }
  const char* p = text.data();
  for (; i + 15 <= last; i += 16) {
    __m128i hits = _mm_set1_epi8(static_cast<char>(0xFF));
    for (int k = 0; k < 3; ++k) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + k));
      hits = _mm_and_si128(hits, _mm_cmpeq_epi8(_mm_or_si128(block, fold[k]), want[k]));
    }
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0;
         mask &= mask - 1) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
      if (EqualsFoldedAt(text, at, word)) return at;
    }
  }
#endif
  for (; i <= last; ++i) {
    if (EqualsFoldedAt(text, i, word)) return i;
  }
  return n;
}

}  // namespace ferrowyn
