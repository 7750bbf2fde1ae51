// The setup dialog's behaviour without its widgets.
#include "app/setup_dialog_logic.h"

#include <algorithm>

#include "app/settings_operations.h"
#include "app/text_forms.h"

namespace ferrowyn {

namespace {
std::optional<std::string> Failure(std::string message) { return message; }
}  // namespace

SetupDialogLogic::SetupDialogLogic(const SettingsStore& store, std::string programdir,
                                   LiveSettings& live, SearchFields& search, UserPort& port)
    : store_(store), programdir_(std::move(programdir)), live_(live), search_(search), port_(port) {
  QuillEncryption1.Key = kSetupScramblerKey;
}

void SetupDialogLogic::FormShow() {
  activepage_ = 0;  // "Restrictions"
  fontpreview();
}

void SetupDialogLogic::FormClose() {
  loadregistrydefaults(store_, programdir_, live_, search_, QuillEncryption1);
}

void SetupDialogLogic::BitBtn3Click() {
  loadregistrydefaults(store_, programdir_, live_, search_, QuillEncryption1);
}

bool SetupDialogLogic::BitBtn1Click() {
  SettingsStore::Session session = store_.Open();
  const std::optional<std::string> failure = WriteInOrder(session);
  // What was written before a failing check stays written.
  session.Close();
  if (failure) {
    port_.Error(*failure);
    return false;
  }
  return true;
}

void SetupDialogLogic::Put(SettingsStore::Session& session, SettingId id) {
  const SettingRow& row = RowOf(id);
  // A settings file of someone who never switches it on keeps its bytes.
  if (row.form == SettingForm::kOptionalSwitch && !(live_.*row.check) &&
      !session.Read(kDefaultsSection, row.name))
    return;
  session.Write(kDefaultsSection, row.name, *WrittenText(row, live_, QuillEncryption1));
}

std::optional<std::string> SetupDialogLogic::PutRestriction(SettingsStore::Session& session,
                                                            SettingId check, SettingId value,
                                                            const char* empty_message,
                                                            const char* invalid_message) {
  // Unchecked: the number keeps its stored value, whatever the field holds.
  if (live_.*RowOf(check).check) {
    const std::string& text = (live_.*RowOf(value).field).text;
    if (text.empty()) return Failure(empty_message);
    const std::optional<int> number = ReadWholeNumber(text);
    if (!number || *number <= 0) return Failure(text + invalid_message);
    Put(session, value);
  }
  Put(session, check);
  return std::nullopt;
}

std::optional<std::string> SetupDialogLogic::WriteInOrder(SettingsStore::Session& session) {
  using I = SettingId;
  Put(session, I::kSearchType);
  Put(session, I::kMailAddress);
  Put(session, I::kUserPass);
  session.WriteList(kFileTypesSection, live_.filetypes);

  if (auto failure = PutRestriction(
          session, I::kRestrictLevelDeepCheck, I::kGenerations,
          "You must enter a value for the number of levels deep Ferrowyn! should traverse.",
          " is not a valid value for the number of levels deep. Please re-enter."))
    return failure;
  if (auto failure =
          PutRestriction(session, I::kMegRestrictionCheck, I::kMegRestriction,
                         "You must enter a file size retrieval restriction.",
                         " is not a valid value for file size restriction. Please re-enter."))
    return failure;
  if (auto failure =
          PutRestriction(session, I::kRestrictNumberOfFilesCheck, I::kFileRestriction,
                         "You must enter a file count restriction.",
                         " is not a valid value for file count restriction. Please re-enter."))
    return failure;

  Put(session, I::kDispDate);
  Put(session, I::kDispName);
  Put(session, I::kTitleFont);
  Put(session, I::kSubTitleFont);
  Put(session, I::kBodyFont);

  // Switched off, the stored proxy server, port, user name and password stay as
  // they are.
  if (live_.enableproxy) {
    if (TrimBlanks(live_.proxyserver.text).empty())
      return Failure("You must enter a valid proxy server.");
    Put(session, I::kProxyServer);
    const std::optional<int> port = ReadWholeNumber(live_.proxyport.text);
    if (!port || *port < 1) return Failure("You must enter a valid value for the proxy port.");
    Put(session, I::kProxyPort);
    Put(session, I::kProxyUserName);
    Put(session, I::kProxyPassword);
  }
  Put(session, I::kProxy);

  const std::optional<int> httptimeout = ReadWholeNumber(live_.httptimeout.text);
  if (!httptimeout || *httptimeout <= 0)
    return Failure("You must enter a valid value for the HTTP Timeout.");
  Put(session, I::kHttpTimeout);
  const std::optional<int> slowtimeout = ReadWholeNumber(live_.slowtimeout.text);
  if (!slowtimeout || *slowtimeout <= 0)
    return Failure("You must enter a valid value for the Slow Transfer Timeout.");
  Put(session, I::kSlowTimeout);

  for (SettingId id : {I::kHighlightColor, I::kIgnoreCgiScript, I::kSearchWithinAllCheck,
                       I::kSearchWithinCommentsCheck, I::kSearchWithinTitlesCheck, I::kHighGraph,
                       I::kHighText, I::kAgent, I::kInternalCacheBar, I::kSearchBar, I::kQueryBar,
                       I::kAllowHttps})
    Put(session, id);
  return std::nullopt;
}

void SetupDialogLogic::BitBtn4Click() {
  if (const std::optional<Rgb> color = port_.ChooseColor(live_.highlightcolor))
    live_.highlightcolor = *color;
}

void SetupDialogLogic::BitBtn5Click() {
  search_.querysearch = HistoryField{};
  savequeryhistory(store_, search_.querysearch);
  port_.Information("Query History has been cleared.");
}

void SetupDialogLogic::BitBtn12Click() {
  search_.URL = HistoryField{};
  savehistory(store_, search_.URL);
  port_.Information("URL History has been cleared.");
}

void SetupDialogLogic::BitBtn6Click() {
  if (live_.typetoadd.empty()) {
    port_.Error("You must first enter a file type to add.");
    return;
  }
  const std::string type = live_.typetoadd.front() == '.' ? live_.typetoadd : "." + live_.typetoadd;
  const bool present =
      std::any_of(live_.filetypes.begin(), live_.filetypes.end(),
                  [&](const std::string& item) { return EqualsIgnoringLatin1Case(item, type); });
  if (present) {
    port_.Error("Extension \"" + type + "\" has already been added to the list.");
    return;
  }
  live_.filetypes.push_back(type);
}

void SetupDialogLogic::BitBtn7Click() {
  const int selected = live_.filetypesselected;
  if (selected < 0 || selected >= static_cast<int>(live_.filetypes.size())) {
    port_.Error("You must first select a file type to remove.");
    return;
  }
  live_.filetypes.erase(live_.filetypes.begin() + selected);
  live_.filetypesselected = -1;
}

void SetupDialogLogic::BitBtn8Click() { port_.PrinterSetup(); }

void SetupDialogLogic::BitBtn9Click() { SetFont(&LiveSettings::titledetails); }
void SetupDialogLogic::BitBtn10Click() { SetFont(&LiveSettings::subtitledetails); }
void SetupDialogLogic::BitBtn11Click() { SetFont(&LiveSettings::bodydetails); }

void SetupDialogLogic::SetFont(std::string LiveSettings::*label) {
  parsesetupfont(live_.*label);
  const std::string description = fontstring();
  if (description.empty()) return;
  live_.*label = description;
  fontpreview();
}

void SetupDialogLogic::SetSwitch(SettingId id, bool checked) {
  const SettingRow& row = RowOf(id);
  live_.*row.check = checked;
  for (auto field : row.switched_fields) {
    if (field == nullptr) continue;
    (live_.*field).enabled = checked;
    if (!checked && row.empties_fields_when_off) (live_.*field).text.clear();
  }
}

void SetupDialogLogic::restrictlevelsdeepClick() {
  SetSwitch(SettingId::kRestrictLevelDeepCheck, live_.restrictlevelsdeep);
}
void SetupDialogLogic::restrictnumberoffilesClick() {
  SetSwitch(SettingId::kRestrictNumberOfFilesCheck, live_.restrictnumberoffiles);
}
void SetupDialogLogic::restrictdownloadsizeClick() {
  SetSwitch(SettingId::kMegRestrictionCheck, live_.restrictdownloadsize);
}
void SetupDialogLogic::enableproxyClick() { SetSwitch(SettingId::kProxy, live_.enableproxy); }

void SetupDialogLogic::fontpreview() {
  const std::pair<const std::string*, FontRecord*> previews[] = {
      {&live_.titledetails, &titleview_},
      {&live_.subtitledetails, &subtitleview_},
      {&live_.bodydetails, &bodyview_},
  };
  for (const auto& [description, view] : previews) {
    parsesetupfont(*description);
    *view = FontRecord{fontdialog1_.name, 8, fontdialog1_.color, fontdialog1_.style};
  }
}

void SetupDialogLogic::parsesetupfont(const std::string& description) {
  ReadFontDescription(description, fontdialog1_);
}

std::string SetupDialogLogic::fontstring() {
  const std::optional<FontRecord> chosen = port_.ChooseFont(fontdialog1_);
  if (!chosen) return "";
  fontdialog1_ = *chosen;
  return BuildFontDescription(*chosen);
}

}  // namespace ferrowyn
