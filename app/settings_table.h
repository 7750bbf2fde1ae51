// The one table of the settings in section "Defaults": value name, text form,
// default and the live-settings control each value feeds. Loading, the setup
// dialog's OK and the command line all go through it, so every value name is
// spelled here and nowhere else. Also the names of the sections and of the few
// values outside "Defaults".
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/live_settings.h"

namespace ferrowyn {

class TQuillEncryption;

// Sections of the settings store.
inline constexpr std::string_view kDefaultsSection = "Defaults";
inline constexpr std::string_view kFileTypesSection = "File Types";
inline constexpr std::string_view kHistorySection = "History";
inline constexpr std::string_view kQueryHistorySection = "QueryHistory";
inline constexpr std::string_view kViewerSection = "Viewer";
inline constexpr std::string_view kPositionSection = "Position";

// Values of "Position" (32-bit integers) and of "Viewer" ("TRUE"/"FALSE", whole number).
inline constexpr std::string_view kPositionTop = "Top";
inline constexpr std::string_view kPositionLeft = "Left";
inline constexpr std::string_view kPositionWidth = "Width";
inline constexpr std::string_view kPositionHeight = "Height";
inline constexpr std::string_view kViewerHtmlVisible = "HTMLViewer1Visible";
inline constexpr std::string_view kViewerPlaintextVisible = "PlaintextVisible";
inline constexpr std::string_view kViewerBarPosition = "BarPosition";

// Switch texts. Only the exact text "On" (or "TRUE") counts as on.
inline constexpr std::string_view kOn = "On";
inline constexpr std::string_view kOff = "Off";
inline constexpr std::string_view kTrue = "TRUE";
inline constexpr std::string_view kFalse = "FALSE";

// Every value of "Defaults", in the order in which the loader reads them.
enum class SettingId {
  kGenerations,
  kRestrictLevelDeepCheck,
  kMegRestriction,
  kMegRestrictionCheck,
  kFileRestriction,
  kRestrictNumberOfFilesCheck,
  kMailAddress,
  kUserPass,
  kSearchType,
  kDispDate,
  kDispName,
  kTitleFont,
  kSubTitleFont,
  kBodyFont,
  kProxy,
  kProxyServer,
  kProxyPort,
  kProxyUserName,
  kProxyPassword,
  kHttpTimeout,
  kSlowTimeout,
  kIgnoreCgiScript,
  kHighlightColor,
  kSearchWithinAllCheck,
  kSearchWithinCommentsCheck,
  kSearchWithinTitlesCheck,
  kHighGraph,
  kHighText,
  kAgent,
  kInternalCacheBar,
  kSearchBar,
  kQueryBar,
  kHints,
  kShowFirst,
  // Values the program added later; each is written only once it differs from its
  // default or is in the store already, so older files keep their bytes.
  kAllowHttps,
};

enum class SettingForm {
  kWholeNumber,      // field text as stored; the default when missing or not a whole number
  kSwitch,           // "On" checks the box, anything else clears it; enables its fields
  kDefaultOnSwitch,  // "On" or missing checks the box; anything else leaves it as it is
  kSearchType,       // "Domain", "Directory", "Server", "Filter"; anything else: None
  kFont,             // font description; empty counts as missing
  kText,             // text as stored; the default when missing
  kTextIfPresent,    // text as stored, only when not empty; else the field is left alone
  kScrambled,        // scrambled text, unscrambled into the field only when not empty
  kColor,            // colour text; red when empty or unreadable
  kTrackBar,         // whole number within [minimum, maximum]; else the default
  kTrueFalse,        // "TRUE" (or missing) checks, anything else clears
  kOnDemand,         // feeds no control; read when needed ("ShowFirst")
  kOptionalSwitch,   // as kSwitch, but written only when checked or already stored
};

struct SettingRow {
  SettingId id;
  std::string_view name;
  SettingForm form;
  std::string_view default_text;
  // The control the value feeds: exactly one of these is set (none for kOnDemand).
  EditField LiveSettings::*field = nullptr;
  bool LiveSettings::*check = nullptr;
  std::string LiveSettings::*label = nullptr;
  int LiveSettings::*position = nullptr;
  SearchType LiveSettings::*choice = nullptr;
  Rgb LiveSettings::*color = nullptr;
  int minimum = 0;  // track bars
  int maximum = 0;
  // Fields that a switch enables when checked and disables when not.
  std::array<EditField LiveSettings::*, 4> switched_fields{};
  // A switch whose fields are also emptied, and not loaded, while it is off.
  bool empties_fields_when_off = false;
};

// The table, in loading order (SettingId order).
std::span<const SettingRow> SettingsTable();
const SettingRow& RowOf(SettingId id);
// The row of a value name (exact), or nullptr.
const SettingRow* FindRow(std::string_view name);

// The names of the scope radio buttons as "Search Type" and the crawl know them.
std::string_view SearchTypeName(SearchType type);
// Exact comparison; any other text is kNone.
SearchType SearchTypeFromName(std::string_view name);

// Puts a stored value (nullopt: missing) into the control of `row`, with that
// row's rules. Rows of kScrambled unscramble with `scrambler` and throw
// EQuillError on text that is not hexadecimal; nothing else throws.
void LoadRow(const SettingRow& row, const std::optional<std::string>& stored, LiveSettings& live,
             TQuillEncryption& scrambler);

// The text that the setup dialog's OK writes for `row` from the live settings now
// (kScrambled: scrambled afresh with `scrambler`); nullopt for kOnDemand.
std::optional<std::string> WrittenText(const SettingRow& row, const LiveSettings& live,
                                       TQuillEncryption& scrambler);

}  // namespace ferrowyn
