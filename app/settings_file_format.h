// The text of the settings file on platforms without a registry: INI-like, one
// "[Section]" line per section and one "Name=Value" line per value, UTF-8.
// Unlike QSettings' own INI format it keeps every value verbatim (a comma does not
// make a list, quotes and blanks stay); only "\" and control characters are
// escaped ("\\", "\n", "\r", "\t", "\xHH"), and in names also "=", "[", "]" and a
// leading ";" or "#".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

struct SettingsEntry {
  std::string section;  // empty: before the first section line
  std::string name;
  std::string value;
  friend bool operator==(const SettingsEntry&, const SettingsEntry&) = default;
};

// Reads the file's text. Never fails: lines that are neither a section line nor a
// "Name=Value" line (blank lines, comments starting with ";" or "#", garbage) are
// skipped; an escape that is not one of ours is kept as it stands; a CR before the
// line end is dropped. Entries come in file order, repeats included. Pure.
std::vector<SettingsEntry> ParseSettingsText(std::string_view text);

// Writes the entries, grouped by section in order of first appearance. Pure.
std::string FormatSettingsText(const std::vector<SettingsEntry>& entries);

}  // namespace ferrowyn
