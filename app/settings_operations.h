// The main window's operations on the settings store: the full load into the
// live settings, the start-up wizard switch, the hint switch, both histories and
// the window position. All run on the GUI thread; each opens the store, reads or
// writes, and closes it. Writes throw ESettingsError when the store refuses them.
#pragma once

#include <optional>
#include <string>

#include "app/live_settings.h"
#include "app/settings_store.h"

namespace ferrowyn {

class TQuillEncryption;

// Most entries either history keeps.
inline constexpr size_t kHistoryLimit = 10;

// The full load: adds the stored file types to `live.filetypes` (never removes
// one), sets the data directory to `programdir` + "data" + separator and creates
// it, loads every value of "Defaults" into `live` with its rules, and reloads the
// items of both history fields of `search` (keeping the URL text and the trimmed
// keyword text). `scrambler` (key "tanglewoodcipher") unscrambles the proxy
// password; text that is not hexadecimal throws EQuillError and abandons the load
// there, leaving the later values as they were.
void loadregistrydefaults(const SettingsStore& store, const std::string& programdir,
                          LiveSettings& live, SearchFields& search, TQuillEncryption& scrambler);

// True when the Getting Started wizard is to be shown ("ShowFirst" is not "On").
bool loadregistryfirst(const SettingsStore& store);
// Writes "ShowFirst": "On" when `flag` (do not show at start-up), else "Off".
void saveregistryfirst(const SettingsStore& store, bool flag);

// Writes the items of `URL` as the whole "History" list.
void savehistory(const SettingsStore& store, const HistoryField& URL);
// Writes the items of `querysearch` as the whole "QueryHistory" list.
void savequeryhistory(const SettingsStore& store, const HistoryField& querysearch);

// "&Show Hints": flips `live.hints` and writes "Hints" as "TRUE" or "FALSE". The
// window layer applies the switch to the whole application afterwards.
void EnableHints1Click(const SettingsStore& store, LiveSettings& live);

// Keyword history upkeep when a query or a crawl with keywords starts: a full list
// loses its last entry; `keywords` goes to the top and the list is written only
// when no entry equals it without regard to case.
void AddKeywordHistory(const SettingsStore& store, HistoryField& querysearch,
                       const std::string& keywords);

// URL history upkeep when a crawl starts: a full list loses its last entry; the
// trimmed `url` goes to the top and the list is written, unless the list holds it
// already, with or without a trailing "/" (without regard to case).
void AddUrlHistory(const SettingsStore& store, HistoryField& URL, const std::string& url);

// The main window's position ("Position"): each value that is missing or
// unreadable is nullopt, and the window keeps its designed value for it.
struct WindowPosition {
  std::optional<int> top;
  std::optional<int> left;
  std::optional<int> width;
  std::optional<int> height;
};
WindowPosition ReadWindowPosition(const SettingsStore& store);
// Writes all four values as 32-bit integers.
void WriteWindowPosition(const SettingsStore& store, int top, int left, int width, int height);

}  // namespace ferrowyn
