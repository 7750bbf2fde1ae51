// Fuzz target: the settings file text. Any bytes parse without failing, and what
// was parsed is written and parsed back to the same entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/settings_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using ferrowyn::SettingsEntry;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<SettingsEntry> entries = ferrowyn::ParseSettingsText(text);
  // Writing groups the entries by section, values outside any section first.
  std::vector<std::string> order{""};
  for (const auto& entry : entries) {
    bool known = false;
    for (const auto& section : order) known = known || section == entry.section;
    if (!known) order.push_back(entry.section);
  }
  std::vector<SettingsEntry> grouped;
  for (const auto& section : order) {
    for (const auto& entry : entries) {
      if (entry.section == section) grouped.push_back(entry);
    }
  }
  if (ferrowyn::ParseSettingsText(ferrowyn::FormatSettingsText(entries)) != grouped) std::abort();
  return 0;
}
