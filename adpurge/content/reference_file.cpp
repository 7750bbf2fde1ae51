// Reference file: a 32-bit entry count, then 12-byte entries (count, version, kind), all
// little-endian. Sizes read from the file are checked against its length before use.
#include "adpurge/content/reference_file.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "adpurge/platform/platform.h"

namespace adpurge {
namespace {

namespace pf = adpurge::platform;

constexpr std::size_t kEntryBytes = 12;
// The client holds the file only for a moment; this bound keeps a file that stays locked
// from stopping the run for good.
constexpr int kMaxAttempts = 100000;

struct Entry {
  std::int32_t count;
  std::uint32_t version;
  std::uint32_t kind;
};

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void PutLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

pf::Opened OpenExclusive(const std::string& path, std::uint32_t access,
                         pf::Disposition disposition) {
  pf::Opened opened;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    opened = pf::open_file(path, access, pf::kShareNone, disposition);
    if (opened.error != pf::FileError::kSharingViolation) break;
  }
  return opened;
}

// The file's entries; nothing when it is shorter than its entry count says.
std::optional<std::vector<Entry>> ReadEntries(pf::File& file) {
  const auto size = file.size();
  std::array<std::uint8_t, 4> head;
  if (!size || *size < head.size() || file.read_at(0, head.data(), head.size()) != head.size()) {
    return std::nullopt;
  }
  const std::uint64_t count = Le32(head.data());
  const std::uint64_t body = count * kEntryBytes;
  if (body > *size - head.size()) return std::nullopt;
  std::vector<std::uint8_t> bytes(body);
  if (file.read_at(head.size(), bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  std::vector<Entry> entries;
  for (std::size_t at = 0; at < bytes.size(); at += kEntryBytes) {
    entries.push_back(
        {static_cast<std::int32_t>(Le32(&bytes[at])), Le32(&bytes[at + 4]), Le32(&bytes[at + 8])});
  }
  return entries;
}

std::array<std::uint8_t, kEntryBytes> EntryBytes(const Entry& e) {
  std::array<std::uint8_t, kEntryBytes> out;
  PutLe32(&out[0], static_cast<std::uint32_t>(e.count));
  PutLe32(&out[4], e.version);
  PutLe32(&out[8], e.kind);
  return out;
}

std::optional<std::int32_t> CreateWith(const std::string& path, const Entry& entry) {
  pf::Opened created = OpenExclusive(path, pf::kRead | pf::kWrite, pf::Disposition::kCreateNew);
  if (created.error != pf::FileError::kNone) return std::nullopt;
  std::array<std::uint8_t, 4 + kEntryBytes> bytes;
  PutLe32(&bytes[0], 1);
  const auto body = EntryBytes(entry);
  std::copy(body.begin(), body.end(), bytes.begin() + 4);
  const bool written = created.file.write_at(0, bytes.data(), bytes.size());
  if (!created.file.close() || !written) return std::nullopt;
  return entry.count;
}

}  // namespace

std::optional<std::int32_t> ChangeReference(const std::string& file, std::int32_t delta,
                                            std::uint32_t version, ReferenceKind kind) {
  const auto kind_word = static_cast<std::uint32_t>(kind);
  pf::Opened opened = OpenExclusive(file, pf::kRead | pf::kWrite, pf::Disposition::kOpenExisting);
  if (opened.error == pf::FileError::kNotFound) {
    return CreateWith(file, {std::max(delta, 0), version, kind_word});
  }
  if (opened.error != pf::FileError::kNone) return std::nullopt;
  auto entries = ReadEntries(opened.file);
  if (!entries) return std::nullopt;
  bool written = false;
  std::int32_t result = 0;
  auto found = std::find_if(entries->begin(), entries->end(), [&](const Entry& e) {
    return e.version == version && e.kind == kind_word;
  });
  if (found != entries->end()) {
    const std::int64_t sum = std::int64_t{found->count} + delta;
    found->count = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(sum, 0, std::numeric_limits<std::int32_t>::max()));
    result = found->count;
    const auto bytes = EntryBytes(*found);
    written = opened.file.write_at(4 + kEntryBytes * (found - entries->begin()), bytes.data(),
                                   bytes.size());
  } else {
    const Entry added{std::max(delta, 0), version, kind_word};
    result = added.count;
    const auto bytes = EntryBytes(added);
    std::array<std::uint8_t, 4> count;
    PutLe32(count.data(), static_cast<std::uint32_t>(entries->size() + 1));
    written = opened.file.write_at(4 + kEntryBytes * entries->size(), bytes.data(), bytes.size()) &&
              opened.file.write_at(0, count.data(), count.size());
  }
  if (!opened.file.close() || !written) return std::nullopt;
  return result;
}

std::optional<std::int32_t> ReferenceCount(const std::string& file, std::uint32_t version,
                                           ReferenceKind kind) {
  pf::Opened opened = OpenExclusive(file, pf::kRead, pf::Disposition::kOpenExisting);
  if (opened.error == pf::FileError::kNotFound) return 0;
  if (opened.error != pf::FileError::kNone) return std::nullopt;
  const auto entries = ReadEntries(opened.file);
  if (!entries) return std::nullopt;
  for (const Entry& e : *entries) {
    if (e.version == version && e.kind == static_cast<std::uint32_t>(kind)) return e.count;
  }
  return 0;
}

std::optional<std::int64_t> ReferenceTotal(const std::string& file) {
  pf::Opened opened = OpenExclusive(file, pf::kRead, pf::Disposition::kOpenExisting);
  if (opened.error == pf::FileError::kNotFound) return 0;
  if (opened.error != pf::FileError::kNone) return std::nullopt;
  const auto entries = ReadEntries(opened.file);
  if (!entries) return std::nullopt;
  std::int64_t total = 0;
  for (const Entry& e : *entries) total += std::max(e.count, 0);
  return total;
}

}  // namespace adpurge
