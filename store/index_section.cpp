// Index section and journal coding (see index_section.h).
#include "store/index_section.h"

#include <algorithm>
#include <limits>

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

  std::string_view Key() {
    const auto end = bytes_.find('\0', at_);
    if (end == std::string_view::npos || end - at_ > qdb::kMaxKeyLength) Invalid(store_name_);
    const std::string_view key = bytes_.substr(at_, end - at_);
    at_ = end + 1;
    return key;
  }

  std::size_t At() const { return at_; }

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

void PutEntry(std::string& out, const TIndexEntryView& entry) {
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
  // The section is at most 2 GiB, so an entry's offset fits 32 bits.
  if (section.size() > std::numeric_limits<std::uint32_t>::max()) Invalid(store_name);
  ParsedIndex parsed;
  parsed.ordinary.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    if (on_entry) on_entry(i);
    const auto at = static_cast<std::uint32_t>(in.At());
    const std::string_view key = in.Key();
    const TIndex index = in.Index(data_size);
    if (index.flags & qdb::kFlagAdministrative)
      parsed.administrative.push_back(TIndexEntry{std::string(key), index});
    else
      parsed.ordinary.push_back(at);
  }
  return parsed;
}

TIndexEntryView IndexEntryAt(std::string_view section, std::uint32_t offset) {
  const std::string_view rest = section.substr(offset);
  const std::size_t end = rest.find('\0');
  const char* fields = rest.data() + end + 1;
  return TIndexEntryView{rest.substr(0, end),
                         TIndex{qdb::GetInt32(fields), qdb::GetInt32(fields + 4),
                                qdb::GetUInt32(fields + 8)}};
}

void LoadAdministrative(std::vector<TIndexEntry> entries, TIndexList& administrative,
                        const std::string& store_name) {
  administrative.EmptyAndClear();
  for (auto& entry : entries) {
    if (!administrative.Insert(entry.key, entry.index))
      throw EQDBIndexError(QDBMessage(qdb_text::kNoMemoryIndex, store_name));
  }
}

void LoadOrdinary(std::string_view section, const std::vector<std::uint32_t>& file_order,
                  TIndexList& ordinary, const std::string& store_name) {
  // The file holds the keys from the last to the first.
  const std::size_t count = file_order.size();
  auto ascending = [&](std::size_t i) { return IndexEntryAt(section, file_order[count - 1 - i]); };
  const bool cs = ordinary.CaseSensitive();
  // A file written by the store holds its keys in order and without repeats: one pass
  // tells, and only a file that does not needs the sort and the search for a repeat.
  bool in_order = true;
  for (std::size_t i = 1; i < count && in_order; ++i)
    in_order = CompareKeys(ascending(i - 1).key, ascending(i).key, cs) < 0;
  if (in_order) {
    ordinary.AssignSorted(count, ascending);
    return;
  }
  std::vector<TIndexEntry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) entries.push_back(ascending(i));
  std::stable_sort(entries.begin(), entries.end(), [cs](const TIndexEntry& a, const TIndexEntry& b) {
    return CompareKeys(a.key, b.key, cs) < 0;
  });
  const auto repeat = std::adjacent_find(entries.begin(), entries.end(),
                                         [cs](const TIndexEntry& a, const TIndexEntry& b) {
                                           return CompareKeys(a.key, b.key, cs) == 0;
                                         });
  if (repeat != entries.end()) Invalid(store_name);
  ordinary.AssignSorted(std::move(entries));
}

std::string WriteIndexSection(const TIndexList& administrative, const TIndexList& ordinary,
                              const std::function<void(std::int64_t)>& on_entry) {
  // Sized exactly first: the section of a large store is megabytes, and growing it by
  // doubling would hold up to twice that.
  std::size_t size = 4 + 1;
  auto measure = [&size](const TIndexEntryView& entry) { size += entry.key.size() + 1 + 12; };
  administrative.ForEachDescending(measure);
  ordinary.ForEachDescending(measure);
  std::string out;
  out.reserve(size);
  qdb::PutInt32(out, static_cast<std::uint32_t>(administrative.Count() + ordinary.Count()));
  std::int64_t i = 0;
  auto put = [&](const TIndexEntryView& entry) {
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
  PutEntry(journal, TIndexEntryView{key, index});
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
    const std::string_view key = in.Key();
    if (op == '+') {
      const TIndex index = in.Index(data_size);
      if (!ordinary.Insert(key, index)) Invalid(store_name);
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
