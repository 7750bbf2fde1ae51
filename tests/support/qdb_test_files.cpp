// Test helpers for the record store (see qdb_test_files.h).
#include "tests/support/qdb_test_files.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace ferrowyn::testing {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  std::string pattern = (fs::temp_directory_path() / "ferrowyn-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code error;
  fs::remove_all(path_, error);
}

std::vector<std::string> ScratchDir::List() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  // A new file rather than a truncated one: some file systems flush a
  // truncated and rewritten file on close, which makes loops of writes slow.
  ::unlink(path.c_str());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string Int32Bytes(std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}

std::int32_t StoreFileBuilder::AddData(std::string_view stored) {
  const auto position = static_cast<std::int32_t>(data_.size());
  data_ += stored;
  return position;
}

void StoreFileBuilder::AddEntry(std::string_view key, std::int32_t position, std::int32_t size,
                                std::uint32_t flags) {
  entries_ += key;
  entries_ += '\0';
  entries_ +=
      Int32Bytes(position) + Int32Bytes(size) + Int32Bytes(static_cast<std::int32_t>(flags));
  ++count_;
}

void StoreFileBuilder::AddItem(std::string_view key, std::string_view stored, std::uint32_t flags) {
  const std::int32_t position = AddData(stored);
  AddEntry(key, position, static_cast<std::int32_t>(stored.size()), flags);
}

std::string StoreFileBuilder::Bytes() const {
  const std::string index = Int32Bytes(count_) + entries_ + std::string(1, '\0');
  return std::string("QDB\0", 4) + Int32Bytes(static_cast<std::int32_t>(data_.size())) + data_ +
         std::string("QIX\0", 4) + Int32Bytes(static_cast<std::int32_t>(index.size())) + index;
}

}  // namespace ferrowyn::testing
