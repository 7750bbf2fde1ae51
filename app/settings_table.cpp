// The settings table and the per-row rules for loading and writing.
#include "app/settings_table.h"

#include <cassert>

#include "app/quill_encryption.h"
#include "app/text_forms.h"

namespace ferrowyn {

namespace {
using L = LiveSettings;
using F = SettingForm;
using I = SettingId;

constexpr std::array<EditField L::*, 4> kProxyFields{&L::proxyserver, &L::proxyport,
                                                     &L::proxyusername, &L::proxypassword};

const std::array<SettingRow, 35> kTable{{
    {.id = I::kGenerations,
     .name = "Generations",
     .form = F::kWholeNumber,
     .default_text = "3",
     .field = &L::levels},
    {.id = I::kRestrictLevelDeepCheck,
     .name = "RestrictLevelDeepCheck",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::restrictlevelsdeep,
     .switched_fields = {&L::levels}},
    {.id = I::kMegRestriction,
     .name = "MegRestriction",
     .form = F::kWholeNumber,
     .default_text = "1000",
     .field = &L::megrestriction},
    {.id = I::kMegRestrictionCheck,
     .name = "MegRestrictionCheck",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::restrictdownloadsize,
     .switched_fields = {&L::megrestriction}},
    {.id = I::kFileRestriction,
     .name = "FileRestriction",
     .form = F::kWholeNumber,
     .default_text = "500",
     .field = &L::filesrestriction},
    {.id = I::kRestrictNumberOfFilesCheck,
     .name = "RestrictNumberOfFilesCheck",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::restrictnumberoffiles,
     .switched_fields = {&L::filesrestriction}},
    {.id = I::kMailAddress,
     .name = "Mail Address",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::mailaddr},
    {.id = I::kUserPass,
     .name = "UserPass",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::userpass},
    {.id = I::kSearchType,
     .name = "Search Type",
     .form = F::kSearchType,
     .default_text = "None",
     .choice = &L::searchtype},
    {.id = I::kDispDate,
     .name = "DispDate",
     .form = F::kDefaultOnSwitch,
     .default_text = kOn,
     .check = &L::dispdate},
    {.id = I::kDispName,
     .name = "DispName",
     .form = F::kDefaultOnSwitch,
     .default_text = kOn,
     .check = &L::dispname},
    {.id = I::kTitleFont,
     .name = "Title Font",
     .form = F::kFont,
     .default_text = "Times New Roman,12,Bold,Black,Underline",
     .label = &L::titledetails},
    {.id = I::kSubTitleFont,
     .name = "SubTitle Font",
     .form = F::kFont,
     .default_text = "Times New Roman,10,Red",
     .label = &L::subtitledetails},
    {.id = I::kBodyFont,
     .name = "Body Font",
     .form = F::kFont,
     .default_text = "Times New Roman,9,Blue",
     .label = &L::bodydetails},
    {.id = I::kProxy,
     .name = "Proxy",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::enableproxy,
     .switched_fields = kProxyFields,
     .empties_fields_when_off = true},
    {.id = I::kProxyServer,
     .name = "Proxy Server",
     .form = F::kText,
     .default_text = "",
     .field = &L::proxyserver},
    {.id = I::kProxyPort,
     .name = "Proxy Port",
     .form = F::kWholeNumber,
     .default_text = "80",
     .field = &L::proxyport},
    {.id = I::kProxyUserName,
     .name = "ProxyUserName",
     .form = F::kTextIfPresent,
     .default_text = "",
     .field = &L::proxyusername},
    {.id = I::kProxyPassword,
     .name = "ProxyPassword",
     .form = F::kScrambled,
     .default_text = "",
     .field = &L::proxypassword},
    {.id = I::kHttpTimeout,
     .name = "HTTP Timeout",
     .form = F::kWholeNumber,
     .default_text = "30",
     .field = &L::httptimeout},
    {.id = I::kSlowTimeout,
     .name = "Slow Timeout",
     .form = F::kWholeNumber,
     .default_text = "60",
     .field = &L::slowtimeout},
    {.id = I::kIgnoreCgiScript,
     .name = "IgnoreCGIScript",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::ignorecgiscript},
    {.id = I::kHighlightColor,
     .name = "HighlightColor",
     .form = F::kColor,
     .default_text = "clRed",
     .color = &L::highlightcolor},
    {.id = I::kSearchWithinAllCheck,
     .name = "SearchWithinAllCheck",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::searchwithinall},
    {.id = I::kSearchWithinCommentsCheck,
     .name = "SearchWithinCommentsCheck",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::searchwithincomments},
    {.id = I::kSearchWithinTitlesCheck,
     .name = "SearchWithinTitlesCheck",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::searchwithintitles},
    {.id = I::kHighGraph,
     .name = "HighGraph",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::highgraph},
    {.id = I::kHighText,
     .name = "HighText",
     .form = F::kSwitch,
     .default_text = kOff,
     .check = &L::hightext},
    {.id = I::kAgent,
     .name = "Agent",
     .form = F::kText,
     .default_text = "Ferrowyn!",
     .label = &L::webagentbox},
    {.id = I::kInternalCacheBar,
     .name = "InternalCacheBar",
     .form = F::kTrackBar,
     .default_text = "5",
     .position = &L::internalcachebar,
     .minimum = 0,
     .maximum = 10},
    {.id = I::kSearchBar,
     .name = "SearchBar",
     .form = F::kTrackBar,
     .default_text = "4",
     .position = &L::searchbar,
     .minimum = 1,
     .maximum = 4},
    {.id = I::kQueryBar,
     .name = "QueryBar",
     .form = F::kTrackBar,
     .default_text = "4",
     .position = &L::querybar,
     .minimum = 1,
     .maximum = 4},
    {.id = I::kHints,
     .name = "Hints",
     .form = F::kTrueFalse,
     .default_text = kTrue,
     .check = &L::hints},
    {.id = I::kShowFirst, .name = "ShowFirst", .form = F::kOnDemand, .default_text = kOff},
    {.id = I::kAllowHttps,
     .name = "Allow HTTPS",
     .form = F::kOptionalSwitch,
     .default_text = kOff,
     .check = &L::allowhttps},
}};

struct SearchTypeNameEntry {
  SearchType type;
  std::string_view name;
};
constexpr std::array<SearchTypeNameEntry, 5> kSearchTypeNames{{
    {SearchType::kDomain, "Domain"},
    {SearchType::kDirectory, "Directory"},
    {SearchType::kServer, "Server"},
    {SearchType::kFilter, "Filter"},
    {SearchType::kNone, "None"},
}};

// Text fields are either edit fields or plain texts (labels, the agent box).
std::string& TextOf(const SettingRow& row, LiveSettings& live) {
  return row.field != nullptr ? (live.*row.field).text : live.*row.label;
}
const std::string& TextOf(const SettingRow& row, const LiveSettings& live) {
  return row.field != nullptr ? (live.*row.field).text : live.*row.label;
}
}  // namespace

std::span<const SettingRow> SettingsTable() { return kTable; }

const SettingRow& RowOf(SettingId id) {
  const SettingRow& row = kTable[static_cast<size_t>(id)];
  assert(row.id == id);
  return row;
}

const SettingRow* FindRow(std::string_view name) {
  for (const auto& row : kTable) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

std::string_view SearchTypeName(SearchType type) {
  for (const auto& entry : kSearchTypeNames) {
    if (entry.type == type) return entry.name;
  }
  return "None";
}

SearchType SearchTypeFromName(std::string_view name) {
  for (const auto& entry : kSearchTypeNames) {
    if (entry.name == name) return entry.type;
  }
  return SearchType::kNone;
}

void LoadRow(const SettingRow& row, const std::optional<std::string>& stored, LiveSettings& live,
             TQuillEncryption& scrambler) {
  switch (row.form) {
    case F::kWholeNumber:
      TextOf(row, live) =
          stored && ReadWholeNumber(*stored) ? *stored : std::string(row.default_text);
      break;
    case F::kSwitch:
    case F::kOptionalSwitch: {
      const bool on = stored.value_or(std::string(row.default_text)) == kOn;
      live.*row.check = on;
      for (auto field : row.switched_fields) {
        if (field != nullptr) (live.*field).enabled = on;
      }
      if (!on && row.empties_fields_when_off) {
        for (auto field : row.switched_fields) {
          if (field != nullptr) (live.*field).text.clear();
        }
      }
      break;
    }
    case F::kDefaultOnSwitch:
      if (stored.value_or(std::string(row.default_text)) == kOn) live.*row.check = true;
      break;
    case F::kSearchType:
      live.*row.choice = SearchTypeFromName(stored.value_or(std::string(row.default_text)));
      break;
    case F::kFont:
      live.*row.label = stored && !stored->empty() ? *stored : std::string(row.default_text);
      break;
    case F::kText:
      TextOf(row, live) = stored.value_or(std::string(row.default_text));
      break;
    case F::kTextIfPresent:
      if (stored && !stored->empty()) TextOf(row, live) = *stored;
      break;
    case F::kScrambled:
      if (stored && !stored->empty()) {
        scrambler.Input = *stored;
        scrambler.Action = TQuillEncryption::atDecryption;
        scrambler.Execute();
        TextOf(row, live) = scrambler.Output;
      }
      break;
    case F::kColor: {
      std::optional<Rgb> color;
      if (stored && !stored->empty()) color = StringToColor(*stored);
      live.*row.color = color.value_or(*StringToColor(row.default_text));
      break;
    }
    case F::kTrackBar: {
      const std::optional<int> value = stored ? ReadWholeNumber(*stored) : std::nullopt;
      live.*row.position = value && *value >= row.minimum && *value <= row.maximum
                               ? *value
                               : *ReadWholeNumber(row.default_text);
      break;
    }
    case F::kTrueFalse:
      live.*row.check = stored.value_or(std::string(row.default_text)) == kTrue;
      break;
    case F::kOnDemand:
      break;
  }
}

std::optional<std::string> WrittenText(const SettingRow& row, const LiveSettings& live,
                                       TQuillEncryption& scrambler) {
  switch (row.form) {
    case F::kWholeNumber:
    case F::kText:
    case F::kTextIfPresent:
    case F::kFont:
      return TextOf(row, live);
    case F::kScrambled:
      scrambler.Input = TextOf(row, live);
      scrambler.Action = TQuillEncryption::atEncryption;
      scrambler.Execute();
      return scrambler.Output;
    case F::kSwitch:
    case F::kDefaultOnSwitch:
    case F::kOptionalSwitch:
      return std::string(live.*row.check ? kOn : kOff);
    case F::kSearchType:
      return std::string(SearchTypeName(live.*row.choice));
    case F::kColor:
      return ColorToString(live.*row.color);
    case F::kTrackBar:
      return std::to_string(live.*row.position);
    case F::kTrueFalse:
      return std::string(live.*row.check ? kTrue : kFalse);
    case F::kOnDemand:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace ferrowyn
