// Fuzz target: compresses the input (reshaped by its first byte into longer or
// more repetitive items) and expands it again; the item must come back intact.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "store/item_coder.h"

namespace {

// The first byte picks how the rest becomes an item, so that the fuzzer also
// reaches piece boundaries, long runs and far repeats from short inputs.
std::string Shape(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 4) {
    case 0:
      return rest;
    case 1: {  // the input repeated past one or two piece boundaries
      std::string s;
      const size_t target = 30000 + size_t{data[0]} * 180;
      while (!rest.empty() && s.size() < target) s += rest;
      return s;
    }
    case 2: {  // every byte becomes a run of a length taken from the next byte
      std::string s;
      for (size_t i = 0; i + 1 < rest.size() && s.size() < 100000; i += 2)
        s.append(size_t{static_cast<uint8_t>(rest[i + 1])} * 20 + 1, rest[i]);
      return s;
    }
    default:  // the input with its own prefix copied after it
      return rest + rest.substr(0, rest.size() / 2) + rest;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string item = Shape(data, size);
  std::string stored;
  const size_t n = ferrowyn::CompressItem(item, stored);
  if (n != stored.size()) std::abort();
  if (ferrowyn::ExpandItem(stored) != item) std::abort();

  // One piece straight into a buffer of exactly n + 6 bytes plus a canary.
  if (!item.empty()) {
    const size_t len = std::min(item.size(), ferrowyn::kPieceSize);
    std::vector<uint8_t> body(len + 7, 0xC3);
    const size_t b =
        ferrowyn::CompressPiece(reinterpret_cast<const uint8_t*>(item.data()), len, body.data());
    if (body[len + 6] != 0xC3 || b > len + 1 || b < 1) std::abort();
    if (std::memcmp(body.data(), stored.data() + 2, b) != 0) std::abort();
  }
  return 0;
}
