// The setup dialog's behaviour: OK's order, checks and messages with the values
// written before a failure, the switches, the file type list, the histories, the
// colour and the fonts.
#include "app/setup_dialog_logic.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/settings_operations.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn {
namespace {

using testing::ScriptedUserPort;

class SetupDialogTest : public ::testing::Test {
 protected:
  SetupDialogTest()
      : store_(dir_.filePath("Ferrowyn.ini").toStdString()),
        dialog_(store_, dir_.filePath("program").toStdString(), live_, search_, port_) {}

  std::optional<std::string> Stored(std::string_view name) const {
    return store_.Read(kDefaultsSection, name);
  }
  // OK fails with `message`; returns false when it did not.
  void ExpectOkFails(const std::string& message) {
    port_.ExpectError(message);
    EXPECT_FALSE(dialog_.BitBtn1Click());
  }

  QTemporaryDir dir_;
  const SettingsStore store_;
  LiveSettings live_;
  SearchFields search_;
  ScriptedUserPort port_;
  SetupDialogLogic dialog_;
};

TEST_F(SetupDialogTest, OkWritesEveryValueFromTheLiveSettings) {
  dialog_.FormClose();
  live_.searchtype = SearchType::kServer;
  live_.mailaddr = true;
  live_.hightext = true;
  live_.highlightcolor = {0x12, 0x34, 0x56};
  live_.searchbar = 2;
  live_.webagentbox = "Mozilla/4.51 [en] (Win95; I)";
  EXPECT_TRUE(dialog_.BitBtn1Click());
  const std::vector<std::pair<std::string, std::string>> expected{
      {"Search Type", "Server"},
      {"Mail Address", "On"},
      {"UserPass", "Off"},
      {"RestrictLevelDeepCheck", "Off"},
      {"MegRestrictionCheck", "Off"},
      {"RestrictNumberOfFilesCheck", "Off"},
      {"DispDate", "On"},
      {"DispName", "On"},
      {"Title Font", "Times New Roman,12,Bold,Black,Underline"},
      {"SubTitle Font", "Times New Roman,10,Red"},
      {"Body Font", "Times New Roman,9,Blue"},
      {"Proxy", "Off"},
      {"HTTP Timeout", "30"},
      {"Slow Timeout", "60"},
      {"HighlightColor", "$00563412"},
      {"IgnoreCGIScript", "Off"},
      {"SearchWithinAllCheck", "Off"},
      {"SearchWithinCommentsCheck", "Off"},
      {"SearchWithinTitlesCheck", "Off"},
      {"HighGraph", "Off"},
      {"HighText", "On"},
      {"Agent", "Mozilla/4.51 [en] (Win95; I)"},
      {"InternalCacheBar", "5"},
      {"SearchBar", "2"},
      {"QueryBar", "4"}};
  for (const auto& [name, text] : expected) EXPECT_EQ(Stored(name), text) << name;
  // Unchecked restrictions and a switched-off proxy leave their values unwritten.
  for (const char* name : {"Generations", "MegRestriction", "FileRestriction", "Proxy Server",
                           "Proxy Port", "ProxyUserName", "ProxyPassword", "Hints", "ShowFirst"})
    EXPECT_EQ(Stored(name), std::nullopt) << name;
  EXPECT_EQ(store_.ReadList(kFileTypesSection), BuiltInFileTypes());
}

TEST_F(SetupDialogTest, AllowHttpsIsWrittenOnlyOnceSwitchedOnOrAlreadyStored) {
  auto file_bytes = [this] {
    QFile file(dir_.filePath("Ferrowyn.ini"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll().toStdString();
  };
  dialog_.FormClose();
  live_.mailaddr = true;
  EXPECT_TRUE(dialog_.BitBtn1Click());
  EXPECT_EQ(Stored("Allow HTTPS"), std::nullopt);
  const std::string before = file_bytes();
  dialog_.FormClose();
  EXPECT_TRUE(dialog_.BitBtn1Click());
  EXPECT_EQ(file_bytes(), before);  // a user who never switches it on keeps every byte

  live_.allowhttps = true;
  EXPECT_TRUE(dialog_.BitBtn1Click());
  EXPECT_EQ(Stored("Allow HTTPS"), "On");
  live_.allowhttps = false;
  dialog_.FormClose();
  EXPECT_TRUE(live_.allowhttps);
  live_.allowhttps = false;
  EXPECT_TRUE(dialog_.BitBtn1Click());
  EXPECT_EQ(Stored("Allow HTTPS"), "Off");  // once stored, switching off is written
  store_.Write(kDefaultsSection, "Allow HTTPS", "on");
  live_.allowhttps = true;
  dialog_.FormClose();
  EXPECT_FALSE(live_.allowhttps);  // only the exact "On" is on
}

TEST_F(SetupDialogTest, ALevelsCheckFailureKeepsWhatWasWrittenBeforeIt) {
  dialog_.FormClose();
  live_.searchtype = SearchType::kDomain;
  live_.userpass = true;
  live_.filetypes.push_back(".php");
  dialog_.SetSwitch(SettingId::kRestrictLevelDeepCheck, true);
  live_.levels.text = "0";
  ExpectOkFails("0 is not a valid value for the number of levels deep. Please re-enter.");
  EXPECT_EQ(Stored("Search Type"), "Domain");
  EXPECT_EQ(Stored("Mail Address"), "Off");
  EXPECT_EQ(Stored("UserPass"), "On");
  EXPECT_EQ(store_.ReadList(kFileTypesSection).back(), ".php");
  EXPECT_EQ(Stored("Generations"), std::nullopt);
  EXPECT_EQ(Stored("RestrictLevelDeepCheck"), std::nullopt);
  EXPECT_EQ(Stored("DispDate"), std::nullopt);
  EXPECT_EQ(live_.levels.text, "0");  // the field keeps what the user typed

  live_.levels.text = "";
  ExpectOkFails("You must enter a value for the number of levels deep Ferrowyn! should traverse.");
  live_.levels.text = "5";
  EXPECT_TRUE(dialog_.BitBtn1Click());
  EXPECT_EQ(Stored("Generations"), "5");
  EXPECT_EQ(Stored("RestrictLevelDeepCheck"), "On");
}

TEST_F(SetupDialogTest, EachRestrictionHasItsOwnMessages) {
  dialog_.FormClose();
  struct Case {
    SettingId check;
    EditField LiveSettings::*field;
    const char* empty;
    const char* invalid;
  };
  const Case cases[] = {
      {SettingId::kMegRestrictionCheck, &LiveSettings::megrestriction,
       "You must enter a file size retrieval restriction.",
       " is not a valid value for file size restriction. Please re-enter."},
      {SettingId::kRestrictNumberOfFilesCheck, &LiveSettings::filesrestriction,
       "You must enter a file count restriction.",
       " is not a valid value for file count restriction. Please re-enter."},
  };
  for (const Case& c : cases) {
    dialog_.SetSwitch(c.check, true);
    (live_.*c.field).text = "";
    ExpectOkFails(c.empty);
    for (const char* bad : {"-1", "12k", " 3"}) {
      (live_.*c.field).text = bad;
      ExpectOkFails(bad + std::string(c.invalid));
    }
    (live_.*c.field).text = "+7";
    dialog_.SetSwitch(c.check, false);
  }
  EXPECT_TRUE(dialog_.BitBtn1Click());
}

TEST_F(SetupDialogTest, AnUncheckedRestrictionKeepsTheStoredNumber) {
  store_.Write(kDefaultsSection, "Generations", "7");
  dialog_.FormClose();
  live_.levels.text = "abc";
  EXPECT_TRUE(dialog_.BitBtn1Click());
  EXPECT_EQ(Stored("Generations"), "7");
  dialog_.FormClose();
  EXPECT_EQ(live_.levels.text, "7");
}

TEST_F(SetupDialogTest, ProxyChecksAndThePasswordIsStoredScrambled) {
  dialog_.FormClose();
  live_.enableproxy = true;
  dialog_.enableproxyClick();
  EXPECT_TRUE(live_.proxyserver.enabled && live_.proxypassword.enabled);
  live_.proxyserver.text = "  ";
  ExpectOkFails("You must enter a valid proxy server.");
  live_.proxyserver.text = " proxy.example";
  live_.proxyport.text = "0";
  ExpectOkFails("You must enter a valid value for the proxy port.");
  EXPECT_EQ(Stored("Proxy Server"), " proxy.example");
  EXPECT_EQ(Stored("Proxy Port"), std::nullopt);
  EXPECT_EQ(Stored("Proxy"), std::nullopt);

  live_.proxyport.text = "3128";
  live_.proxyusername.text = "me";
  live_.proxypassword.text = "secret";
  EXPECT_TRUE(dialog_.BitBtn1Click());
  EXPECT_EQ(Stored("Proxy"), "On");
  EXPECT_EQ(Stored("Proxy Port"), "3128");
  EXPECT_EQ(Stored("ProxyUserName"), "me");
  const std::string scrambled = *Stored("ProxyPassword");
  EXPECT_EQ(scrambled.size(), 14u);
  EXPECT_EQ(scrambled.find("secret"), std::string::npos);
  live_.proxypassword.text.clear();
  dialog_.FormClose();
  EXPECT_EQ(live_.proxypassword.text, "secret");
}

TEST_F(SetupDialogTest, UncheckingTheProxyEmptiesItsFieldsForGood) {
  store_.Write(kDefaultsSection, "Proxy", "On");
  store_.Write(kDefaultsSection, "Proxy Server", "proxy.example");
  dialog_.FormClose();
  EXPECT_EQ(live_.proxyserver.text, "proxy.example");
  live_.enableproxy = false;
  dialog_.enableproxyClick();
  for (const EditField* field :
       {&live_.proxyserver, &live_.proxyport, &live_.proxyusername, &live_.proxypassword}) {
    EXPECT_EQ(field->text, "");
    EXPECT_FALSE(field->enabled);
  }
  EXPECT_TRUE(dialog_.BitBtn1Click());
  dialog_.FormClose();
  EXPECT_EQ(live_.proxyserver.text, "");
  EXPECT_EQ(Stored("Proxy"), "Off");
  EXPECT_EQ(Stored("Proxy Server"), "proxy.example");  // left as it was
}

TEST_F(SetupDialogTest, TimeoutsMustBePositiveWholeNumbers) {
  dialog_.FormClose();
  live_.highlightcolor = kBlack;
  live_.httptimeout.text = "0";
  ExpectOkFails("You must enter a valid value for the HTTP Timeout.");
  live_.httptimeout.text = "45";
  live_.slowtimeout.text = "1.5";
  ExpectOkFails("You must enter a valid value for the Slow Transfer Timeout.");
  EXPECT_EQ(Stored("HTTP Timeout"), "45");
  EXPECT_EQ(Stored("HighlightColor"), std::nullopt);
}

TEST_F(SetupDialogTest, RestrictionSwitchesEnableTheirFieldsWithoutEmptyingThem) {
  dialog_.FormClose();
  live_.restrictnumberoffiles = true;
  dialog_.restrictnumberoffilesClick();
  EXPECT_TRUE(live_.filesrestriction.enabled);
  live_.restrictnumberoffiles = false;
  dialog_.restrictnumberoffilesClick();
  EXPECT_FALSE(live_.filesrestriction.enabled);
  EXPECT_EQ(live_.filesrestriction.text, "500");
  live_.restrictdownloadsize = true;
  dialog_.restrictdownloadsizeClick();
  EXPECT_TRUE(live_.megrestriction.enabled);
  live_.restrictlevelsdeep = true;
  dialog_.restrictlevelsdeepClick();
  EXPECT_TRUE(live_.levels.enabled);
}

TEST_F(SetupDialogTest, FileTypesAreAddedWithTheirDotAndRemovedUntilCancel) {
  dialog_.FormClose();
  dialog_.FormShow();
  EXPECT_TRUE(dialog_.BitBtn1Click());  // the store now holds the list
  port_.ExpectError("You must first enter a file type to add.");
  dialog_.BitBtn6Click();
  live_.typetoadd = "PHP";
  dialog_.BitBtn6Click();
  EXPECT_EQ(live_.filetypes.back(), ".PHP");
  live_.typetoadd = ".php";
  port_.ExpectError("Extension \".php\" has already been added to the list.");
  dialog_.BitBtn6Click();
  live_.typetoadd = "htm";
  port_.ExpectError("Extension \".htm\" has already been added to the list.");
  dialog_.BitBtn6Click();
  EXPECT_EQ(live_.typetoadd, "htm");

  port_.ExpectError("You must first select a file type to remove.");
  dialog_.BitBtn7Click();
  live_.filetypesselected = 0;
  dialog_.BitBtn7Click();
  EXPECT_EQ(live_.filetypes.front(), ".html");
  dialog_.BitBtn3Click();  // Cancel
  dialog_.FormClose();
  // ".htm" is back (at the end, as the reload adds it); the extension added stays
  // until the program ends.
  EXPECT_EQ(live_.filetypes, (std::vector<std::string>{".html", ".shtml", ".shtm", ".txt", ".asp",
                                                       ".stm", ".PHP", ".htm"}));
}

TEST_F(SetupDialogTest, ClearingAHistoryWritesItAtOnce) {
  store_.WriteList(kHistorySection, {"http://a/", "http://b/"});
  store_.WriteList(kQueryHistorySection, {"x"});
  dialog_.FormClose();
  search_.querysearch.text = "typed";
  port_.ExpectInformation("Query History has been cleared.");
  dialog_.BitBtn5Click();
  EXPECT_EQ(search_.querysearch.text, "");
  EXPECT_TRUE(search_.querysearch.items.empty());
  EXPECT_EQ(store_.Read(kQueryHistorySection, "Count"), "0");
  EXPECT_EQ(search_.URL.items.size(), 2u);
  port_.ExpectInformation("URL History has been cleared.");
  dialog_.BitBtn12Click();
  EXPECT_TRUE(search_.URL.items.empty());
  EXPECT_EQ(search_.URL.text, "");
  EXPECT_EQ(store_.Read(kHistorySection, "Count"), "0");
}

TEST_F(SetupDialogTest, AChosenColourReachesTheStoreOnlyThroughOk) {
  store_.Write(kDefaultsSection, "HighlightColor", "clBlue");
  dialog_.FormClose();
  port_.ExpectColor(Rgb{0x10, 0x20, 0x30});
  dialog_.BitBtn4Click();
  EXPECT_EQ(port_.prompts().back().initial_color, (Rgb{0, 0, 0xFF}));
  EXPECT_EQ(live_.highlightcolor, (Rgb{0x10, 0x20, 0x30}));
  dialog_.BitBtn3Click();
  EXPECT_EQ(live_.highlightcolor, (Rgb{0, 0, 0xFF}));
  port_.ExpectColor(std::nullopt);
  dialog_.BitBtn4Click();
  EXPECT_EQ(live_.highlightcolor, (Rgb{0, 0, 0xFF}));
  port_.ExpectColor(Rgb{0x10, 0x20, 0x30});
  dialog_.BitBtn4Click();
  EXPECT_TRUE(dialog_.BitBtn1Click());
  EXPECT_EQ(Stored("HighlightColor"), "$00302010");
}

TEST_F(SetupDialogTest, FontsAreChosenFromTheCurrentDescriptionAndPreviewedAtEightPoints) {
  dialog_.FormClose();
  dialog_.FormShow();
  EXPECT_EQ(dialog_.activepage(), 0);
  EXPECT_EQ(dialog_.titleview(),
            (FontRecord{"Times New Roman", 8, kBlack, kFontBold | kFontUnderline}));
  EXPECT_EQ(dialog_.bodyview(), (FontRecord{"Times New Roman", 8, Rgb{0, 0, 0xFF}, 0}));

  port_.ExpectFont(FontRecord{"Arial", 14, Rgb{0, 0x80, 0}, kFontItalic});
  dialog_.BitBtn10Click();
  EXPECT_EQ(port_.prompts().back().initial_font, (FontRecord{"Times New Roman", 10, kRed, 0}));
  EXPECT_EQ(live_.subtitledetails, "Arial,14,Italic,Green");
  EXPECT_EQ(dialog_.subtitleview(), (FontRecord{"Arial", 8, Rgb{0, 0x80, 0}, kFontItalic}));

  port_.ExpectFont(std::nullopt);
  dialog_.BitBtn9Click();
  EXPECT_EQ(live_.titledetails, "Times New Roman,12,Bold,Black,Underline");

  // An unreadable description stops the previews where it stands.
  live_.titledetails = "Courier,9,Purple";
  live_.subtitledetails = "Arial,big,Red";
  EXPECT_THROW(dialog_.fontpreview(), EFontDescriptionError);
  EXPECT_EQ(dialog_.titleview(), (FontRecord{"Courier", 8, Rgb{0x80, 0, 0x80}, 0}));
  EXPECT_EQ(dialog_.subtitleview(), (FontRecord{"Arial", 8, Rgb{0, 0x80, 0}, kFontItalic}));
  EXPECT_THROW(dialog_.BitBtn10Click(), EFontDescriptionError);  // before the font dialog
}

}  // namespace
}  // namespace ferrowyn
