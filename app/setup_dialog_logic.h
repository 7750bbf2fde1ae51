// What the setup dialog does apart from drawing: reloading on show, close and
// Cancel, the OK that validates and writes every setting in a fixed order, the
// switches that enable their fields, the file type list, clearing the histories
// and the font previews. The dialog widget forwards its events here.
#pragma once

#include <optional>
#include <string>

#include "app/font_description.h"
#include "app/live_settings.h"
#include "app/quill_encryption.h"
#include "app/settings_store.h"
#include "app/settings_table.h"
#include "base/user_port.h"

namespace ferrowyn {

// Lives as long as the setup dialog (the whole run). Holds references to the
// store, the live settings, the search center's history fields and the user port,
// which all outlive it. GUI thread only. Operations that write throw
// ESettingsError when the store refuses; those that load throw EQuillError on a
// stored proxy password that is not hexadecimal; those that read a font
// description throw EFontDescriptionError. The window layer lets these reach the
// program's general error report.
class SetupDialogLogic {
 public:
  static constexpr int kHelpContext = 1004;  // the dialog's Help button

  SetupDialogLogic(const SettingsStore& store, std::string programdir, LiveSettings& live,
                   SearchFields& search, UserPort& port);

  // Showing: the first page, and the three font previews refreshed. (The window
  // layer disables the main window.)
  void FormShow();
  // Closing, however it happens: every control again shows what the store holds.
  void FormClose();
  // OK: validates and writes in order; each value is written as soon as it is
  // known. On the first failing check its message is shown and the result is
  // false: the dialog stays open and what was written stays written. True when
  // every value was written and the dialog is to close.
  bool BitBtn1Click();
  // Cancel: reloads; the window layer then closes the dialog (FormClose).
  void BitBtn3Click();
  // Set Color: the colour dialog; a confirmed colour becomes the sample's colour.
  void BitBtn4Click();
  // Clear Query History / Clear URL History: at once, without OK.
  void BitBtn5Click();
  void BitBtn12Click();
  // Add the extension in `typetoadd` / remove the selected one.
  void BitBtn6Click();
  void BitBtn7Click();
  // Print Setup.
  void BitBtn8Click();
  // Set the title, subtitle or body font through the font dialog.
  void BitBtn9Click();
  void BitBtn10Click();
  void BitBtn11Click();

  // A check box with a field was clicked (its state is already in the live
  // settings): the field follows it. The proxy switch also empties its four
  // fields when unchecked.
  void restrictlevelsdeepClick();
  void restrictnumberoffilesClick();
  void restrictdownloadsizeClick();
  void enableproxyClick();
  // Ticks or clears the check box of a switch row and runs its click handler.
  void SetSwitch(SettingId id, bool checked);

  // Refreshes the three preview fonts from the descriptions, in the order title,
  // subtitle, body; a description that cannot be read stops there.
  void fontpreview();
  // Reads a description into the font dialog's font (partial update on failure).
  void parsesetupfont(const std::string& description);
  // Shows the font dialog at its current font; the description of the chosen font,
  // or an empty text when cancelled.
  std::string fontstring();

  int activepage() const { return activepage_; }
  void set_activepage(int page) { activepage_ = page; }
  const FontRecord& FontDialog1() const { return fontdialog1_; }
  // The preview labels' fonts: face, colour and style of the description, 8 points.
  const FontRecord& titleview() const { return titleview_; }
  const FontRecord& subtitleview() const { return subtitleview_; }
  const FontRecord& bodyview() const { return bodyview_; }

 private:
  std::optional<std::string> WriteInOrder(SettingsStore::Session& session);
  void Put(SettingsStore::Session& session, SettingId id);
  std::optional<std::string> PutRestriction(SettingsStore::Session& session, SettingId check,
                                            SettingId value, const char* empty_message,
                                            const char* invalid_message);
  void SetFont(std::string LiveSettings::*label);

  const SettingsStore& store_;
  std::string programdir_;
  LiveSettings& live_;
  SearchFields& search_;
  UserPort& port_;
  TQuillEncryption QuillEncryption1;
  FontRecord fontdialog1_ = FallbackFont();
  FontRecord titleview_;
  FontRecord subtitleview_;
  FontRecord bodyview_;
  int activepage_ = 0;
};

}  // namespace ferrowyn
