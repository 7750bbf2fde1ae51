// A list of rows in the order added, with the folded keys of its rows kept beside it (ASCII
// and Latin-1 letters folded, as the site store folds its keys), so that a key is found
// without scanning. The page list and the mail list keep their rows in one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/case_folding.h"

namespace ferrowyn {

// `KeyOf` gives a row's key: `const std::string& operator()(const Row&) const`.
// A plain value; the owner's thread only. Throws only std::bad_alloc.
template <typename Row, typename KeyOf>
class FoldedList {
 public:
  bool Holds(std::string_view key) const { return folded_.contains(Latin1Lower(key)); }

  // The folded form of `key` for Append when no row holds it yet; nullopt when one does.
  std::optional<std::string> NewKey(std::string_view key) const {
    std::string folded = Latin1Lower(key);
    if (folded_.contains(folded)) return std::nullopt;
    return folded;
  }
  // Appends `row`, whose key folds to `folded` (from NewKey).
  void Append(Row row, std::string folded) {
    rows_.push_back(std::move(row));
    folded_.insert(std::move(folded));
  }

  void Clear() {
    rows_.clear();
    folded_.clear();
  }
  // Replaces the rows by `rows`, kept as they are (repeats included).
  void Assign(std::vector<Row> rows) {
    rows_ = std::move(rows);
    folded_.clear();
    for (const Row& row : rows_) folded_.insert(Latin1Lower(KeyOf{}(row)));
  }
  // Puts the rows in a new order: new row i is old row from[i]. `from` is a permutation
  // of 0..size-1.
  void Reorder(const std::vector<int>& from) {
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (const int old : from) sorted.push_back(std::move(rows_[static_cast<std::size_t>(old)]));
    rows_ = std::move(sorted);
  }

  const std::vector<Row>& Rows() const { return rows_; }
  std::size_t Size() const { return rows_.size(); }

 private:
  std::vector<Row> rows_;
  std::unordered_set<std::string> folded_;
};

}  // namespace ferrowyn
