// Letter-case folding for the whole program: ASCII letters only where a protocol or a
// file type says so (HTTP names, hosts, tags, colour words), ASCII and Latin-1 letters
// where the texts are the user's (the site store's keys, URLs, mail addresses).
#pragma once

#include <string>
#include <string_view>

namespace ferrowyn {

// 'A'..'Z' to 'a'..'z'; every other byte is itself.
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The ASCII fold and, in addition, the Latin-1 capitals 0xC0..0xDE (but 0xD7, the
// multiplication sign) to 0xE0..0xFE. Bytes below 128 fold exactly as AsciiLower folds
// them.
constexpr char Latin1Lower(char c) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
    return static_cast<char>(u + 32);
  return c;
}

// Copies of `text` with every byte folded. Pure; any thread; throw only std::bad_alloc.
std::string AsciiLower(std::string_view text);
std::string Latin1Lower(std::string_view text);

// Equality under the ASCII fold / under the Latin-1 fold. Pure; any thread.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool EqualsIgnoringLatin1Case(std::string_view a, std::string_view b);

}  // namespace ferrowyn
