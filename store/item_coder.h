// The block coder of stored items: an LZ77 coder of the LZRW1 family with run
// items, applied to each 32,768-byte piece of an item on its own.
//
// Stored form of an item: for each piece a 2-byte little-endian body length B,
// then the body (method byte 0x40 compressed or 0x80 copied). The format is
// written up with worked examples in docs/item_compression.md.
//
// Pure functions without shared state, safe to call from any thread at once.
// Working memory is fixed per call (an 8 KB hash table on the stack, and for CompressItem
// a 32 KB block buffer there too); output goes into the caller's strings and buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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
// pass 32,768 bytes, a copy reaching before the start of the piece, items or a
// control word running past the body, a compressed body too short to hold its
// first control word, a stored form ending inside a block length or a block.
// The record store turns it into its own "not a valid QDB file" error.
class ECoderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Compresses a piece of n bytes (1 <= n <= kPieceSize) into `body`, which must
// have room for kBodyWorkSize bytes (n + 6 suffice). Returns the body length B:
// at most n for a compressed body, n + 1 for the copied form. Reads only in[0..n).
std::size_t CompressPiece(const std::uint8_t* in, std::size_t n, std::uint8_t* body);

// Expands a body of `size` bytes, appending the piece to `out`. A body of 0 or
// 1 bytes is an empty piece; a method byte other than 0x80 is read as a
// compressed body. Throws ECoderError on a malformed body and then leaves `out`
// as it was; never reads outside body[0..size) or writes outside `out`.
void ExpandPiece(const std::uint8_t* body, std::size_t size, std::string& out);

// Appends the stored form of `item` to `out` and returns its length (the stored
// size; 0 for an empty item). `item` must not view the bytes of `out`.
std::size_t CompressItem(std::string_view item, std::string& out);

// The stored form of an item given in parts, compressed a piece at a time as the parts
// arrive: a large item (the site map of a big crawl) never has to be held whole. Gives
// the same bytes as CompressItem over the parts joined.
class ItemCompressor {
 public:
  void Add(std::string_view bytes);
  // Bytes added since the start or the last Take.
  std::size_t RawSize() const { return raw_size_; }
  // The stored form (empty for an empty item); the compressor starts again empty.
  std::string Take();

 private:
  void Flush();

  std::string pending_;  // the piece being filled, under kPieceSize bytes
  std::string stored_;
  std::size_t raw_size_ = 0;
  std::unique_ptr<std::uint8_t[]> work_;
};

// Expands a whole stored form (the blocks of one item, back to back) and returns the
// item. Throws ECoderError on a malformed or truncated stored form (a cut-off one is
// refused before anything is allocated) and on an item larger than `max_size`, which
// is refused as soon as its output passes that size. Room is claimed once for what a
// genuine stored form of that shape holds (32,768 bytes a block, the last one less),
// but never more than 16 times the stored size plus a piece, nor more than
// `max_size`; beyond that the output grows as it expands. So blocks that claim more
// than they hold cost little, and no item costs more than about twice `max_size`.
std::string ExpandItem(std::string_view stored, std::size_t max_size = SIZE_MAX);

// ExpandItem handing the item out a piece at a time, in order: `piece` is called with each
// piece's bytes (a view valid during the call), so that a large item is never held whole.
// The same checks, errors and bytes as ExpandItem; a stored form found malformed further on
// throws after the pieces before it have been handed out.
void ExpandItemPieces(std::string_view stored, std::size_t max_size,
                      const std::function<void(std::string_view)>& piece);

// Bytes that a reader keeps from item to item (a query worker expanding page after page),
// so that each item costs neither an allocation nor the clearing of its room: new room is
// left as it comes, since the expander writes every byte it hands out. One owner at a time.
class ItemBuffer {
 public:
  char* data() { return bytes_.get(); }
  const char* data() const { return bytes_.get(); }
  std::size_t capacity() const { return capacity_; }
  // Room for at least `size` bytes; the first `keep` bytes stay as they were.
  void Reserve(std::size_t size, std::size_t keep);

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t capacity_ = 0;
};

// ExpandItem into `out`, the item landing at out.data() + offset (the bytes before it
// stay as they were); returns the item's length. The same checks and errors as ExpandItem,
// and the same bytes.
std::size_t ExpandItemInto(std::string_view stored, std::size_t max_size, ItemBuffer& out,
                           std::size_t offset);

}  // namespace ferrowyn
