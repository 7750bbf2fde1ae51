// Scrambling and unscrambling for TQuillEncryption.
#include "app/quill_encryption.h"

#include <chrono>
#include <random>

namespace ferrowyn {

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A pair of digits (or the single digit left at the start of a one-digit text).
int ReadHexPair(const std::string& text, size_t at) {
  const size_t length = std::min<size_t>(2, text.size() - at);
  int value = 0;
  for (size_t i = 0; i < length; ++i) {
    const int digit = HexValue(text[at + i]);
    if (digit < 0) {
      throw EQuillError("\"" + text.substr(at, length) + "\" is not a valid hexadecimal value.");
    }
    value = value * 16 + digit;
  }
  return value;
}

void AppendHex(std::string& out, int value) {
  out += kHexDigits[(value >> 4) & 0xF];
  out += kHexDigits[value & 0xF];
}

int FreshStart() {
  // A new generator per scramble, seeded from the clock and the system's entropy,
  // so that the same password scrambles differently each time it is saved.
  std::random_device entropy;
  const auto ticks = static_cast<std::uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
  std::seed_seq seed{entropy(), static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32)};
  std::mt19937 generator(seed);
  return std::uniform_int_distribution<int>(0, 255)(generator);
}
}  // namespace

TQuillEncryption::TQuillEncryption() : start_(FreshStart) {}

TQuillEncryption::TQuillEncryption(StartSource start) : start_(std::move(start)) {}

void TQuillEncryption::Execute() {
  if (Input.empty()) {
    Output.clear();
    return;
  }
  if (Key.empty()) throw std::logic_error("TQuillEncryption needs a key");
  Output = Action == atEncryption ? Scramble(Input, start_() & 0xFF) : Unscramble(Input);
}

// Key positions run 1, 2, ... length, 1, 2, ...; position p is the key's byte p - 1.
std::string TQuillEncryption::Scramble(const std::string& plain, int start) const {
  std::string out;
  out.reserve(2 + 2 * plain.size());
  int s = start;
  AppendHex(out, s);
  size_t k = 0;
  for (unsigned char c : plain) {
    int v = (c + s) % 255;
    k = k < Key.size() ? k + 1 : 1;
    v ^= static_cast<unsigned char>(Key[k - 1]);
    AppendHex(out, v);
    s = v;
  }
  return out;
}

std::string TQuillEncryption::Unscramble(const std::string& scrambled) const {
  std::string out;
  int s = ReadHexPair(scrambled, 0);
  size_t k = 0;
  // A trailing odd digit is ignored: a pair is read only when both its digits exist.
  for (size_t at = 2; at + 1 < scrambled.size(); at += 2) {
    const int c = ReadHexPair(scrambled, at);
    k = k < Key.size() ? k + 1 : 1;
    const int d = c ^ static_cast<unsigned char>(Key[k - 1]);
    const int plain = s < d ? d - s : d - s + 255;
    out += static_cast<char>(plain);
    s = c;
  }
  return out;
}

}  // namespace ferrowyn
