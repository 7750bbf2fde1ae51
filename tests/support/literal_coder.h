// A slow, step-by-step transcription of the item block coder, kept as an oracle
// for the fast coder in store/item_coder: same bytes out, same bodies refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ferrowyn::literal {

// The body of one piece of 1 to 32,768 bytes.
std::string CompressPiece(std::string_view piece);

// The piece of one body, or nothing when the body is malformed: it reads a byte
// at or past its end, refers before the start of its output or would produce
// more than 32,768 bytes.
std::optional<std::string> ExpandBody(std::string_view body);

// The stored form of an item: 2-byte little-endian length and body per piece.
std::string CompressItem(std::string_view item);

// The item of a stored form, or nothing when it is malformed or truncated.
std::optional<std::string> ExpandItem(std::string_view stored);

}  // namespace ferrowyn::literal
