// Fuzz target: expands arbitrary bytes as a stored item and as a single block
// body; malformed input must end in ECoderError, never in a crash or overrun.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "store/item_coder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const std::string item =
        ferrowyn::ExpandItem(std::string_view(reinterpret_cast<const char*>(data), size));
    // Each block of at least 2 + 1 bytes yields at most one piece.
    if (item.size() > (size / 3) * ferrowyn::kPieceSize) std::abort();
  } catch (const ferrowyn::ECoderError&) {
  }
  std::string out = "x";
  try {
    ferrowyn::ExpandPiece(data, size, out);
    if (out.size() > 1 + ferrowyn::kPieceSize || out[0] != 'x') std::abort();
  } catch (const ferrowyn::ECoderError&) {
    if (out != "x") std::abort();
  }
  return 0;
}
