// "ferrowyn-cli settings": shows the settings as the setup dialog holds them
// after a full load, and changes them the way the setup dialog's OK does.
#include <cstdio>
#include <exception>
#include <string>

#include "app/font_description.h"
#include "app/live_settings.h"
#include "app/program_directory.h"
#include "app/quill_encryption.h"
#include "app/settings_operations.h"
#include "app/settings_store.h"
#include "app/settings_table.h"
#include "app/setup_dialog_logic.h"
#include "app/text_forms.h"
#include "cli/cli_user_port.h"
#include "cli/command.h"

namespace ferrowyn::cli {
namespace {

std::string Join(const std::vector<std::string>& items, const std::string& separator) {
  std::string joined;
  for (size_t i = 0; i < items.size(); ++i) joined += (i ? separator : "") + items[i];
  return joined;
}

void Show(const SettingsStore& store, const LiveSettings& live, const SearchFields& search) {
  TQuillEncryption scrambler;
  scrambler.Key = kSetupScramblerKey;
  for (const SettingRow& row : SettingsTable()) {
    std::string text;
    if (row.id == SettingId::kProxyPassword) {
      text.assign((live.*row.field).text.size(), '*');
    } else if (row.form == SettingForm::kOnDemand) {
      text = loadregistryfirst(store) ? kOff : kOn;
    } else {
      text = *WrittenText(row, live, scrambler);
    }
    std::printf("%s=%s\n", std::string(row.name).c_str(), text.c_str());
  }
  std::printf("%s=%s\n", std::string(kFileTypesSection).c_str(), Join(live.filetypes, ",").c_str());
  std::printf("%s=%s\n", std::string(kHistorySection).c_str(),
              Join(search.URL.items, " | ").c_str());
  std::printf("%s=%s\n", std::string(kQueryHistorySection).c_str(),
              Join(search.querysearch.items, " | ").c_str());
}

// Puts one value into the live settings as a user would type or tick it. Returns
// an error text when the value cannot be given that way.
std::optional<std::string> Apply(const SettingsStore& store, SetupDialogLogic& dialog,
                                 LiveSettings& live, const SettingRow& row,
                                 const std::string& value) {
  const std::string quoted = "\"" + std::string(row.name) + "\"";
  const bool on = value == kOn;
  const bool is_switch_text = on || value == kOff;
  switch (row.form) {
    case SettingForm::kWholeNumber:
    case SettingForm::kText:
    case SettingForm::kTextIfPresent:
    case SettingForm::kScrambled:
      if (row.field != nullptr) {
        (live.*row.field).text = value;
      } else {
        live.*row.label = value;
      }
      return std::nullopt;
    case SettingForm::kSwitch:
    case SettingForm::kOptionalSwitch:
      if (!is_switch_text) return quoted + " takes On or Off";
      dialog.SetSwitch(row.id, on);
      return std::nullopt;
    case SettingForm::kDefaultOnSwitch:
      if (!is_switch_text) return quoted + " takes On or Off";
      live.*row.check = on;
      return std::nullopt;
    case SettingForm::kSearchType:
      for (SearchType type : {SearchType::kNone, SearchType::kDomain, SearchType::kDirectory,
                              SearchType::kServer, SearchType::kFilter}) {
        if (SearchTypeName(type) == value) {
          live.*row.choice = type;
          return std::nullopt;
        }
      }
      return quoted + " takes None, Domain, Directory, Server or Filter";
    case SettingForm::kFont:
      try {
        FontRecord font;
        ReadFontDescription(value, font);
      } catch (const EFontDescriptionError& error) {
        return std::string(error.what());
      }
      live.*row.label = value;
      return std::nullopt;
    case SettingForm::kColor:
      if (const std::optional<Rgb> color = StringToColor(value)) {
        live.*row.color = *color;
        return std::nullopt;
      }
      return quoted + " takes a colour such as clRed or $00FF8000";
    case SettingForm::kTrackBar:
      if (const std::optional<int> position = ReadWholeNumber(value);
          position && *position >= row.minimum && *position <= row.maximum) {
        live.*row.position = *position;
        return std::nullopt;
      }
      return quoted + " takes a whole number from " + std::to_string(row.minimum) + " to " +
             std::to_string(row.maximum);
    case SettingForm::kTrueFalse:
      // The Help menu's switch: written at once, as the menu item does.
      if (value != kTrue && value != kFalse) return quoted + " takes TRUE or FALSE";
      if ((value == kTrue) != live.*row.check) EnableHints1Click(store, live);
      return std::nullopt;
    case SettingForm::kOnDemand:
      // The Getting Started wizard's check box: written at once, as the wizard does.
      if (!is_switch_text) return quoted + " takes On or Off";
      saveregistryfirst(store, on);
      return std::nullopt;
  }
  return std::nullopt;
}

int Run(const CommandArgs& args) {
  if (!args.empty() && args[0] != "set") {
    std::fprintf(stderr, "ferrowyn-cli settings: unknown argument \"%s\"\n", args[0].c_str());
    return kExitUsage;
  }
  const SettingsStore store;
  LiveSettings live;
  SearchFields search;
  CliUserPort port;
  try {
    const std::string programdir = ProgramDirectory();
    SetupDialogLogic dialog(store, programdir, live, search, port);
    TQuillEncryption scrambler;
    scrambler.Key = kSetupScramblerKey;
    loadregistrydefaults(store, programdir, live, search, scrambler);
    if (args.empty()) {
      Show(store, live, search);
      return kExitOk;
    }
    for (size_t i = 1; i < args.size(); ++i) {
      const size_t equals = args[i].find('=');
      const SettingRow* row = equals == std::string::npos
                                  ? nullptr
                                  : FindRow(std::string_view(args[i]).substr(0, equals));
      if (row == nullptr) {
        std::fprintf(stderr,
                     "ferrowyn-cli settings: \"%s\" is not NAME=VALUE with a setting of "
                     "section \"Defaults\"\n",
                     args[i].c_str());
        return kExitUsage;
      }
      if (auto error = Apply(store, dialog, live, *row, args[i].substr(equals + 1))) {
        std::fprintf(stderr, "ferrowyn-cli settings: %s\n", error->c_str());
        return kExitUsage;
      }
    }
    return dialog.BitBtn1Click() ? kExitOk : kExitFailure;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return kExitFailure;
  }
}

const CommandRegistration registration(
    "settings",
    "  settings                     show every value of \"Defaults\" (NAME=TEXT), the file\n"
    "                               types and both histories\n"
    "  settings set NAME=VALUE ...  change values as the setup dialog would (switches: On or\n"
    "                               Off; \"Search Type\": its name) and confirm them with OK",
    Run);

}  // namespace
}  // namespace ferrowyn::cli
