// Constants of the store file and its index section, and the little-endian
// integer helpers every reader and writer of them shares. docs/record_store.md
// writes the format up with worked byte examples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ferrowyn::qdb {

// Four-byte tags: three letters and a zero byte.
inline constexpr std::string_view kSignature{"QDB\0", 4};
inline constexpr std::string_view kPasswordTag{"QPW\0", 4};
inline constexpr std::string_view kIndexMarker{"QIX\0", 4};
inline constexpr std::size_t kPasswordCheckSize = 20;

// A new store: signature, D = 0, marker, X = 5, an entry count of 0 and one
// spare zero byte.
inline constexpr std::string_view kEmptyStoreFile{"QDB\0\0\0\0\0QIX\0\5\0\0\0\0\0\0\0\0", 21};

// Index entry flags.
inline constexpr std::uint32_t kFlagAdministrative = 1u << 0;
inline constexpr std::uint32_t kFlagCompressed = 1u << 1;

inline constexpr std::size_t kMaxKeyLength = 255;
// A key list holds fewer entries than this; a stored count at or above it is refused.
inline constexpr std::int64_t kMaxEntries = 67108864;
// The smallest entry: an empty key's zero byte and three 32-bit fields.
inline constexpr std::size_t kMinEntrySize = 1 + 12;

// The largest item a store writes or reads back, as the item's own bytes (expanded).
// No page body is kept beyond 64 MiB, and a page's record adds only a few bytes to its
// body (a leading blank, a line end); the spare room covers those with a wide margin.
// Reading refuses a larger item as a malformed one, so memory while a store is read
// stays within a few of its largest legitimate items, whatever a file claims.
inline constexpr std::size_t kMaxPageBody = std::size_t{64} << 20;
inline constexpr std::size_t kMaxRecordOverhead = std::size_t{1} << 20;
inline constexpr std::size_t kMaxItemSize = kMaxPageBody + kMaxRecordOverhead;

// The administrative item that switches a store to case-sensitive keys when it
// holds exactly the one byte 1.
inline constexpr std::string_view kCaseSensitiveKey = "QDBCaseSensitive";

// Section copies go through one buffer of the section's length held to this range.
inline constexpr std::size_t kMinCopyBuffer = 1024;
inline constexpr std::size_t kMaxCopyBuffer = 524288;

inline void PutInt32(std::string& out, std::uint32_t value) {
  const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                         static_cast<char>((value >> 16) & 0xFF),
                         static_cast<char>((value >> 24) & 0xFF)};
  out.append(bytes, 4);
}

inline std::uint32_t GetUInt32(const char* at) {
  const auto* b = reinterpret_cast<const unsigned char*>(at);
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

inline std::int32_t GetInt32(const char* at) { return static_cast<std::int32_t>(GetUInt32(at)); }

}  // namespace ferrowyn::qdb
