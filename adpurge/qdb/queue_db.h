// An ad queue database: the data file X.cdb and the index file X.idx, shared by every process
// that has them open through named objects derived from the data file's full path and an
// index held in a shared memory region. Open, walk every record, close.
//
// One QueueDb belongs to one thread. Nothing throws except std::bad_alloc; Open reports
// failure as false, and read or write errors inside a walk are passed over.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "adpurge/platform/platform.h"
#include "adpurge/qdb/index_region.h"
#include "adpurge/qdb/qdb_format.h"
#include "adpurge/qdb/rw_lock.h"

namespace adpurge::qdb {

// Upgrades one record in place to the current record format. `entry` is the record's index
// entry; the converter sets its format version (low 16 bits of word 3, keeping the high 16).
// Returns true when it rewrote `record`, false when the record was current already or could
// not be read (it then stays as it was).
using RecordConverter = std::function<bool(std::vector<uint8_t>& record, IndexEntry& entry)>;

// The converter that changes nothing.
bool KeepRecord(std::vector<uint8_t>& record, IndexEntry& entry);

// What a walk hands its callback for each selected record. The callback may replace `bytes`
// and set `changed` (written back unless the walk is read-only; the entry's format version is
// stored with it), and set or leave `stop` as the walk mode asks.
struct WalkRecord {
  std::vector<uint8_t> bytes;
  IndexEntry entry;
  bool changed = false;
  bool stop = false;
};
using WalkCallback = std::function<void(WalkRecord&)>;

enum WalkMode : uint32_t {
  kReadOnly = 1,       // shared locks, nothing written back
  kStopWhenSet = 2,    // stop once the callback sets `stop`
  kStopWhenClear = 4,  // stop once the callback leaves `stop` clear
  kLiveEntries = 8,
  kDeadEntries = 16,
};
inline constexpr uint32_t kAllTypes = 0xFFFFFFFF;

// The names the database X uses: its files, their backups, and the base of its object names.
struct QueueDbNames {
  std::string data, index, data_backup, index_backup;
  std::string objects;  // full data file path, lower case, "\" and "/" as "_"
};
QueueDbNames NamesOf(const std::string& name);  // `name` with or without an extension

class QueueDb {
 public:
  QueueDb() = default;
  ~QueueDb();  // closes an open database
  QueueDb(const QueueDb&) = delete;
  QueueDb& operator=(const QueueDb&) = delete;

  enum class Failure { kNone, kCannotOpen, kRegionFull };

  // Opens the database `name` (its extension, if any, is replaced), recovering from the
  // backups when the files are damaged. Never creates missing files. When this process is the
  // first to open it (it made the guard mutex, or found no shared region), loads the shared
  // index and upgrades old records with `converter`.
  bool Open(const std::string& name, RecordConverter converter = KeepRecord);
  // Why the last Open failed. kRegionFull: the index does not fit the shared region; then
  // nothing was loaded and no file was touched.
  Failure last_failure() const { return failure_; }
  bool is_open() const { return open_; }

  // Calls `callback` for the selected records in post-order of the index tree.
  void Walk(const WalkCallback& callback, uint32_t type_filter, uint32_t mode);

  // Writes the index back, makes the backups X1.cdb and X1.idx, and releases everything.
  void Close();

 private:
  enum class Attempt { kOpened, kFailed, kRegionFull };
  bool AttachRegion();
  Attempt OpenFiles();
  Attempt CheckHeaders();
  Attempt ConvertVersion13(const std::vector<uint8_t>& old_file);
  bool CreateNewFiles();
  Attempt LoadIndex();
  bool RecordMatches(const IndexEntry& entry, uint64_t data_size);
  void ReleaseShared();
  void ReleaseAll();

  QueueDbNames names_;
  RecordConverter converter_;
  bool open_ = false;
  bool first_ = false;
  Failure failure_ = Failure::kNone;
  platform::Handle guard_;
  RwLock data_lock_, index_lock_, region_lock_;
  platform::Handle allocation_mutex_, mapping_;
  platform::MappedView view_;
  std::optional<IndexRegion> region_;
  platform::File data_, index_;
};

}  // namespace adpurge::qdb
