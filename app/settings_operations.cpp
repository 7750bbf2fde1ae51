// The full settings load, the small writes, and history upkeep.
#include "app/settings_operations.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/quill_encryption.h"
#include "app/settings_table.h"
#include "app/text_forms.h"

namespace ferrowyn {

namespace {
bool HoldsText(const std::vector<std::string>& items, const std::string& text) {
  return std::any_of(items.begin(), items.end(),
                     [&](const std::string& item) { return EqualsIgnoringLatin1Case(item, text); });
}

void ReloadHistory(const SettingsStore::Session& session, std::string_view section,
                   HistoryField& field) {
  field.items.clear();
  for (auto& item : session.ReadList(section)) {
    if (!item.empty()) field.items.push_back(std::move(item));
  }
}

void DropOldestWhenFull(HistoryField& field) {
  if (field.items.size() >= kHistoryLimit) field.items.resize(kHistoryLimit - 1);
}
}  // namespace

void loadregistrydefaults(const SettingsStore& store, const std::string& programdir,
                          LiveSettings& live, SearchFields& search, TQuillEncryption& scrambler) {
  const SettingsStore::Session session = store.Open();

  // Stored file types join the list; none is ever removed, so the built-in ones
  // and any added while the program runs stay.
  for (const auto& type : session.ReadList(kFileTypesSection)) {
    if (!type.empty() && !HoldsText(live.filetypes, type)) live.filetypes.push_back(type);
  }

  const std::filesystem::path datadir = std::filesystem::path(programdir) / "data";
  std::error_code ignored;  // a missing data directory shows up when a file is saved
  std::filesystem::create_directories(datadir, ignored);
  live.datadir = (datadir / "").string();

  std::vector<EditField LiveSettings::*> not_loaded;
  for (const SettingRow& row : SettingsTable()) {
    if (row.field != nullptr &&
        std::find(not_loaded.begin(), not_loaded.end(), row.field) != not_loaded.end())
      continue;
    LoadRow(row, session.Read(kDefaultsSection, row.name), live, scrambler);
    // A switched-off proxy is never used, so its stored values stay out of the fields.
    if (row.empties_fields_when_off && !(live.*row.check)) {
      for (auto field : row.switched_fields) {
        if (field != nullptr) not_loaded.push_back(field);
      }
    }
    if (row.id == SettingId::kBodyFont) {
      const std::string url_text = search.URL.text;
      ReloadHistory(session, kHistorySection, search.URL);
      search.URL.text = url_text;
      const std::string keywords = TrimBlanks(search.querysearch.text);
      ReloadHistory(session, kQueryHistorySection, search.querysearch);
      search.querysearch.text = keywords;
    }
  }
}

bool loadregistryfirst(const SettingsStore& store) {
  return store.Read(kDefaultsSection, RowOf(SettingId::kShowFirst).name) != kOn;
}

void saveregistryfirst(const SettingsStore& store, bool flag) {
  store.Write(kDefaultsSection, RowOf(SettingId::kShowFirst).name, flag ? kOn : kOff);
}

void savehistory(const SettingsStore& store, const HistoryField& URL) {
  store.WriteList(kHistorySection, URL.items);
}

void savequeryhistory(const SettingsStore& store, const HistoryField& querysearch) {
  store.WriteList(kQueryHistorySection, querysearch.items);
}

void EnableHints1Click(const SettingsStore& store, LiveSettings& live) {
  live.hints = !live.hints;
  store.Write(kDefaultsSection, RowOf(SettingId::kHints).name, live.hints ? kTrue : kFalse);
}

void AddKeywordHistory(const SettingsStore& store, HistoryField& querysearch,
                       const std::string& keywords) {
  // The oldest entry leaves the drop-down list even when nothing is inserted; the
  // store keeps it until the next write.
  DropOldestWhenFull(querysearch);
  if (HoldsText(querysearch.items, keywords)) return;
  querysearch.items.insert(querysearch.items.begin(), keywords);
  savequeryhistory(store, querysearch);
}

void AddUrlHistory(const SettingsStore& store, HistoryField& URL, const std::string& url) {
  DropOldestWhenFull(URL);
  const std::string start = TrimBlanks(url);
  const bool slashed = !start.empty() && start.back() == '/';
  const std::string other = slashed ? start.substr(0, start.size() - 1) : start + "/";
  if (HoldsText(URL.items, start) || HoldsText(URL.items, other)) return;
  URL.items.insert(URL.items.begin(), start);
  savehistory(store, URL);
}

WindowPosition ReadWindowPosition(const SettingsStore& store) {
  const SettingsStore::Session session = store.Open();
  return {session.ReadInteger(kPositionSection, kPositionTop),
          session.ReadInteger(kPositionSection, kPositionLeft),
          session.ReadInteger(kPositionSection, kPositionWidth),
          session.ReadInteger(kPositionSection, kPositionHeight)};
}

void WriteWindowPosition(const SettingsStore& store, int top, int left, int width, int height) {
  SettingsStore::Session session = store.Open();
  session.WriteInteger(kPositionSection, kPositionTop, top);
  session.WriteInteger(kPositionSection, kPositionLeft, left);
  session.WriteInteger(kPositionSection, kPositionWidth, width);
  session.WriteInteger(kPositionSection, kPositionHeight, height);
  session.Close();
}

}  // namespace ferrowyn
