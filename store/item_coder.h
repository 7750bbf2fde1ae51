// The block coder of stored items: an LZ77 coder of the LZRW1 family with run
// items, applied to each 32,768-byte piece of an item on its own.
//
// Stored form of an item: for each piece a 2-byte little-endian body length B,
// then the body (method byte 0x40 compressed or 0x80 copied). The format is
// written up with worked examples in docs/item_compression.md.
//
// Pure functions, safe to call from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ferrowyn {

inline constexpr std::size_t kPieceSize = 32768;
// A body never exceeds the copied form of a full piece.
inline constexpr std::size_t kMaxBodySize = kPieceSize + 1;
// Work room the compressor needs for a piece of n bytes: n + 6.
inline constexpr std::size_t kBodyWorkSize = kPieceSize + 6;

// Raised for a stored form that cannot be expanded: a body whose output would
// pass 32,768 bytes, a copy reaching before the start of the piece, items
// running past the body, a truncated block, a stored size ending inside a block.
class ECoderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Compresses a piece of n bytes (1 <= n <= kPieceSize) into `body`, which must
// have room for kBodyWorkSize bytes. Returns the body length B.
std::size_t CompressPiece(const std::uint8_t* in, std::size_t n, std::uint8_t* body);

// Expands a body of `size` bytes, appending the piece to `out`.
// Throws ECoderError on a malformed body; never reads or writes out of bounds.
void ExpandPiece(const std::uint8_t* body, std::size_t size, std::string& out);

// Appends the stored form of `item` to `out` and returns its length.
std::size_t CompressItem(std::string_view item, std::string& out);

// Expands a whole stored form (the blocks of one item) and returns the item.
// Throws ECoderError on a malformed or truncated stored form.
std::string ExpandItem(std::string_view stored);

}  // namespace ferrowyn
