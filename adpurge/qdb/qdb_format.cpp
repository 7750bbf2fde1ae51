// Byte formats of the ad queue database files; every read is checked against the span.
#include "adpurge/qdb/qdb_format.h"

#include <algorithm>

namespace adpurge::qdb {
namespace {

uint16_t ReadLe16(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// Sequential reader over a span that reports running past its end instead of reading there.
class Cursor {
 public:
  explicit Cursor(std::span<const uint8_t> b) : b_(b) {}
  bool Skip(size_t n) {
    if (n > b_.size() - pos_) return false;
    pos_ += n;
    return true;
  }
  bool Le(size_t n, uint64_t& out) {  // n <= 8 bytes, little-endian
    if (n > 8 || n > b_.size() - pos_) return false;
    out = 0;
    for (size_t i = 0; i < n; ++i) out |= uint64_t{b_[pos_ + i]} << (8 * i);
    pos_ += n;
    return true;
  }
  bool Bytes(size_t n, std::vector<uint8_t>& out) {
    if (n > b_.size() - pos_) return false;
    out.assign(b_.begin() + pos_, b_.begin() + pos_ + n);
    pos_ += n;
    return true;
  }
  size_t left() const { return b_.size() - pos_; }

 private:
  std::span<const uint8_t> b_;
  size_t pos_ = 0;
};

}  // namespace

uint32_t ReadLe32(std::span<const uint8_t> b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
         uint32_t{b[at + 3]} << 24;
}

void PutLe32(std::span<uint8_t> b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> NewFileHeader(std::string_view marker) {
  std::vector<uint8_t> h(kHeaderSize, 0);
  PutLe32(h, 0, 40);
  std::copy_n(marker.begin(), std::min<size_t>(marker.size(), 8), h.begin() + 4);
  h[kDigestOffset] = 16;  // the digest bytes stay zero
  h[30] = 2;
  h[32] = 2;  // version 2
  h[34] = 2;  // sub-version 0
  h[38] = 4;
  PutLe32(h, 40, kNone);
  return h;
}

std::optional<HeaderFields> ReadHeader(std::span<const uint8_t> file) {
  // Marker, digest field, version field, sub-version field: 38 bytes at least.
  if (file.size() < 38) return std::nullopt;
  HeaderFields h;
  std::copy_n(file.begin() + 4, 8, h.marker.begin());
  const bool digest_length_ok = ReadLe16(file, kDigestOffset) == 16;
  if (ReadLe16(file, 30) != 2 || ReadLe16(file, 34) != 2) return std::nullopt;
  h.version = ReadLe16(file, 32);
  h.sub_version = ReadLe16(file, 36);
  if (digest_length_ok) {
    const Md5Digest want = FileDigest(file);
    h.digest_ok = std::equal(want.begin(), want.end(), file.begin() + kDigestBytesAt);
  }
  return h;
}

Md5Digest FileDigest(std::span<const uint8_t> file) {
  Md5 md5;
  md5.Update(file.first(kDigestBytesAt));
  const uint8_t zeros[16] = {};
  md5.Update(zeros);
  md5.Update(file.subspan(kDigestBytesAt + 16));
  return md5.Final();
}

std::array<uint8_t, 18> DigestField(const Md5Digest& digest) {
  std::array<uint8_t, 18> f{16, 0};
  std::copy(digest.begin(), digest.end(), f.begin() + 2);
  return f;
}

uint32_t RecordChecksum(std::span<const uint8_t> record) {
  uint32_t sum = 0;
  for (size_t i = 0; i < record.size(); i += 4) {
    uint32_t word = 0;
    for (size_t j = 0; j < 4; ++j) word = word << 8 | (i + j < record.size() ? record[i + j] : 0);
    sum += word;
  }
  return sum;
}

std::vector<uint8_t> StoredRecord(std::span<const uint8_t> record) {
  std::vector<uint8_t> out(record.begin(), record.end());
  AppendLe32(out, kChecksumLength);
  AppendLe32(out, RecordChecksum(record));
  return out;
}

IndexEntry ReadEntry(std::span<const uint8_t> b, size_t at) {
  IndexEntry e;
  for (size_t i = 0; i < 6; ++i) e.word[i] = ReadLe32(b, at + 4 * i);
  return e;
}

void AppendEntry(std::vector<uint8_t>& out, const IndexEntry& e) {
  for (uint32_t w : e.word) AppendLe32(out, w);
}

std::optional<std::vector<IndexEntry>> ReadIndexEntries(std::span<const uint8_t> file) {
  std::vector<IndexEntry> entries;
  for (size_t at = kHeaderSize; file.size() >= kEntrySize && at <= file.size() - kEntrySize;
       at += kEntrySize) {
    const IndexEntry e = ReadEntry(file, at);
    if (e.key() == 0) return entries;
    if (e.key() != kNone) entries.push_back(e);
  }
  return std::nullopt;
}

std::optional<std::vector<OldRecord>> ReadVersion13Records(std::span<const uint8_t> file) {
  Cursor c(file);
  uint64_t n = 0;
  if (!c.Skip(12)) return std::nullopt;  // header length and marker
  for (int field = 0; field < 3; ++field)
    if (!c.Le(2, n) || !c.Skip(n)) return std::nullopt;
  uint64_t count = 0;
  if (!c.Le(2, n) || !c.Le(n, count)) return std::nullopt;
  // Each old record takes 22 bytes before its contents: a count beyond that is damage.
  if (count > c.left() / 22) return std::nullopt;
  std::vector<OldRecord> records(count);
  for (auto& r : records) {
    uint64_t key, a, b, version, length, checksum_length;
    if (!c.Le(4, key) || !c.Le(4, a) || !c.Le(4, b) || !c.Le(2, version) || !c.Le(4, length) ||
        !c.Bytes(length, r.bytes) || !c.Le(4, checksum_length) || !c.Skip(checksum_length))
      return std::nullopt;
    r.entry.word = {static_cast<uint32_t>(key),    static_cast<uint32_t>(b),
                    static_cast<uint32_t>(a),      static_cast<uint32_t>(version),
                    static_cast<uint32_t>(length), 0};
  }
  return records;
}

}  // namespace adpurge::qdb
