// Index section and journal coding (see index_section.h).
#include "store/index_section.h"

#include <algorithm>

#include "store/key_collation.h"
#include "store/qdb_errors.h"
#include "store/qdb_format.h"

namespace ferrowyn {

namespace {

[[noreturn]] void Invalid(const std::string& store_name) {
  throw EQDBIndexError(QDBMessage(qdb_text::kInvalidFile, store_name));
}

// Reads fields off a byte range, refusing anything that runs past its end.
class Cursor {
 public:
  Cursor(std::string_view bytes, const std::string& store_name)
      : bytes_(bytes), store_name_(store_name) {}

  bool AtEnd() const { return at_ == bytes_.size(); }
  std::size_t Left() const { return bytes_.size() - at_; }

  std::uint32_t UInt32() {
    if (Left() < 4) Invalid(store_name_);
    const std::uint32_t value = qdb::GetUInt32(bytes_.data() + at_);
    at_ += 4;
    return value;
  }

  char Byte() {
    if (Left() < 1) Invalid(store_name_);
    return bytes_[at_++];
  }

  std::string Key() {
    const auto end = bytes_.find('\0', at_);
    if (end == std::string_view::npos || end - at_ > qdb::kMaxKeyLength) Invalid(store_name_);
    std::string key(bytes_.substr(at_, end - at_));
    at_ = end + 1;
    return key;
  }

  TIndex Index(std::int64_t data_size) {
    TIndex index;
    index.position = static_cast<std::int32_t>(UInt32());
    index.size = static_cast<std::int32_t>(UInt32());
    index.flags = UInt32();
    if (index.position < 0 || index.size < 0 ||
        static_cast<std::int64_t>(index.position) + index.size > data_size)
      Invalid(store_name_);
    return index;
  }

 private:
  std::string_view bytes_;
  const std::string& store_name_;
  std::size_t at_ = 0;
};

void PutEntry(std::string& out, const TIndexEntry& entry) {
  out += entry.key;
  out += '\0';
  qdb::PutInt32(out, static_cast<std::uint32_t>(entry.index.position));
  qdb::PutInt32(out, static_cast<std::uint32_t>(entry.index.size));
  qdb::PutInt32(out, entry.index.flags);
}

}  // namespace

ParsedIndex ParseIndexSection(std::string_view section, std::int64_t data_size,
                              const std::string& store_name,
                              const std::function<void(std::int64_t)>& on_entry) {
  Cursor in(section, store_name);
  const std::int32_t count = static_cast<std::int32_t>(in.UInt32());
  // The count is checked against the section's length before anything is
  // reserved, so an absurd count cannot ask for a huge allocation.
  if (count < 0 || count >= qdb::kMaxEntries ||
      static_cast<std::uint64_t>(count) * qdb::kMinEntrySize > in.Left())
    Invalid(store_name);
  ParsedIndex parsed;
  parsed.ordinary.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    if (on_entry) on_entry(i);
    TIndexEntry entry;
    entry.key = in.Key();
    entry.index = in.Index(data_size);
    if (entry.index.flags & qdb::kFlagAdministrative)
      parsed.administrative.push_back(std::move(entry));
    else
      parsed.ordinary.push_back(std::move(entry));
  }
  return parsed;
}

void LoadAdministrative(std::vector<TIndexEntry> entries, TIndexList& administrative,
                        const std::string& store_name) {
  administrative.EmptyAndClear();
  for (auto& entry : entries) {
    if (!administrative.Insert(std::move(entry.key), entry.index))
      throw EQDBIndexError(QDBMessage(qdb_text::kNoMemoryIndex, store_name));
  }
}

void LoadOrdinary(std::vector<TIndexEntry> file_order, TIndexList& ordinary,
                  const std::string& store_name) {
  // The file holds the keys from the last to the first.
  std::reverse(file_order.begin(), file_order.end());
  const bool cs = ordinary.CaseSensitive();
  auto less = [cs](const TIndexEntry& a, const TIndexEntry& b) {
    return CompareKeys(a.key, b.key, cs) < 0;
  };
  auto not_before = [cs](const TIndexEntry& a, const TIndexEntry& b) {
    return CompareKeys(a.key, b.key, cs) >= 0;
  };
  // A file written by the store holds its keys in order and without repeats: one pass
  // tells, and only a file that does not needs the sort and the search for a repeat.
  if (std::adjacent_find(file_order.begin(), file_order.end(), not_before) != file_order.end()) {
    std::stable_sort(file_order.begin(), file_order.end(), less);
    const auto repeat = std::adjacent_find(file_order.begin(), file_order.end(),
                                           [cs](const TIndexEntry& a, const TIndexEntry& b) {
                                             return CompareKeys(a.key, b.key, cs) == 0;
                                           });
    if (repeat != file_order.end()) Invalid(store_name);
  }
  ordinary.AssignSorted(std::move(file_order));
}

std::string WriteIndexSection(const TIndexList& administrative, const TIndexList& ordinary,
                              const std::function<void(std::int64_t)>& on_entry) {
  std::string out;
  qdb::PutInt32(out, static_cast<std::uint32_t>(administrative.Count() + ordinary.Count()));
  std::int64_t i = 0;
  auto put = [&](const TIndexEntry& entry) {
    if (on_entry) on_entry(i);
    ++i;
    PutEntry(out, entry);
  };
  administrative.ForEachDescending(put);
  ordinary.ForEachDescending(put);
  // The spare byte keeps the section of an empty store at five bytes.
  out += '\0';
  return out;
}

void AppendJournalAddition(std::string& journal, std::string_view key, const TIndex& index) {
  journal += '+';
  PutEntry(journal, TIndexEntry{std::string(key), index});
}

void AppendJournalRemoval(std::string& journal, std::string_view key) {
  journal += '-';
  journal += key;
  journal += '\0';
}

void ReplayJournal(std::string_view journal, std::int64_t data_size, TIndexList& ordinary,
                   const std::string& store_name) {
  Cursor in(journal, store_name);
  while (!in.AtEnd()) {
    const char op = in.Byte();
    std::string key = in.Key();
    if (op == '+') {
      const TIndex index = in.Index(data_size);
      if (!ordinary.Insert(std::move(key), index)) Invalid(store_name);
    } else if (op == '-') {
      int at = 0;
      if (!ordinary.Find(key, &at)) Invalid(store_name);
      ordinary.Erase(at);
    } else {
      Invalid(store_name);
    }
  }
}

}  // namespace ferrowyn
