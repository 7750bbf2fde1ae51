// Byte formats of the ad queue database: the common file header, index entries, record
// checksums and digests, and the old version 1.3 data file. Pure functions over bytes; they
// never throw and never read outside the span they are given.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "adpurge/qdb/md5.h"

namespace adpurge::qdb {

inline constexpr uint32_t kNone = 0xFFFFFFFF;
inline constexpr size_t kHeaderSize = 44;    // where the body of either file begins
inline constexpr size_t kDigestOffset = 12;  // digest length (2) then digest (16)
inline constexpr size_t kDigestBytesAt = 14;
inline constexpr size_t kEntrySize = 24;
inline constexpr uint32_t kChecksumLength = 4;  // written before every record checksum
inline constexpr std::string_view kDataMarker = "ADCR-SDK";
inline constexpr std::string_view kIndexMarker = "ADCR-IDX";

// Entry flag bits (word 2).
inline constexpr uint32_t kLive = 1;
inline constexpr uint32_t kFlagClearedOnLoad = 2;
inline constexpr uint32_t kFlagSetOnLoad = 4;

// One index entry: six little-endian words.
struct IndexEntry {
  std::array<uint32_t, 6> word{};
  uint32_t key() const { return word[0]; }
  uint32_t type() const { return word[1]; }
  uint32_t flags() const { return word[2]; }
  uint16_t format() const { return static_cast<uint16_t>(word[3]); }
  uint32_t length() const { return word[4]; }
  uint32_t offset() const { return word[5]; }
  bool live() const { return (word[2] & kLive) != 0; }
  // Bit 1 cleared and bit 2 set, as every entry loaded into or added to the index.
  void MarkLoaded() { word[2] = (word[2] & ~kFlagClearedOnLoad) | kFlagSetOnLoad; }
  bool operator==(const IndexEntry&) const = default;
};

uint32_t ReadLe32(std::span<const uint8_t> bytes, size_t at);  // caller checks the bounds
void PutLe32(std::span<uint8_t> bytes, size_t at, uint32_t value);
void AppendLe32(std::vector<uint8_t>& out, uint32_t value);

// The 44-byte header of a new file (version 2.0) with a zero digest.
std::vector<uint8_t> NewFileHeader(std::string_view marker);

struct HeaderFields {
  std::array<uint8_t, 8> marker{};
  uint16_t version = 0;
  uint16_t sub_version = 0;
  bool digest_ok = false;  // digest length 16 and digest correct
  bool marker_is(std::string_view m) const {
    return std::string_view(reinterpret_cast<const char*>(marker.data()), 8) == m;
  }
};
// Reads the header fields of a whole file; nullopt when the file is too short for them or
// a field length is not the one every writer uses (2 for the version fields).
std::optional<HeaderFields> ReadHeader(std::span<const uint8_t> file);

// MD5 of the whole file with the 16 digest bytes taken as zeros; the file must hold them.
Md5Digest FileDigest(std::span<const uint8_t> file);
// The 18 bytes written at kDigestOffset: digest length 16 and the digest.
std::array<uint8_t, 18> DigestField(const Md5Digest& digest);

// Sum of the record read as big-endian words, the last one padded with zeros.
uint32_t RecordChecksum(std::span<const uint8_t> record);
// Record bytes, checksum length and checksum, as they follow each other in the data file.
std::vector<uint8_t> StoredRecord(std::span<const uint8_t> record);

IndexEntry ReadEntry(std::span<const uint8_t> bytes, size_t at);  // caller checks the bounds
void AppendEntry(std::vector<uint8_t>& out, const IndexEntry& entry);

// Entries of an index file body, from offset 44 up to the terminator, without the skipped
// ones; nullopt when the file ends before a terminator.
std::optional<std::vector<IndexEntry>> ReadIndexEntries(std::span<const uint8_t> file);

struct OldRecord {
  IndexEntry entry;  // key, type B, flags A, format version, length; offset 0
  std::vector<uint8_t> bytes;
};
// Records of a version 1.3 data file; nullopt when a count or length passes the file's end.
std::optional<std::vector<OldRecord>> ReadVersion13Records(std::span<const uint8_t> file);

}  // namespace adpurge::qdb
