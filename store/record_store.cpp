// The record store TQDB: opening (unpacking a store file into working files),
// item operations, the index journal, and the write-back.
#include "store/record_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <utility>

#include "store/index_section.h"
#include "store/item_coder.h"
#include "store/qdb_format.h"

namespace ferrowyn {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kDefaultCacheSize = 65536;
constexpr std::int64_t kMaxDataSize = std::numeric_limits<std::int32_t>::max();
// The longest stored form of a legitimate item: its bytes behind a 2-byte length and a
// method byte for every piece.
constexpr std::uint64_t kMaxStoredSize =
    qdb::kMaxItemSize + 3 * (qdb::kMaxItemSize / kPieceSize + 1);

std::string& TempDirectorySetting() {
  static std::string dir;
  return dir;
}

std::string WorkingDirectory() {
  const std::string& setting = TempDirectorySetting();
  std::error_code error;
  if (!setting.empty() && fs::is_directory(setting, error)) return setting;
  const fs::path platform = fs::temp_directory_path(error);
  return error ? std::string("/tmp") : platform.string();
}

// Reports a long pass in tenths: at every entry whose number is a multiple of
// a tenth of the entries, then once with 0 at the end.
class ProgressPass {
 public:
  ProgressPass(const TQDB::ProgressCallback& callback, int kind, std::int64_t entries)
      : callback_(callback), kind_(kind), step_((entries > 0 ? entries : 0) / 10 + 1) {}
  ~ProgressPass() {
    if (callback_) callback_(kind_, 0);
  }
  void At(std::int64_t entry) const {
    if (callback_ && entry % step_ == 0) callback_(kind_, static_cast<int>(entry * 10 / step_));
  }

 private:
  const TQDB::ProgressCallback& callback_;
  int kind_;
  std::int64_t step_;
};

[[noreturn]] void ThrowInvalidFile(const std::string& name) {
  throw EQDBFileError(QDBMessage(qdb_text::kInvalidFile, name));
}

// An index or an item that cannot be read: the same text, as the index error it is.
[[noreturn]] void ThrowUnreadable(const std::string& name) {
  throw EQDBIndexError(QDBMessage(qdb_text::kInvalidFile, name));
}

std::string CutKey(const std::string& key) {
  const std::size_t end = std::min(key.find('\0'), qdb::kMaxKeyLength);
  return key.substr(0, end);
}

std::string ReadWholeFile(const std::string& path, const std::string& store) {
  qdb_io::FileHandle file = qdb_io::OpenForReading(path, store);
  std::string bytes(static_cast<std::size_t>(qdb_io::FileSize(file.fd(), store)), '\0');
  if (!qdb_io::ReadExact(file.fd(), bytes.data(), bytes.size(), store)) ThrowInvalidFile(store);
  return bytes;
}

// Where the data section starts in a store file, behind the signature and the section's
// length; the working data file keeps the same room in front of its data.
constexpr std::int64_t kDataOffset = 8;

// The mode a new store file gets: what the process's file creation mask leaves of 0666.
mode_t NewFileMode() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    unsigned mask = 0;
    if (std::sscanf(line.c_str(), "Umask: %o", &mask) == 1)
      return 0666 & ~static_cast<mode_t>(mask);
  }
  return 0644;
}

}  // namespace

TQDB::TQDB() : cache_(kDefaultCacheSize) {}

TQDB::~TQDB() {
  if (!assigned_) return;
  try {
    Close();
  } catch (...) {
    // The working files stay in the temporary directory; the old store file is intact.
  }
}

void TQDB::SetTempDirectory(const std::string& dir) { TempDirectorySetting() = dir; }

std::string TQDB::TempDirectory() { return TempDirectorySetting(); }

std::string TQDB::StoreFileName(const std::string& name) {
  std::error_code error;
  fs::path path = fs::absolute(fs::path(name), error);
  path = error ? fs::path(name) : path.lexically_normal();
  if (!path.has_extension()) path += ".QDB";
  return path.string();
}

std::string TQDB::ExpandName(const std::string& name) const {
  if (!expanded_file_names_) return name;
  std::error_code error;
  const fs::path full = fs::absolute(fs::path(name), error);
  if (error) throw QDBFileError(error.value(), name);
  return full.lexically_normal().string();
}

void TQDB::RequireFile() const {
  if (!assigned_) throw EQDBNoFile(std::string(qdb_text::kNoFile));
}

void TQDB::RequireData() const {
  if (ordinary_.Count() == 0) throw EQDBNoData(QDBMessage(qdb_text::kNoData, file_name_));
}

void TQDB::SetFileName(const std::string& name) {
  if (name.empty()) {
    if (assigned_) Close();
    file_name_.clear();
    return;
  }
  const std::string full = ExpandName(name);
  if (assigned_ && full == file_name_) return;
  if (assigned_) Close();
  fs::path path(full);
  if (!path.has_extension()) path += ".QDB";
  Open(path.string());
}

void TQDB::Open(const std::string& name) {
  file_name_ = name;
  try {
    Unpack();
  } catch (const std::bad_alloc&) {
    const std::string message = QDBMessage(qdb_text::kInvalidFile, file_name_);
    DiscardWorkingState(true);
    file_name_.clear();
    throw EQDBIndexError(message);
  } catch (...) {
    DiscardWorkingState(true);
    file_name_.clear();
    throw;
  }
}

void TQDB::Unpack() {
  const std::string& name = file_name_;
  if (!qdb_io::Exists(name)) qdb_io::CreateFileWith(name, qdb::kEmptyStoreFile, name);
  timestamp_ = qdb_io::ModificationTime(name);
  if (qdb_io::HasReadOnlyAttribute(name)) read_only_ = true;

  // The store file is read in place and only read: nothing is copied until a change.
  qdb_io::FileHandle in = qdb_io::OpenForReading(name, name);
  const std::int64_t file_size = qdb_io::FileSize(in.fd(), name);
  char tag[4];
  if (!qdb_io::ReadExact(in.fd(), tag, 4, name) || std::string_view(tag, 4) != qdb::kSignature)
    ThrowInvalidFile(name);
  char word[4];
  if (!qdb_io::ReadExact(in.fd(), word, 4, name)) ThrowInvalidFile(name);
  if (std::string_view(word, 4) == qdb::kPasswordTag) {
    // No password is ever supplied, so a protected file is always refused.
    throw EQDBInvalidPW(std::string(qdb_text::kInvalidPassword));
  }
  // Without a password block the four bytes are D.
  const std::int64_t data_offset = kDataOffset;
  const std::int32_t data_length = qdb::GetInt32(word);
  if (data_length < 0 || data_length > file_size - data_offset) ThrowInvalidFile(name);
  const std::int64_t marker_at = data_offset + data_length;
  char marker[8];
  if (!qdb_io::ReadAt(in.fd(), marker_at, marker, 8, name) ||
      std::string_view(marker, 4) != qdb::kIndexMarker)
    ThrowInvalidFile(name);
  const std::int64_t index_offset = marker_at + 8;
  const std::int32_t index_length = qdb::GetInt32(marker + 4);
  if (index_length < 0 || index_length > file_size - index_offset) ThrowInvalidFile(name);
  std::string section(static_cast<std::size_t>(index_length), '\0');
  if (!qdb_io::ReadAt(in.fd(), index_offset, section.data(), section.size(), name))
    ThrowInvalidFile(name);
  data_file_ = std::move(in);
  data_offset_ = data_offset;
  data_size_ = data_length;
  index_offset_ = index_offset;
  index_length_ = index_length;
  in_place_ = true;

  ParsedIndex parsed;
  {
    ProgressPass progress(progress_, 0, index_length >= 4 ? qdb::GetInt32(section.data()) : 0);
    parsed = ParseIndexSection(section, data_size_, name,
                               [&progress](std::int64_t i) { progress.At(i); });
  }
  LoadAdministrative(std::move(parsed.administrative), administrative_, name);
  bool case_sensitive = false;
  int at = 0;
  if (administrative_.Find(qdb::kCaseSensitiveKey, &at)) {
    case_sensitive = AdministrativeItemIs(administrative_.Entry(at), std::string_view("\1", 1));
  }
  ordinary_.EmptyAndClear();
  ordinary_.SetCaseSensitive(case_sensitive);
  LoadOrdinary(section, parsed.ordinary, ordinary_, name);
  std::string().swap(section);
  std::vector<std::uint32_t>().swap(parsed.ordinary);

  item_index_ = 0;
  current_key_ = ordinary_.Count() > 0 ? ordinary_.Key(0) : std::string();
  modified_ = false;
  assigned_ = true;
}

bool TQDB::AdministrativeItemIs(const TIndex& index, std::string_view value) const {
  const std::int64_t size = index.size;
  const std::int64_t base = data_offset_ + index.position;
  if (!(index.flags & qdb::kFlagCompressed)) {
    if (size != static_cast<std::int64_t>(value.size())) return false;
    std::string bytes(value.size(), '\0');
    if (!qdb_io::ReadAt(data_file_.fd(), base, bytes.data(), bytes.size(), file_name_))
      ThrowUnreadable(file_name_);
    return bytes == value;
  }
  // Block by block through a window of the file, and only until the item is known to be
  // longer than `value`: a large item costs neither its expansion nor its stored size in
  // memory. A stored form that cannot be read refuses the file, as an unreadable index does.
  constexpr std::size_t kWindow = 2 * (2 + 65535);
  std::string window;
  std::int64_t window_at = 0;
  auto bytes_at = [&](std::int64_t at, std::size_t n) -> const std::uint8_t* {
    if (at + static_cast<std::int64_t>(n) > size) ThrowUnreadable(file_name_);
    if (window.empty() || at < window_at ||
        at + static_cast<std::int64_t>(n) > window_at + static_cast<std::int64_t>(window.size())) {
      window_at = at;
      window.resize(static_cast<std::size_t>(std::min<std::int64_t>(size - at, kWindow)));
      if (!qdb_io::ReadAt(data_file_.fd(), base + at, window.data(), window.size(), file_name_))
        ThrowUnreadable(file_name_);
    }
    return reinterpret_cast<const std::uint8_t*>(window.data()) + (at - window_at);
  };
  std::string out;
  for (std::int64_t at = 0; at < size && out.size() <= value.size();) {
    const std::uint8_t* length = bytes_at(at, 2);
    const std::size_t b = length[0] | (std::size_t{length[1]} << 8);
    at += 2;
    const std::uint8_t* body = bytes_at(at, b);
    try {
      ExpandPiece(body, b, out);
    } catch (const ECoderError&) {
      ThrowUnreadable(file_name_);
    }
    at += static_cast<std::int64_t>(b);
  }
  return out == value;
}

void TQDB::MakeWorkingCopy() {
  if (!in_place_) return;
  const std::string dir = WorkingDirectory();
  qdb_io::TempFile data = qdb_io::MakeUniqueFile(dir, "QDB", file_name_);
  // The index and journal are named like the data file with another prefix.
  const std::string suffix = fs::path(data.path).filename().string().substr(3);
  const std::string index_path = (fs::path(dir) / ("QIX" + suffix)).string();
  const std::string journal_path = (fs::path(dir) / ("QIJ" + suffix)).string();
  qdb_io::FileHandle journal;
  try {
    // The data go behind room for a store file's head, where a write-back puts it, so that
    // the write-back can finish this file and rename it into place rather than copy it.
    qdb_io::WriteAll(data.handle.fd(), std::string(kDataOffset, '\0'), file_name_);
    // Copied from the descriptor opened with the store, so a file replaced on disk since
    // still gives the bytes the index was read from.
    if (!qdb_io::CopyBytes(data_file_.fd(), data_offset_, data_size_, data.handle.fd(), file_name_))
      ThrowInvalidFile(file_name_);
    std::string section(static_cast<std::size_t>(index_length_), '\0');
    if (!qdb_io::ReadAt(data_file_.fd(), index_offset_, section.data(), section.size(), file_name_))
      ThrowInvalidFile(file_name_);
    qdb_io::CreateFileWith(index_path, section, file_name_);
    qdb_io::CreateFileWith(journal_path, {}, file_name_);
    journal = qdb_io::OpenForAppending(journal_path, file_name_);
  } catch (...) {
    for (const std::string* path : {&std::as_const(data.path), &index_path, &journal_path})
      ::unlink(path->c_str());
    throw;
  }
  data_file_ = std::move(data.handle);
  journal_file_ = std::move(journal);
  data_path_ = data.path;
  index_path_ = index_path;
  journal_path_ = journal_path;
  data_offset_ = kDataOffset;
  in_place_ = false;
  reader_.reset();  // places from now on are in the working data file
}

void TQDB::DiscardWorkingState(bool delete_files) {
  reader_.reset();
  data_file_.Close();
  journal_file_.Close();
  if (delete_files) {
    for (const std::string* path : {&data_path_, &index_path_, &journal_path_})
      if (!path->empty()) ::unlink(path->c_str());
  }
  data_path_.clear();
  index_path_.clear();
  journal_path_.clear();
  data_size_ = 0;
  data_offset_ = 0;
  in_place_ = false;
  index_offset_ = 0;
  index_length_ = 0;
  ordinary_.EmptyAndClear();
  administrative_.EmptyAndClear();
  pending_journal_.clear();
  pending_ends_.clear();
  cache_.Clear();
  assigned_ = false;
  item_index_ = 0;
  current_key_.clear();
  modified_ = false;
  changed_since_written_ = false;
  timestamp_.reset();
}

void TQDB::Close() {
  assert(assigned_);
  if (in_place_) {
    // Never changed: the store file already is the store, and stays exactly as it is.
    DiscardWorkingState(true);
    file_name_.clear();
    return;
  }
  if (!changed_since_written_ && timestamp_ && qdb_io::ModificationTime(file_name_) == timestamp_) {
    // Nothing changed since the store file was last written, and it is still the file this
    // store wrote: writing it back would give the very same bytes again.
    DiscardWorkingState(true);
    file_name_.clear();
    return;
  }
  // Changes dropped here stay in the lists in memory: the index is then read back from
  // the working files.
  bool lists_committed = true;
  if (read_only_ || !save_on_close_) {
    lists_committed = pending_ends_.empty();
    pending_journal_.clear();
    pending_ends_.clear();
  } else {
    FlushJournal(1);
  }
  cache_.Clear();
  modified_ = false;
  try {
    WriteBack(lists_committed);
  } catch (...) {
    // The old store file is intact; the working files stay in the temporary
    // directory so that nothing committed is lost.
    DiscardWorkingState(false);
    file_name_.clear();
    throw;
  }
  DiscardWorkingState(true);
  file_name_.clear();
}

void TQDB::Discard() {
  if (!assigned_) return;
  DiscardWorkingState(true);
  file_name_.clear();
}

void TQDB::FlushJournal(int progress_kind) {
  if (pending_ends_.empty()) return;
  if (!progress_) {
    // Nobody watches: one write for the whole commit.
    qdb_io::WriteAll(journal_file_.fd(), pending_journal_, file_name_);
    pending_journal_.clear();
    pending_ends_.clear();
    return;
  }
  ProgressPass progress(progress_, progress_kind, static_cast<std::int64_t>(pending_ends_.size()));
  std::size_t written = 0;
  const std::size_t step = pending_ends_.size() / 10 + 1;
  for (std::size_t i = 0; i < pending_ends_.size(); i += step) {
    progress.At(static_cast<std::int64_t>(i));
    const std::size_t end = pending_ends_[std::min(pending_ends_.size(), i + step) - 1];
    qdb_io::WriteAll(journal_file_.fd(),
                     std::string_view(pending_journal_).substr(written, end - written), file_name_);
    written = end;
  }
  pending_journal_.clear();
  pending_ends_.clear();
}

std::string TQDB::ComposeCommittedIndex(bool lists_committed) {
  if (lists_committed && pending_ends_.empty()) {
    // Every change is in the journal, so the lists in memory are the committed index:
    // reading the working files back would build a second copy of them just when a
    // large store is written.
    ProgressPass progress(progress_, 1, administrative_.Count() + ordinary_.Count());
    return WriteIndexSection(administrative_, ordinary_,
                             [&progress](std::int64_t i) { progress.At(i); });
  }
  const std::string section = ReadWholeFile(index_path_, file_name_);
  ParsedIndex parsed = ParseIndexSection(section, data_size_, file_name_);
  TIndexList administrative;
  LoadAdministrative(std::move(parsed.administrative), administrative, file_name_);
  TIndexList ordinary(ordinary_.CaseSensitive());
  LoadOrdinary(section, parsed.ordinary, ordinary, file_name_);
  ReplayJournal(ReadWholeFile(journal_path_, file_name_), data_size_, ordinary, file_name_);
  ProgressPass progress(progress_, 1, administrative.Count() + ordinary.Count());
  return WriteIndexSection(administrative, ordinary,
                           [&progress](std::int64_t i) { progress.At(i); });
}

bool TQDB::WriteBack(bool lists_committed) {
  if (read_only_) return false;
  std::string target = file_name_;
  if (timestamp_) {
    const auto now = qdb_io::ModificationTime(target);
    // Another program changed the file: leave it alone and write beside it.
    if (now && *now != *timestamp_) {
      const fs::path path(target);
      fs::path renamed = path;
      do {
        renamed = renamed.parent_path() / ("1." + renamed.filename().string());
      } while (qdb_io::Exists(renamed.string()));
      target = renamed.string();
      file_name_ = target;
    }
  }
  // A link to a store file is kept and the file it leads to replaced; nothing but a
  // regular file is ever replaced.
  const qdb_io::ReplacementTarget resolved = qdb_io::ResolveReplacementTarget(target);
  if (resolved.error != 0) throw QDBFileError(resolved.error, file_name_);
  if (resolved.refused) ThrowInvalidFile(file_name_);
  target = resolved.path;
  const std::string index = ComposeCommittedIndex(lists_committed);

  const fs::path parent = fs::path(target).parent_path();
  const std::string dir = parent.empty() ? std::string(".") : parent.string();
  std::string head(qdb::kSignature);
  qdb::PutInt32(head, static_cast<std::uint32_t>(data_size_));
  std::string tail(qdb::kIndexMarker);
  qdb::PutInt32(tail, static_cast<std::uint32_t>(index.size()));
  tail += index;
  struct stat st;
  const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
  if (MoveWorkingDataOver(target, dir, head, tail, mode)) {
    timestamp_ = qdb_io::ModificationTime(target);
    return true;
  }

  qdb_io::TempFile out = qdb_io::MakeUniqueFile(dir, "QDD", file_name_);
  try {
    qdb_io::WriteAll(out.handle.fd(), head, file_name_);
    if (!qdb_io::CopyBytes(data_file_.fd(), data_offset_, data_size_, out.handle.fd(), file_name_))
      throw EQDBFileError(QDBMessage(qdb_text::kInvalidFile, file_name_));
    qdb_io::WriteAll(out.handle.fd(), tail, file_name_);
    if (::fchmod(out.handle.fd(), mode) != 0) throw QDBFileError(errno, file_name_);
    qdb_io::SyncToDisk(out.handle.fd(), file_name_);
    out.handle.CloseChecked(file_name_);
    qdb_io::RenameOver(out.path, target, file_name_);
  } catch (...) {
    ::unlink(out.path.c_str());
    throw;
  }
  timestamp_ = qdb_io::ModificationTime(target);
  return false;
}

bool TQDB::MoveWorkingDataOver(const std::string& target, const std::string& dir,
                               std::string_view head, std::string_view tail, mode_t mode) {
  // Only a working data file on the target's file system can be renamed there.
  struct stat data_stat;
  struct stat dir_stat;
  if (data_path_.empty() || ::fstat(data_file_.fd(), &data_stat) != 0 ||
      ::stat(dir.c_str(), &dir_stat) != 0 || data_stat.st_dev != dir_stat.st_dev)
    return false;
  const int fd = data_file_.fd();
  const std::int64_t end = data_offset_ + data_size_;
  bool moved = false;
  try {
    qdb_io::WriteAt(fd, 0, head, file_name_);
    qdb_io::WriteAt(fd, end, tail, file_name_);
    // Nothing of an earlier, failed write-back may stay behind the index.
    qdb_io::Truncate(fd, end + static_cast<std::int64_t>(tail.size()), file_name_);
    if (::fchmod(fd, mode) != 0) throw QDBFileError(errno, file_name_);
    // Synced before it is renamed into place, as a copy would be.
    qdb_io::SyncToDisk(fd, file_name_);
    moved = qdb_io::MoveOver(data_path_, target, file_name_);
  } catch (...) {
    // The working data file goes on holding the data alone, as before.
    ::ftruncate(fd, static_cast<off_t>(end));
    ::fchmod(fd, 0600);
    throw;
  }
  if (!moved) {
    // Another file system after all (a bind mount): the data are copied instead.
    if (::ftruncate(fd, static_cast<off_t>(end)) != 0) throw QDBFileError(errno, file_name_);
    return false;
  }
  // The working data file is the store file now: it keeps its descriptor (and every
  // reader's), but no longer its name in the temporary directory.
  data_path_.clear();
  index_offset_ = end + 8;
  index_length_ = static_cast<std::int64_t>(tail.size()) - 8;
  return true;
}

namespace {

// The stored form of the item at `index` in the data section that starts at `offset` in the
// file `fd`.
TQDB::RawItem ReadRawAt(int fd, std::int64_t offset, const TIndex& index,
                        const std::string& file_name) {
  TQDB::RawItem item;
  item.compressed = (index.flags & qdb::kFlagCompressed) != 0;
  // No legitimate item has a stored form this long; reading it would only waste memory.
  if (static_cast<std::uint64_t>(index.size) > kMaxStoredSize) ThrowUnreadable(file_name);
  try {
    item.stored.resize(static_cast<std::size_t>(index.size));
    if (!qdb_io::ReadAt(fd, offset + index.position, item.stored.data(), item.stored.size(),
                        file_name))
      ThrowUnreadable(file_name);
  } catch (const EQDBIndexError&) {
    throw;
  } catch (...) {
    ThrowUnreadable(file_name);
  }
  return item;
}

}  // namespace

std::string TQDB::ReadItem(const TIndex& index) const {
  return ExpandRawItem(ReadRaw(index), file_name_);
}

TQDB::RawItem TQDB::ReadRaw(const TIndex& index) const {
  return ReadRawAt(data_file_.fd(), data_offset_, index, file_name_);
}

std::string TQDB::ExpandRawItem(const RawItem& item, const std::string& file_name) {
  if (!item.compressed) {
    if (item.stored.size() > qdb::kMaxItemSize) ThrowUnreadable(file_name);
    return item.stored;
  }
  try {
    return ExpandItem(item.stored, qdb::kMaxItemSize);
  } catch (const ECoderError&) {
    ThrowUnreadable(file_name);
  } catch (const std::bad_alloc&) {
    throw EQDBNoCompress(std::string(qdb_text::kNoCompress));
  }
}

std::string TQDB::PlaceReader::Read(const ItemPlace& place) const {
  return ExpandRawItem(ReadRawAt(data_.fd(), data_offset_, place, file_name_), file_name_);
}

std::size_t TQDB::PlaceReader::ReadInto(const ItemPlace& place, ItemBuffer& stored,
                                        ItemBuffer& out, std::size_t offset) const {
  const bool compressed = (place.flags & qdb::kFlagCompressed) != 0;
  if (static_cast<std::uint64_t>(place.size) > kMaxStoredSize) ThrowUnreadable(file_name_);
  const auto size = static_cast<std::size_t>(place.size);
  // An item kept as it is goes straight to its place; a compressed one is read whole first.
  ItemBuffer& to = compressed ? stored : out;
  const std::size_t at = compressed ? 0 : offset;
  try {
    to.Reserve(at + size, at);
    if (!qdb_io::ReadAt(data_.fd(), data_offset_ + place.position, to.data() + at, size,
                        file_name_))
      ThrowUnreadable(file_name_);
  } catch (const EQDBIndexError&) {
    throw;
  } catch (...) {
    ThrowUnreadable(file_name_);
  }
  if (!compressed) {
    if (size > qdb::kMaxItemSize) ThrowUnreadable(file_name_);
    return size;
  }
  try {
    return ExpandItemInto(std::string_view(stored.data(), size), qdb::kMaxItemSize, out, offset);
  } catch (const ECoderError&) {
    ThrowUnreadable(file_name_);
  } catch (const std::bad_alloc&) {
    throw EQDBNoCompress(std::string(qdb_text::kNoCompress));
  }
}

TQDB::ItemPlace TQDB::CurrentPlace() const {
  RequireFile();
  RequireData();
  return ordinary_.Entry(item_index_);
}

std::shared_ptr<const TQDB::PlaceReader> TQDB::Reader() {
  RequireFile();
  if (!reader_) {
    const int fd = ::fcntl(data_file_.fd(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) throw EQDBFileError(std::string(qdb_text::kNoHandles));
    reader_ = std::make_shared<const PlaceReader>(qdb_io::FileHandle(fd), data_offset_, file_name_);
  }
  return reader_;
}

void TQDB::RequireItem(int index) const {
  RequireFile();
  RequireData();
  if (index < 0 || index >= Count()) throw EQDBOutOfBounds(std::string(qdb_text::kOutOfBounds));
}

std::string TQDB::KeyAt(int index) const {
  RequireItem(index);
  return ordinary_.Key(index);
}

TQDB::RawItem TQDB::ReadRawItem(int index) const {
  RequireItem(index);
  return ReadRaw(ordinary_.Entry(index));
}

std::string TQDB::ItemAt(int index) const { return ExpandRawItem(ReadRawItem(index), file_name_); }

TQDB::PreparedItem TQDB::PrepareItem(std::string bytes) {
  PreparedItem item;
  try {
    CompressItem(bytes, item.compressed);
  } catch (const std::bad_alloc&) {
    throw EQDBNoCompress(std::string(qdb_text::kNoCompress));
  }
  item.bytes = std::move(bytes);
  return item;
}

void TQDB::AddItem(std::string_view bytes, const std::string& key) {
  std::string compressed;
  if (compression_) {
    try {
      CompressItem(bytes, compressed);
    } catch (const std::bad_alloc&) {
      throw EQDBNoCompress(std::string(qdb_text::kNoCompress));
    }
  }
  AddStored(bytes.size(), compression_ ? std::string_view(compressed) : bytes, key, &bytes);
}

void TQDB::AddPreparedItem(const PreparedItem& item, const std::string& key) {
  const std::string_view bytes = item.bytes;
  AddStored(bytes.size(), compression_ ? item.compressed : item.bytes, key, &bytes);
}

void TQDB::AddCompressedItem(std::string_view compressed, std::size_t size,
                             const std::string& key) {
  if (compression_) return AddStored(size, compressed, key, nullptr);
  std::string bytes;
  try {
    bytes = ExpandItem(compressed);
  } catch (const ECoderError&) {
    throw EQDBNoCompress(std::string(qdb_text::kNoCompress));
  }
  const std::string_view view = bytes;
  AddStored(view.size(), view, key, &view);
}

void TQDB::AddStored(std::size_t size, std::string_view stored, const std::string& key,
                     const std::string_view* bytes) {
  RequireFile();
  if (read_only_) throw EQDBReadOnly(QDBMessage(qdb_text::kReadOnly, file_name_));
  std::string cut = CutKey(key);
  int at = 0;
  if (ordinary_.Find(cut, &at)) throw EQDBIndexError(std::string(qdb_text::kDuplicate));
  if (ordinary_.Count() >= qdb::kMaxEntries)
    throw EQDBListError(std::string(qdb_text::kOutOfBounds));
  // Reading refuses an item this large, so it is never written.
  if (size > qdb::kMaxItemSize) throw EQDBNoCompress(std::string(qdb_text::kNoCompress));
  MakeWorkingCopy();
  TIndex index;
  if (compression_) index.flags = qdb::kFlagCompressed;
  // Positions and sizes are signed 32-bit in the file.
  if (data_size_ + static_cast<std::int64_t>(stored.size()) > kMaxDataSize)
    throw QDBFileError(EFBIG, file_name_);
  qdb_io::WriteAt(data_file_.fd(), data_offset_ + data_size_, stored, file_name_);
  index.position = static_cast<std::int32_t>(data_size_);
  index.size = static_cast<std::int32_t>(stored.size());
  ordinary_.InsertAt(at, cut, index);
  data_size_ += index.size;
  AppendJournalAddition(pending_journal_, cut, index);
  pending_ends_.push_back(pending_journal_.size());
  item_index_ = at;
  current_key_ = cut;
  changed_since_written_ = true;
  if (bytes) {
    cache_.Offer(current_key_, *bytes);
  } else {
    cache_.Remove(current_key_);
  }
  modified_ = true;
}

std::string TQDB::GetItem() {
  RequireFile();
  RequireData();
  const std::string key = ordinary_.Key(item_index_);
  std::string bytes;
  if (cache_.Lookup(key, &bytes)) return bytes;
  bytes = ReadItem(ordinary_.Entry(item_index_));
  cache_.Offer(key, bytes);
  return bytes;
}

void TQDB::ScanItem(const std::function<void(std::string_view)>& part) {
  RequireFile();
  RequireData();
  RawItem item = ReadRaw(ordinary_.Entry(item_index_));
  if (!item.compressed) {
    if (item.stored.size() > qdb::kMaxItemSize) ThrowUnreadable(file_name_);
    part(item.stored);
    return;
  }
  try {
    ExpandItemPieces(item.stored, qdb::kMaxItemSize, part);
  } catch (const ECoderError&) {
    ThrowUnreadable(file_name_);
  } catch (const std::bad_alloc&) {
    throw EQDBNoCompress(std::string(qdb_text::kNoCompress));
  }
}

std::int64_t TQDB::StoredSize() const {
  RequireFile();
  RequireData();
  return ordinary_.Entry(item_index_).size;
}

bool TQDB::FindKey(const std::string& key) {
  if (!assigned_) return false;
  int at = 0;
  if (!ordinary_.Find(CutKey(key), &at)) return false;
  item_index_ = at;
  current_key_ = ordinary_.Key(at);
  return true;
}

bool TQDB::KeyExists(const std::string& key) const {
  if (!assigned_) return false;
  int at = 0;
  return ordinary_.Find(CutKey(key), &at);
}

void TQDB::SetItemIndex(int index) {
  if (Count() == 0) throw EQDBNoData(QDBMessage(qdb_text::kNoData, file_name_));
  if (index < 0 || index >= Count()) throw EQDBOutOfBounds(std::string(qdb_text::kOutOfBounds));
  item_index_ = index;
  current_key_ = ordinary_.Key(index);
}

void TQDB::DeleteItem() {
  RequireFile();
  if (read_only_) throw EQDBReadOnly(QDBMessage(qdb_text::kReadOnly, file_name_));
  RequireData();
  MakeWorkingCopy();
  const std::string key = ordinary_.Key(item_index_);
  cache_.Remove(key);
  AppendJournalRemoval(pending_journal_, key);
  pending_ends_.push_back(pending_journal_.size());
  changed_since_written_ = true;
  ordinary_.Erase(item_index_);
  if (item_index_ == 0) {
    current_key_.clear();
  } else {
    --item_index_;
    current_key_ = ordinary_.Key(item_index_);
  }
  modified_ = true;
}

void TQDB::Commit() {
  RequireFile();
  if (read_only_ || !modified_) return;
  FlushJournal(2);
  modified_ = false;
}

void TQDB::SaveAs(const std::string& name) {
  RequireFile();
  // A read-only store writes nothing, so it needs no working copy either.
  if (!read_only_) MakeWorkingCopy();
  Commit();
  const std::string previous_name = file_name_;
  const auto previous_timestamp = timestamp_;
  fs::path path(ExpandName(name));
  if (!path.has_extension()) path += ".QDB";
  file_name_ = path.string();
  timestamp_.reset();
  bool moved = false;
  try {
    moved = WriteBack(true);
  } catch (...) {
    file_name_ = previous_name;
    timestamp_ = previous_timestamp;
    throw;
  }
  if (!read_only_) changed_since_written_ = false;
  modified_ = false;
  if (moved) {
    // The working data file became the new store file, which the store now reads in place,
    // as if it had just opened it: the next change makes a working copy again.
    journal_file_.Close();
    for (std::string* path : {&index_path_, &journal_path_}) {
      ::unlink(path->c_str());
      path->clear();
    }
    in_place_ = true;
  }
}

void TQDB::ClearCache() { cache_.Clear(); }

void TQDB::SetCacheSize(std::int64_t bytes) { cache_.SetBudget(bytes); }

void TQDB::SetCacheFrequency(int) { cache_.ResetCounters(); }

}  // namespace ferrowyn
