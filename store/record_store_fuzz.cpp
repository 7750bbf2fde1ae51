// Fuzz target: arbitrary bytes opened as a store file must either open cleanly
// (and then every item reads or raises the store's own exception, and a write-
// back and reopen keep the items) or end in an EQDBError. Never a crash.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "store/record_store.h"

namespace {

const std::string& ScratchDirectory() {
  static const std::string dir = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "ferrowyn-qdb-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    ferrowyn::TQDB::SetTempDirectory(pattern);
    std::atexit([] {
      std::error_code error;
      std::filesystem::remove_all(ferrowyn::TQDB::TempDirectory(), error);
    });
    return pattern;
  }();
  return dir;
}

int ReadAll(ferrowyn::TQDB& db) {
  int readable = 0;
  for (int i = 0; i < db.Count(); ++i) {
    db.SetItemIndex(i);
    try {
      db.GetItem();
      ++readable;
    } catch (const ferrowyn::EQDBIndexError&) {
    }
  }
  return readable;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name = ScratchDirectory() + "/input.QDB";
  // A fresh file rather than a truncated one: truncating a file that was just
  // written makes some file systems flush it on close, which is slow.
  ::unlink(name.c_str());
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (!file) std::abort();
  if (size) std::fwrite(data, 1, size, file);
  std::fclose(file);

  // A write-back syncs to disk, so only every eighth input that opens takes
  // that road; the others are opened read-only.
  static unsigned inputs = 0;
  const bool write_back = ++inputs % 8 == 0;
  int count = -1;
  try {
    ferrowyn::TQDB db;
    db.SetReadOnly(!write_back);
    db.SetFileName(name);
    count = db.Count();
    ReadAll(db);
    // An unchanged store writes nothing when it closes; SaveAs writes it back.
    if (write_back) db.SaveAs(name);
  } catch (const ferrowyn::EQDBError&) {
    if (count >= 0) std::abort();  // reading refused items must not escape as other errors
    return 0;
  }
  if (!write_back) return 0;
  // It opened and was written back: the rewritten file holds the same items.
  ferrowyn::TQDB again;
  again.SetReadOnly(true);
  again.SetFileName(name);
  if (again.Count() != count) std::abort();
  ReadAll(again);
  return 0;
}
