// Test helpers for the record store: a private temporary directory, whole-file
// reads and writes, and a builder that lays out store file bytes by hand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn::testing {

// A fresh directory under the platform's temporary directory, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Names of the entries in the directory, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::string_view bytes);

std::string Int32Bytes(std::int32_t value);

// Lays out a store file: items go to the data section in the order added,
// index entries into the index section in the order given (no sorting).
class StoreFileBuilder {
 public:
  // Appends a stored form to the data section; returns its position.
  std::int32_t AddData(std::string_view stored);
  void AddEntry(std::string_view key, std::int32_t position, std::int32_t size,
                std::uint32_t flags);
  // Both at once: data appended verbatim and an entry for it.
  void AddItem(std::string_view key, std::string_view stored, std::uint32_t flags = 0);
  std::string Bytes() const;

 private:
  std::string data_;
  std::string entries_;
  std::int32_t count_ = 0;
};

}  // namespace ferrowyn::testing
