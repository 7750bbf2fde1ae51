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
  std::vector<TIndexEntry> ordinary;        // as they occur in the section
};

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

// Puts ordinary entries read in file order (descending) into `ordinary`, which
// keeps its comparison. Entries out of order are sorted; two equal keys refuse
// the file.
void LoadOrdinary(std::vector<TIndexEntry> file_order, TIndexList& ordinary,
                  const std::string& store_name);

// The complete index section. `on_entry(i)` is called before entry i is written.
std::string WriteIndexSection(const TIndexList& administrative, const TIndexList& ordinary,
                              const std::function<void(std::int64_t)>& on_entry = {});

void AppendJournalAddition(std::string& journal, std::string_view key, const TIndex& index);
void AppendJournalRemoval(std::string& journal, std::string_view key);

// Applies a journal to the ordinary index it was written against.
void ReplayJournal(std::string_view journal, std::int64_t data_size, TIndexList& ordinary,
                   const std::string& store_name);

}  // namespace ferrowyn
