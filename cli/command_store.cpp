// "ferrowyn-cli store": look inside a record store file and change single items.
// ls and cat open the store read-only, so closing writes nothing back and the
// file stays exactly as it was; put and rm close the store, which writes it back.

#include <sys/stat.h>

#include <cstdio>
#include <optional>
#include <string>

#include "cli/cli_input.h"
#include "cli/cli_store_scratch.h"
#include "cli/command.h"
#include "store/qdb_errors.h"
#include "store/record_store.h"

namespace ferrowyn::cli {
namespace {

constexpr const char* kUsage =
    "ferrowyn-cli store ls FILE        list the items: key, length, stored length\n"
    "ferrowyn-cli store cat FILE KEY   write an item's bytes to standard output\n"
    "ferrowyn-cli store put FILE KEY   add standard input as a compressed item\n"
    "ferrowyn-cli store rm FILE KEY    delete an item";

bool FindOrComplain(TQDB& db, const std::string& key) {
  if (db.FindKey(key)) return true;
  std::fprintf(stderr, "No item has the key \"%s\" in %s\n", key.c_str(), db.FileName().c_str());
  return false;
}

int Run(const CommandArgs& args) {
  const bool needs_key = !args.empty() && args[0] != "ls";
  if (args.empty() || args.size() != (needs_key ? 3u : 2u) ||
      (args[0] != "ls" && args[0] != "cat" && args[0] != "put" && args[0] != "rm")) {
    std::fprintf(stderr, "usage:\n%s\n", kUsage);
    return kExitUsage;
  }
  const std::string& action = args[0];
  const std::string file = TQDB::StoreFileName(args[1]);
  if (!CheckRegularFile("store", file, true)) return kExitFailure;
  // Read before the store opens, so that input refused leaves no new store behind.
  std::optional<std::string> bytes;
  if (action == "put" && !(bytes = ReadInput("store", ""))) return kExitFailure;
  try {
    StoreScratchDirectory scratch;
    // Only put may create a store; the others name one that must exist.
    struct stat st;
    if (action != "put" && ::stat(file.c_str(), &st) != 0)
      throw EQDBFileError(QDBMessage(qdb_text::kNotFound, file));
    TQDB db;
    if (action == "ls" || action == "cat") db.SetReadOnly(true);
    db.SetFileName(file);
    if (action == "ls") {
      for (int i = 0; i < db.Count(); ++i) {
        db.SetItemIndex(i);
        const std::size_t length = db.GetItem().size();
        std::printf("%s\t%zu\t%lld\n", db.CurrentKey().c_str(), length,
                    static_cast<long long>(db.StoredSize()));
      }
    } else if (action == "cat") {
      if (!FindOrComplain(db, args[2])) return kExitFailure;
      const std::string item = db.GetItem();
      std::fwrite(item.data(), 1, item.size(), stdout);
    } else if (action == "put") {
      db.SetCompression(true);
      db.AddItem(*bytes, args[2]);
      db.Commit();
      db.SetFileName("");
    } else {
      if (!FindOrComplain(db, args[2])) return kExitFailure;
      db.DeleteItem();
      db.SetFileName("");
    }
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", e.what());
    return kExitFailure;
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

const CommandRegistration kStore("store", kUsage, Run);

}  // namespace
}  // namespace ferrowyn::cli
