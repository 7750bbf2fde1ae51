// The slow reference index (see qdb_index_oracle.h).
#include "tests/support/qdb_index_oracle.h"

#include "tests/support/qdb_test_files.h"

namespace ferrowyn::testing {

namespace {
unsigned char Fold(unsigned char c) {
  const bool ascii_capital = c >= 'A' && c <= 'Z';
  const bool latin_capital = c >= 0xC0 && c <= 0xDE && c != 0xD7;
  return (ascii_capital || latin_capital) ? static_cast<unsigned char>(c + 32) : c;
}

int Compare(const std::string& a, const std::string& b, bool case_sensitive) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (!case_sensitive) {
      x = Fold(x);
      y = Fold(y);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}
}  // namespace

std::size_t IndexOracle::Place(const std::string& key, bool* equal) const {
  std::size_t i = 0;
  while (i < entries_.size() && Compare(entries_[i].key, key, case_sensitive_) < 0) ++i;
  *equal = i < entries_.size() && Compare(entries_[i].key, key, case_sensitive_) == 0;
  return i;
}

bool IndexOracle::Add(const OracleEntry& entry) {
  bool equal = false;
  const std::size_t at = Place(entry.key, &equal);
  if (equal) return false;
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), entry);
  return true;
}

void IndexOracle::Remove(std::size_t position) {
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position));
}

std::string IndexOracle::Commit() const {
  std::string out = Int32Bytes(static_cast<std::int32_t>(entries_.size()));
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    out += it->key;
    out += '\0';
    out += Int32Bytes(it->position) + Int32Bytes(it->size) +
           Int32Bytes(static_cast<std::int32_t>(it->flags));
  }
  out += '\0';
  return out;
}

}  // namespace ferrowyn::testing
