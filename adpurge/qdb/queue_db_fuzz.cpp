// Fuzz target over both files of a queue database: the input is split into a data file and
// an index file, which are opened (upgrading every record), walked with changes, and closed.
// Input: 2 bytes little-endian, the data file's length in the low 15 bits (cut to what is
// there), the data file, then the index file. Unless the top bit is set, both digests are
// made right first, so that inputs reach what lies behind the header checks.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "adpurge/platform/platform.h"
#include "adpurge/qdb/queue_db.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace {

namespace pf = adpurge::platform;

const std::string& Folder() {
  static const std::string folder = [] {
#if !defined(_WIN32)
    if (!std::getenv("ADPURGE_ROOT")) {
      // Memory-backed when there is such a folder: every write goes through to the disk.
      std::string root = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
      root += "/adpurge-qdb-fuzz-XXXXXX";
      static std::string made;
      if (mkdtemp(root.data())) {
        made = root;
        setenv("ADPURGE_ROOT", made.c_str(), 1);
        std::atexit([] { std::filesystem::remove_all(made); });
      }
    }
#endif
    pf::create_folder("C:\\");
    pf::create_folder("C:\\fuzz");
    return std::string("C:\\fuzz");
  }();
  return folder;
}

void Write(const std::string& path, const uint8_t* data, size_t size, bool fix_digest) {
  std::vector<uint8_t> bytes(data, data + size);
  if (fix_digest && size >= adpurge::qdb::kDigestBytesAt + 16) {
    const auto digest = adpurge::qdb::FileDigest(bytes);
    std::copy(digest.begin(), digest.end(), bytes.begin() + adpurge::qdb::kDigestBytesAt);
  }
  auto opened = pf::open_file(path, pf::kWrite, pf::kShareNone, pf::Disposition::kCreateAlways);
  if (opened.file.valid()) opened.file.write_at(0, bytes.data(), bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace adpurge::qdb;
  const std::string x = Folder() + "\\q";
  size_t split = size >= 2 ? (data[0] | (data[1] & 0x7F) << 8) : 0;
  const bool fix_digests = size < 2 || (data[1] & 0x80) == 0;
  const uint8_t* files = data + (size >= 2 ? 2 : size);
  const size_t files_size = size >= 2 ? size - 2 : 0;
  if (split > files_size) split = files_size;
  Write(x + ".cdb", files, split, fix_digests);
  Write(x + ".idx", files + split, files_size - split, fix_digests);
  {
    QueueDb db;
    const auto upgrade = [](std::vector<uint8_t>& record, IndexEntry& entry) {
      if (entry.format() == 3000) return false;
      record.push_back(static_cast<uint8_t>(record.size()));
      entry.word[3] = (entry.word[3] & 0xFFFF0000) | 3000;
      return true;
    };
    if (db.Open(x, upgrade)) {
      db.Walk(
          [](WalkRecord& r) {
            r.changed = r.entry.key() % 3 == 0;
            if (r.entry.key() % 2 == 0) r.bytes.resize(r.bytes.size() / 2);
          },
          kAllTypes, kLiveEntries | kDeadEntries);
      db.Walk([](WalkRecord& r) { r.stop = r.bytes.size() > 3; }, 7,
              kReadOnly | kStopWhenSet | kLiveEntries);
      db.Close();
    }
  }
  for (const char* name : {".cdb", ".idx", "1.cdb", "1.idx"}) pf::delete_file(x + name);
  return 0;
}
