// The per-user settings store: sections of named text values, kept by QSettings
// (organisation "Castrel", application "Ferrowyn"). On Windows that is the
// registry; elsewhere an INI-like file $XDG_CONFIG_HOME/Castrel/Ferrowyn.ini
// whose values are stored verbatim (see settings_file_format.h).
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class QSettings;

namespace ferrowyn {

// The platform refused a write, or the store's file is not a regular file (a FIFO, a
// device, a directory, a link loop). what() names the store.
class ESettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where the settings live. Cheap to copy; holds no open handle: every operation
// opens the store, reads or writes, and closes it, so nothing is cached between
// operations. GUI thread only (one thread at a time).
class SettingsStore {
  struct MemoryValues;

 public:
  // The per-user store of organisation "Castrel", application "Ferrowyn".
  SettingsStore();
  // A store kept in the given file (tests, tools); same format as the per-user one.
  explicit SettingsStore(std::string file_path);
  // A store kept in memory only, shared by the copies of this object and gone with the
  // last of them: for a run whose writes nobody reads once it ends. Nothing is written to
  // a disk, so a write costs no wait for one.
  static SettingsStore InMemory();

  // The file the store lives in (the registry path on Windows); empty in memory.
  std::string Location() const;

  // A store opened for a run of reads and writes; the writes reach the file when
  // Close() is called (or, without a report, when the session is destroyed).
  class Session {
   public:
    Session(Session&&) noexcept;
    Session& operator=(Session&&) noexcept;
    ~Session();

    // nullopt when the value is missing.
    std::optional<std::string> Read(std::string_view section, std::string_view name) const;
    // The value as a whole number; nullopt when missing or unreadable.
    std::optional<int> ReadInteger(std::string_view section, std::string_view name) const;
    // A list: "Count" (missing or unreadable: 0) and the values "0" .. Count - 1
    // in order; items that are missing are left out.
    std::vector<std::string> ReadList(std::string_view section) const;

    void Write(std::string_view section, std::string_view name, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view name, int value);
    // Writes "Count" and the items; higher-numbered old items are left behind.
    void WriteList(std::string_view section, const std::vector<std::string>& items);

    // Writes what was changed to the store. Throws ESettingsError when refused.
    void Close();

   private:
    friend class SettingsStore;
    explicit Session(std::unique_ptr<QSettings> settings);
    explicit Session(std::shared_ptr<MemoryValues> memory);
    std::unique_ptr<QSettings> settings_;  // null in memory
    std::shared_ptr<MemoryValues> memory_;
    bool written_ = false;
  };

  Session Open() const;

  // One-shot forms of the session's operations (open, act, close).
  std::optional<std::string> Read(std::string_view section, std::string_view name) const;
  std::optional<int> ReadInteger(std::string_view section, std::string_view name) const;
  std::vector<std::string> ReadList(std::string_view section) const;
  void Write(std::string_view section, std::string_view name, std::string_view value) const;
  void WriteInteger(std::string_view section, std::string_view name, int value) const;
  void WriteList(std::string_view section, const std::vector<std::string>& items) const;

 private:
  std::string file_path_;  // empty: the per-user store (or the memory one)
  std::shared_ptr<MemoryValues> memory_;
};

}  // namespace ferrowyn
