// Open, walk and close of an ad queue database, with the recovery and upgrade steps of open.
#include "adpurge/qdb/queue_db.h"

#include <algorithm>

namespace adpurge::qdb {
namespace {

namespace pf = platform;

constexpr uint32_t kShareReadWrite = pf::kShareRead | pf::kShareWrite;

bool Taken(const pf::WaitResult& r) {
  return r.status == pf::WaitStatus::kSignaled || r.status == pf::WaitStatus::kAbandoned;
}

std::optional<std::vector<uint8_t>> ReadAll(pf::File& file) {
  const auto size = file.size();
  if (!size || *size > SIZE_MAX) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(*size));
  const auto got = file.read_at(0, bytes.data(), bytes.size());
  if (!got || *got != bytes.size()) return std::nullopt;
  return bytes;
}

std::optional<std::vector<uint8_t>> ReadAll(const std::string& path) {
  auto opened = pf::open_file(path, pf::kRead, kShareReadWrite, pf::Disposition::kOpenExisting);
  if (!opened.file.valid()) return std::nullopt;
  return ReadAll(opened.file);
}

// Computes the file's digest again and writes it into its header.
bool StampDigest(pf::File& file) {
  const auto bytes = ReadAll(file);
  if (!bytes || bytes->size() < kHeaderSize) return false;
  const auto field = DigestField(FileDigest(*bytes));
  return file.write_at(kDigestOffset, field.data(), field.size());
}

// A whole new file: header, body, and the digest over both.
std::vector<uint8_t> NewFile(std::string_view marker, std::span<const uint8_t> body) {
  std::vector<uint8_t> bytes = NewFileHeader(marker);
  bytes.insert(bytes.end(), body.begin(), body.end());
  const auto field = DigestField(FileDigest(bytes));
  std::copy(field.begin(), field.end(), bytes.begin() + kDigestOffset);
  return bytes;
}

bool WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  auto opened =
      pf::open_file(path, pf::kRead | pf::kWrite, pf::kShareNone, pf::Disposition::kCreateAlways);
  return opened.file.valid() && opened.file.write_at(0, bytes.data(), bytes.size()) &&
         opened.file.close();
}

std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  const size_t separator = name.find_last_of("\\/");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return name;
  return name.substr(0, dot);
}

}  // namespace

bool KeepRecord(std::vector<uint8_t>&, IndexEntry&) { return false; }

QueueDbNames NamesOf(const std::string& name) {
  const std::string base = pf::full_path(WithoutExtension(name));
  QueueDbNames n{base + ".cdb", base + ".idx", base + "1.cdb", base + "1.idx", ""};
  for (char c : n.data) {
    if (c == '\\' || c == '/') c = '_';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    n.objects += c;
  }
  return n;
}

QueueDb::~QueueDb() {
  if (open_) Close();
}

bool QueueDb::Open(const std::string& name, RecordConverter converter) {
  if (open_) return false;
  failure_ = Failure::kCannotOpen;
  names_ = NamesOf(name);
  converter_ = std::move(converter);
  const std::string& b = names_.objects;

  auto guard = pf::create_mutex(b + "__BMTX", true);
  if (!guard.handle.valid()) return false;
  guard_ = std::move(guard.handle);
  first_ = !guard.existed;
  if (guard.existed && !Taken(pf::wait_one(guard_, kLockWaitMs))) {
    ReleaseAll();
    return false;
  }

  Attempt result = Attempt::kFailed;
  if (data_lock_.Create(b + "__BA") && index_lock_.Create(b + "__IA") && AttachRegion() &&
      region_lock_.Create(b + "__IS__SS")) {
    result = OpenFiles();
    if (result == Attempt::kFailed) {
      pf::set_attributes_normal(names_.data);
      pf::set_attributes_normal(names_.index);
      result = OpenFiles();
    }
    if (result == Attempt::kFailed && pf::file_exists(names_.data_backup) &&
        pf::file_exists(names_.index_backup)) {
      pf::set_attributes_normal(names_.data);
      pf::set_attributes_normal(names_.index);
      if (pf::copy_file(names_.data_backup, names_.data) == pf::FileError::kNone &&
          pf::copy_file(names_.index_backup, names_.index) == pf::FileError::kNone)
        result = OpenFiles();
    }
  }
  if (result != Attempt::kOpened) {
    // A first opener leaves nothing in the region for the next one to mistake for an index.
    if (first_ && region_) region_->Initialise();
    failure_ = result == Attempt::kRegionFull ? Failure::kRegionFull : Failure::kCannotOpen;
    ReleaseAll();
    return false;
  }
  pf::release_mutex(guard_);
  open_ = true;
  failure_ = Failure::kNone;
  return true;
}

bool QueueDb::AttachRegion() {
  const std::string name = names_.objects + "__IS";
  allocation_mutex_ = pf::create_mutex(name + "__AM", false).handle;
  if (!allocation_mutex_.valid() || !Taken(pf::wait_one(allocation_mutex_, kLockWaitMs)))
    return false;
  auto mapping = pf::create_mapping(name + "__FM", IndexRegion::kSize);
  mapping_ = std::move(mapping.handle);
  view_ = pf::map_view(mapping_);
  const uint32_t page = pf::page_size();
  bool ok = view_.valid() && view_.size() >= IndexRegion::kSize && page > 0 &&
            view_.commit(0, std::min(page, IndexRegion::kSize));
  if (ok) {
    RegionHooks hooks;
    hooks.commit = [this, page](uint32_t pages) {
      return view_.commit(
          0, static_cast<uint32_t>(std::min<uint64_t>(uint64_t{pages} * page, IndexRegion::kSize)));
    };
    hooks.lock_allocation = [this] { return Taken(pf::wait_one(allocation_mutex_, kLockWaitMs)); };
    hooks.unlock_allocation = [this] { pf::release_mutex(allocation_mutex_); };
    region_.emplace(std::span<uint8_t>(view_.data(), IndexRegion::kSize), page, hooks);
    if (mapping.existed) {
      ok = region_->Attach();
    } else {
      region_->Initialise();
      // Nobody has loaded this region: an opener that found the guard mutex must load it
      // all the same (the one that made the mutex ended before making the region), or it
      // would walk an empty index and write it over the index file at close.
      first_ = true;
    }
  }
  pf::release_mutex(allocation_mutex_);
  return ok;
}

QueueDb::Attempt QueueDb::OpenFiles() {
  data_ = {};
  index_ = {};
  if (!pf::open_file(names_.data, pf::kRead | pf::kWrite, kShareReadWrite,
                     pf::Disposition::kOpenExisting)
           .file.valid())
    return Attempt::kFailed;
  if (first_) {
    region_->Initialise();  // a first opener owns the region until it releases the guard
    const Attempt checked = CheckHeaders();
    if (checked != Attempt::kOpened) return checked;
  }
  data_ = pf::open_file(names_.data, pf::kRead | pf::kWrite, kShareReadWrite,
                        pf::Disposition::kOpenExisting, true)
              .file;
  index_ = pf::open_file(names_.index, pf::kRead | pf::kWrite, kShareReadWrite,
                         pf::Disposition::kOpenExisting, true)
               .file;
  if (!data_.valid() || !index_.valid()) return Attempt::kFailed;
  if (!first_) return Attempt::kOpened;
  const Attempt loaded = LoadIndex();
  if (loaded != Attempt::kOpened) return loaded;
  Walk([this](WalkRecord& r) { r.changed = converter_(r.bytes, r.entry); }, kAllTypes,
       kLiveEntries | kDeadEntries);
  return Attempt::kOpened;
}

QueueDb::Attempt QueueDb::CheckHeaders() {
  const auto data = ReadAll(names_.data);
  if (!data) return Attempt::kFailed;
  const auto header = ReadHeader(*data);
  if (!header || !header->marker_is(kDataMarker) || !header->digest_ok) return Attempt::kFailed;
  if (header->version == 2 && header->sub_version == 0) {
    const auto index = ReadAll(names_.index);
    if (!index) return Attempt::kFailed;
    const auto index_header = ReadHeader(*index);
    if (!index_header || !index_header->marker_is(kIndexMarker) || !index_header->digest_ok)
      return Attempt::kFailed;
    return Attempt::kOpened;
  }
  if (header->version == 0) return Attempt::kOpened;
  if (header->version == 1 && header->sub_version == 3) return ConvertVersion13(*data);
  // Any other version: its data cannot be read, so the database starts again empty.
  pf::delete_file(names_.data);
  return CreateNewFiles() ? Attempt::kOpened : Attempt::kFailed;
}

bool QueueDb::CreateNewFiles() {
  const uint8_t terminator[kEntrySize] = {};
  return WriteNewFile(names_.data, NewFile(kDataMarker, {})) &&
         WriteNewFile(names_.index, NewFile(kIndexMarker, terminator));
}

QueueDb::Attempt QueueDb::ConvertVersion13(const std::vector<uint8_t>& old_file) {
  auto records = ReadVersion13Records(old_file);
  if (!records) return Attempt::kFailed;
  // Everything is checked before the old file is touched: records that would not fit the
  // region would be lost from the index written at close.
  if (records->size() > region_->FreeBytes() / IndexRegion::kHeldEntryBytes)
    return Attempt::kRegionFull;

  RwLockHold region_hold(region_lock_, false);
  RwLockHold data_hold(data_lock_, false);
  if (!region_hold.held() || !data_hold.held()) return Attempt::kFailed;
  // The old file stays under a temporary name until the new files are complete.
  const size_t separator = names_.data.find_last_of("\\/");
  const auto keep =
      pf::create_temp_file(separator == std::string::npos ? "." : names_.data.substr(0, separator));
  if (!keep || pf::copy_file(names_.data, *keep) != pf::FileError::kNone) return Attempt::kFailed;

  std::vector<uint8_t> body;
  std::vector<IndexEntry> added;
  for (auto& r : *records) {
    const uint32_t key = r.entry.key();
    // Key 0 would end the index written at close early, and every entry after it would be
    // lost; key 0xFFFFFFFF would be skipped when read. Neither names a record.
    if (key == 0 || key == kNone) continue;
    if (std::any_of(added.begin(), added.end(), [key](auto& e) { return e.key() == key; }))
      continue;
    converter_(r.bytes, r.entry);
    r.entry.word[0] = key;
    r.entry.word[4] = static_cast<uint32_t>(r.bytes.size());
    r.entry.word[5] = static_cast<uint32_t>(kHeaderSize + body.size());
    r.entry.MarkLoaded();
    const auto stored = StoredRecord(r.bytes);
    body.insert(body.end(), stored.begin(), stored.end());
    added.push_back(r.entry);
  }
  const uint8_t terminator[kEntrySize] = {};
  if (!WriteNewFile(names_.data, NewFile(kDataMarker, body)) ||
      !WriteNewFile(names_.index, NewFile(kIndexMarker, terminator))) {
    pf::copy_file(*keep, names_.data);
    pf::delete_file(*keep);
    return Attempt::kFailed;
  }
  pf::delete_file(*keep);
  for (const auto& e : added)
    if (region_->Insert(e) != IndexRegion::Result::kDone) return Attempt::kFailed;
  return Attempt::kOpened;
}

bool QueueDb::RecordMatches(const IndexEntry& e, uint64_t data_size) {
  const uint64_t end = uint64_t{e.offset()} + e.length() + 8;
  if (e.offset() < kHeaderSize || end > data_size) return false;
  std::vector<uint8_t> bytes(e.length() + size_t{8});
  const auto got = data_.read_at(e.offset(), bytes.data(), bytes.size());
  if (!got || *got != bytes.size()) return false;
  const std::span<const uint8_t> all(bytes);
  return ReadLe32(all, e.length()) == kChecksumLength &&
         ReadLe32(all, e.length() + size_t{4}) == RecordChecksum(all.first(e.length()));
}

QueueDb::Attempt QueueDb::LoadIndex() {
  const auto index = ReadAll(index_);
  const auto data_size = data_.size();
  if (!index || !data_size) return Attempt::kFailed;
  const auto entries = ReadIndexEntries(*index);
  if (!entries) return Attempt::kFailed;
  for (IndexEntry e : *entries) {
    e.MarkLoaded();
    IndexRegion::Result r;
    if (!e.live())
      r = region_->Push(IndexRegion::kFree, e);
    else if (RecordMatches(e, *data_size))
      r = region_->Insert(e);
    else
      continue;  // the record is damaged: it leaves the index
    if (r == IndexRegion::Result::kFull) return Attempt::kRegionFull;
    if (r == IndexRegion::Result::kDamaged) return Attempt::kFailed;
  }
  return Attempt::kOpened;
}

void QueueDb::Walk(const WalkCallback& callback, uint32_t type_filter, uint32_t mode) {
  if (!region_ || !data_.valid()) return;
  const bool read_only = (mode & kReadOnly) != 0;
  RwLockHold region_hold(region_lock_, read_only);
  if (!region_hold.held()) return;
  RwLockHold data_hold(data_lock_, read_only);
  if (!data_hold.held()) return;
  const auto size = data_.size();
  if (!size) return;
  uint64_t data_size = *size;
  bool wrote = false;
  region_->PostOrder([&](uint32_t node) {
    const IndexEntry e = region_->EntryOf(node);
    if (e.live() ? !(mode & kLiveEntries) : !(mode & kDeadEntries)) return true;
    if (type_filter != kAllTypes && e.type() != type_filter) return true;
    if (e.offset() < kHeaderSize || uint64_t{e.offset()} + e.length() + 8 > data_size) return true;
    WalkRecord record{std::vector<uint8_t>(e.length()), e};
    const auto got = data_.read_at(e.offset(), record.bytes.data(), record.bytes.size());
    if (!got || *got != record.bytes.size()) return true;
    callback(record);
    if (record.changed && !read_only && record.bytes.size() < kNone) {
      const uint64_t at = record.bytes.size() <= e.length() ? e.offset() : data_size;
      const auto stored = StoredRecord(record.bytes);
      if (at + stored.size() <= kNone && data_.write_at(at, stored.data(), stored.size())) {
        IndexEntry updated = e;
        updated.word[3] = record.entry.word[3];
        updated.word[4] = static_cast<uint32_t>(record.bytes.size());
        updated.word[5] = static_cast<uint32_t>(at);
        region_->SetEntry(node, updated);
        data_size = std::max(data_size, at + stored.size());
        wrote = true;
      }
    }
    if ((mode & kStopWhenSet) && record.stop) return false;
    if ((mode & kStopWhenClear) && !record.stop) return false;
    return true;
  });
  if (wrote) StampDigest(data_);
}

void QueueDb::Close() {
  if (!open_) return;
  {
    RwLockHold region_hold(region_lock_, true);
    RwLockHold index_hold(index_lock_, false);
    std::vector<uint8_t> body;
    const auto append = [&](uint32_t node) { AppendEntry(body, region_->EntryOf(node)); };
    // A damaged region is not written over the index file, which stays as it was.
    if (region_hold.held() && index_hold.held() && region_->PreOrder(append) &&
        region_->ListOrder(IndexRegion::kFree, append) &&
        region_->ListOrder(IndexRegion::kDeleted, append)) {
      body.resize(body.size() + kEntrySize, 0);
      if (index_.write_at(kHeaderSize, body.data(), body.size())) StampDigest(index_);
    }
  }
  ReleaseShared();
  // Our handles are closed first, so that the copies see every write and no sharing mode of
  // ours stands in their way.
  data_.close();
  index_.close();
  const std::pair<const std::string*, const std::string*> backups[] = {
      {&names_.data, &names_.data_backup}, {&names_.index, &names_.index_backup}};
  for (const auto& [file, backup] : backups) {
    if (!pf::file_exists(*file)) continue;
    if (pf::file_exists(*backup)) pf::set_attributes_normal(*backup);
    pf::copy_file(*file, *backup);
  }
  guard_.close();
  open_ = false;
}

void QueueDb::ReleaseShared() {
  region_.reset();
  view_ = {};
  mapping_.close();
  allocation_mutex_.close();
  region_lock_.Close();
  data_lock_.Close();
  index_lock_.Close();
}

void QueueDb::ReleaseAll() {
  ReleaseShared();
  data_ = {};
  index_ = {};
  if (guard_.valid()) pf::release_mutex(guard_);
  guard_.close();
}

}  // namespace adpurge::qdb
