// TQuillEncryption: the small scrambler that keeps the proxy password out of the
// settings file in plain text. It hides the text from a casual look, no more.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace ferrowyn {

// The key of the setup dialog's scrambler.
inline constexpr char kSetupScramblerKey[] = "tanglewoodcipher";

// Unscrambling met text that is not hexadecimal. what() is the message.
class EQuillError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A plain component: set Key, Input and Action, call Execute, read Output. Not
// thread-safe; owned by whoever creates it.
class TQuillEncryption {
 public:
  enum TAction { atEncryption, atDecryption };

  // Draws the random start of each scramble; returns a value 0..255.
  using StartSource = std::function<int()>;

  TQuillEncryption();  // a fresh start from the system's random source every time
  explicit TQuillEncryption(StartSource start);

  std::string Key;
  std::string Input;
  std::string Output;
  TAction Action = atEncryption;

  // Output := scrambled or unscrambled Input (empty Input gives empty Output).
  // Scrambling a text of n bytes gives 2 + 2n upper-case hexadecimal digits.
  // Throws EQuillError when unscrambling meets a pair that is not hexadecimal, and
  // std::logic_error when Key is empty and Input is not; Output is then unchanged.
  void Execute();

 private:
  std::string Scramble(const std::string& plain, int start) const;
  std::string Unscramble(const std::string& scrambled) const;

  StartSource start_;
};

}  // namespace ferrowyn
