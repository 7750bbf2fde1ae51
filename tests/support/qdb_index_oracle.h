// Slow reference for the record store's index: a plain sorted list that
// rewrites the complete index section on every commit, the way the store
// would without its journal. Tests compare the store file's index section
// with this after random sequences of additions, deletions and commits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ferrowyn::testing {

struct OracleEntry {
  std::string key;
  std::int32_t position;
  std::int32_t size;
  std::uint32_t flags;
};

class IndexOracle {
 public:
  explicit IndexOracle(bool case_sensitive) : case_sensitive_(case_sensitive) {}

  // False when an equal key exists.
  bool Add(const OracleEntry& entry);
  // Removes the entry at `position` in key order.
  void Remove(std::size_t position);
  const std::vector<OracleEntry>& Entries() const { return entries_; }

  // The whole index section, written from the last key to the first.
  std::string Commit() const;

 private:
  // Linear scan with the store's key comparison.
  std::size_t Place(const std::string& key, bool* equal) const;

  bool case_sensitive_;
  std::vector<OracleEntry> entries_;
};

}  // namespace ferrowyn::testing
