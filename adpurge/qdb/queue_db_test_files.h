// Files for the queue database tests: a scratch folder per test, whole-file reads and
// writes through the platform layer, and digests stamped into hand-made files.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adpurge/platform/platform.h"
#include "adpurge/qdb/qdb_format.h"
#include "adpurge/testing/child.h"

namespace adpurge::qdb {

using Bytes = std::vector<uint8_t>;

// Data file: header with digest 1e8a3175..., record 0x101 "ABCDEF" at 44 and record 0x55
// (bytes 1 to 9) at 58, each followed by checksum length 4 and its checksum.
inline const Bytes kGoldenData = {
    0x28, 0x00, 0x00, 0x00, 'A',  'D',  'C',  'R',  '-',  'S',  'D',  'K',  0x10, 0x00, 0x1e,
    0x8a, 0x31, 0x75, 0x0e, 0x43, 0x78, 0xab, 0x96, 0x04, 0xf4, 0x8f, 0x8b, 0x75, 0xd8, 0xfa,
    0x02, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x00, 0x04, 0x00, 0xff, 0xff, 0xff, 0xff, 'A',
    'B',  'C',  'D',  'E',  'F',  0x04, 0x00, 0x00, 0x00, 0x44, 0x43, 0x88, 0x86,  //
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x04, 0x00, 0x00, 0x00, 0x0c, 0x0a,
    0x08, 0x0f};
// Index file: header with digest bcf94fd5..., entries {0x101, type 7, live, format 3000,
// 6 bytes at 44}, {0x55, type 7, live, format 2000 with high bits 1, 9 bytes at 58},
// {0x200, not live}, and the terminator.
inline const Bytes kGoldenIndex = {
    0x28, 0x00, 0x00, 0x00, 'A',  'D',  'C',  'R',  '-',  'I',  'D',  'X',  0x10, 0x00, 0xbc, 0xf9,
    0x4f, 0xd5, 0xc6, 0x6b, 0x5c, 0x77, 0x11, 0x64, 0xab, 0xc3, 0x7b, 0x5a, 0xed, 0x3b, 0x02, 0x00,
    0x02, 0x00, 0x02, 0x00, 0x00, 0x00, 0x04, 0x00, 0xff, 0xff, 0xff, 0xff,  //
    0x01, 0x01, 0,    0,    7,    0,    0,    0,    5,    0,    0,    0,    0xb8, 0x0b, 0x01, 0x00,
    6,    0,    0,    0,    44,   0,    0,    0,    0x55, 0x00, 0,    0,    7,    0,    0,    0,
    5,    0,    0,    0,    0xd0, 0x07, 0x01, 0x00, 9,    0,    0,    0,    58,   0,    0,    0,
    0x00, 0x02, 0,    0,    7,    0,    0,    0,    4,    0,    0,    0,    0xb8, 0x0b, 0x00, 0x00,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0};

struct TestFolder {
  explicit TestFolder(const std::string& name)
      : path(testing::scratch_folder() + "\\" + testing::unique_name(name)) {
    EXPECT_TRUE(platform::create_folder(path));
  }
  std::string operator/(const std::string& file) const { return path + "\\" + file; }
  std::string path;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  platform::set_attributes_normal(path);
  auto opened =
      platform::open_file(path, platform::kWrite, platform::kShareRead | platform::kShareWrite,
                          platform::Disposition::kCreateAlways);
  ASSERT_TRUE(opened.file.valid()) << path;
  ASSERT_TRUE(opened.file.write_at(0, bytes.data(), bytes.size()));
  ASSERT_TRUE(opened.file.close());
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  auto opened =
      platform::open_file(path, platform::kRead, platform::kShareRead | platform::kShareWrite,
                          platform::Disposition::kOpenExisting);
  std::vector<uint8_t> bytes(static_cast<size_t>(opened.file.size().value_or(0)));
  if (!bytes.empty()) opened.file.read_at(0, bytes.data(), bytes.size());
  return bytes;
}

// X.cdb and X.idx as above.
inline void WriteGoldenFiles(const std::string& x) {
  WriteBytes(x + ".cdb", kGoldenData);
  WriteBytes(x + ".idx", kGoldenIndex);
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The file with its header digest computed again.
inline std::vector<uint8_t> WithDigest(std::vector<uint8_t> file) {
  const auto field = DigestField(FileDigest(file));
  std::copy(field.begin(), field.end(), file.begin() + kDigestOffset);
  return file;
}

}  // namespace adpurge::qdb
