// Reading and writing the index section of a store file, and the journal of
// index changes that Commit appends to between two full index writes.
//
// Index section: entry count N, then N entries (key, zero byte, position, size,
// flags), administrative entries first, each group from the last key to the
// first, then one spare zero byte. Journal: records '+' key 0 position size
// flags (an addition) and '-' key 0 (a removal), in the order they happened.
//
// Pure functions; throw EQDBIndexError "The file %s is not a valid QDB file"
// (naming `store_name`) on malformed input.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/index_list.h"

namespace ferrowyn {

struct ParsedIndex {
  std::vector<TIndexEntry> administrative;  // as they occur in the section
  // Where each ordinary entry starts in the section, as they occur in it: the keys stay
  // in the section until the list is built, rather than one heap string each.
  std::vector<std::uint32_t> ordinary;
};

// The entry that starts at `offset` of a section ParseIndexSection accepted; the key
// points into `section`.
TIndexEntryView IndexEntryAt(std::string_view section, std::uint32_t offset);

// Splits the section into its entries. Every entry's stored form must lie
// inside a data section of `data_size` bytes; keys longer than 255 bytes, a
// count that cannot fit the section, and entries cut off by its end are refused.
// `on_entry(i)` is called before entry i is read.
ParsedIndex ParseIndexSection(std::string_view section, std::int64_t data_size,
                              const std::string& store_name,
                              const std::function<void(std::int64_t)>& on_entry = {});

// Fills `administrative` (always compared without case; a repeated key is
// refused with "Not enough memory to extend the index to %s").
void LoadAdministrative(std::vector<TIndexEntry> entries, TIndexList& administrative,
                        const std::string& store_name);

// Puts the ordinary entries of `section` found at `file_order` (descending, as the
// file holds them) into `ordinary`, which keeps its comparison. Entries out of order
// are sorted; two equal keys refuse the file.
void LoadOrdinary(std::string_view section, const std::vector<std::uint32_t>& file_order,
                  TIndexList& ordinary, const std::string& store_name);

// The complete index section. `on_entry(i)` is called before entry i is written.
std::string WriteIndexSection(const TIndexList& administrative, const TIndexList& ordinary,
                              const std::function<void(std::int64_t)>& on_entry = {});

void AppendJournalAddition(std::string& journal, std::string_view key, const TIndex& index);
void AppendJournalRemoval(std::string& journal, std::string_view key);

// Applies a journal to the ordinary index it was written against.
void ReplayJournal(std::string_view journal, std::int64_t data_size, TIndexList& ordinary,
                   const std::string& store_name);

}  // namespace ferrowyn
