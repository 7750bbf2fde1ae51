// The full settings load with its rules and fallbacks, the small writes and the
// upkeep of both histories, against a settings file in a temporary directory.
#include "app/settings_operations.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>

#include "app/quill_encryption.h"
#include "app/settings_table.h"

namespace ferrowyn {
namespace {

class SettingsLoadTest : public ::testing::Test {
 protected:
  SettingsLoadTest() : store_(dir_.filePath("Ferrowyn.ini").toStdString()) {
    scrambler_.Key = kSetupScramblerKey;
  }
  void Put(std::string_view name, std::string_view value) {
    store_.Write(kDefaultsSection, name, value);
  }
  void Load() { loadregistrydefaults(store_, programdir_, live_, search_, scrambler_); }

  QTemporaryDir dir_;
  const SettingsStore store_;
  const std::string programdir_ = dir_.filePath("program").toStdString();
  LiveSettings live_;
  SearchFields search_;
  TQuillEncryption scrambler_;
};

TEST_F(SettingsLoadTest, AnEmptyStoreLoadsEveryDefault) {
  Load();
  EXPECT_EQ(live_.levels.text, "3");
  EXPECT_FALSE(live_.restrictlevelsdeep);
  EXPECT_FALSE(live_.levels.enabled);
  EXPECT_EQ(live_.megrestriction.text, "1000");
  EXPECT_FALSE(live_.megrestriction.enabled);
  EXPECT_EQ(live_.filesrestriction.text, "500");
  EXPECT_FALSE(live_.filesrestriction.enabled);
  EXPECT_FALSE(live_.mailaddr || live_.userpass || live_.enableproxy || live_.ignorecgiscript ||
               live_.searchwithinall || live_.searchwithincomments || live_.searchwithintitles ||
               live_.highgraph || live_.hightext);
  EXPECT_EQ(live_.searchtype, SearchType::kNone);
  EXPECT_TRUE(live_.dispdate);
  EXPECT_TRUE(live_.dispname);
  EXPECT_EQ(live_.titledetails, "Times New Roman,12,Bold,Black,Underline");
  EXPECT_EQ(live_.subtitledetails, "Times New Roman,10,Red");
  EXPECT_EQ(live_.bodydetails, "Times New Roman,9,Blue");
  for (const EditField* field :
       {&live_.proxyserver, &live_.proxyport, &live_.proxyusername, &live_.proxypassword}) {
    EXPECT_EQ(field->text, "");
    EXPECT_FALSE(field->enabled);
  }
  EXPECT_EQ(live_.httptimeout.text, "30");
  EXPECT_EQ(live_.slowtimeout.text, "60");
  EXPECT_EQ(live_.highlightcolor, kRed);
  EXPECT_EQ(live_.webagentbox, "Ferrowyn!");
  EXPECT_EQ(live_.internalcachebar, 5);
  EXPECT_EQ(live_.searchbar, 4);
  EXPECT_EQ(live_.querybar, 4);
  EXPECT_TRUE(live_.hints);
  EXPECT_EQ(live_.filetypes, BuiltInFileTypes());
  EXPECT_TRUE(search_.URL.items.empty());
  EXPECT_TRUE(search_.querysearch.items.empty());
  EXPECT_TRUE(loadregistryfirst(store_));
  EXPECT_EQ(live_.datadir, programdir_ + "/data/");
  EXPECT_TRUE(std::filesystem::is_directory(live_.datadir));
}

TEST_F(SettingsLoadTest, NumbersStayAsStoredUnlessUnreadableTrackBarsAlsoNeedTheirRange) {
  Put("Generations", "0");
  Put("MegRestriction", "-5");
  Put("FileRestriction", "12 ");
  Put("HTTP Timeout", "x");
  Put("Slow Timeout", "");
  Put("InternalCacheBar", "0");
  Put("SearchBar", "7");
  Put("QueryBar", "2");
  Load();
  EXPECT_EQ(live_.levels.text, "0");
  EXPECT_EQ(live_.megrestriction.text, "-5");
  EXPECT_EQ(live_.filesrestriction.text, "500");
  EXPECT_EQ(live_.httptimeout.text, "30");
  EXPECT_EQ(live_.slowtimeout.text, "60");
  EXPECT_EQ(live_.internalcachebar, 0);
  EXPECT_EQ(live_.searchbar, 4);
  EXPECT_EQ(live_.querybar, 2);
  Put("InternalCacheBar", "11");
  Put("SearchBar", "0");
  Put("QueryBar", "four");
  Load();
  EXPECT_EQ(live_.internalcachebar, 5);
  EXPECT_EQ(live_.searchbar, 4);
  EXPECT_EQ(live_.querybar, 4);
}

TEST_F(SettingsLoadTest, SwitchesAndScopeCompareExactly) {
  Put("RestrictLevelDeepCheck", "On");
  Put("MegRestrictionCheck", "on");
  Put("RestrictNumberOfFilesCheck", "ON");
  Put("Mail Address", "On ");
  Put("HighText", "On");
  Put("Search Type", "domain");
  Load();
  EXPECT_TRUE(live_.restrictlevelsdeep);
  EXPECT_TRUE(live_.levels.enabled);
  EXPECT_FALSE(live_.restrictdownloadsize);
  EXPECT_FALSE(live_.restrictnumberoffiles);
  EXPECT_FALSE(live_.mailaddr);
  EXPECT_TRUE(live_.hightext);
  EXPECT_EQ(live_.searchtype, SearchType::kNone);
  for (auto [text, type] : {std::pair{"Domain", SearchType::kDomain},
                            {"Directory", SearchType::kDirectory},
                            {"Server", SearchType::kServer},
                            {"Filter", SearchType::kFilter},
                            {"None", SearchType::kNone}}) {
    Put("Search Type", text);
    Load();
    EXPECT_EQ(live_.searchtype, type) << text;
  }
}

TEST_F(SettingsLoadTest, DisplaySwitchesOnlyEverCheckAndEmptyFontsAreMissing) {
  Put("DispDate", "Off");
  Put("DispName", "off");
  Put("Title Font", "");
  Put("Body Font", "Arial,9,Green");
  live_.dispname = true;
  Load();
  EXPECT_FALSE(live_.dispdate);  // unchecked when the program starts, left so
  EXPECT_TRUE(live_.dispname);   // left as it was
  EXPECT_EQ(live_.titledetails, "Times New Roman,12,Bold,Black,Underline");
  EXPECT_EQ(live_.bodydetails, "Arial,9,Green");
}

TEST_F(SettingsLoadTest, ASwitchedOffProxyLoadsNothingAndEmptiesItsFields) {
  Put("Proxy", "Off");
  Put("Proxy Server", "proxy.example");
  Put("Proxy Port", "8080");
  Put("ProxyUserName", "me");
  live_.proxyserver = {"typed", true};
  live_.proxypassword = {"typed", true};
  Load();
  for (const EditField* field :
       {&live_.proxyserver, &live_.proxyport, &live_.proxyusername, &live_.proxypassword}) {
    EXPECT_EQ(field->text, "");
    EXPECT_FALSE(field->enabled);
  }
}

TEST_F(SettingsLoadTest, ASwitchedOnProxyLoadsItsFieldsAndUnscramblesThePassword) {
  TQuillEncryption scramble([] { return 0x2A; });
  scramble.Key = kSetupScramblerKey;
  scramble.Input = "secret";
  scramble.Execute();
  Put("Proxy", "On");
  Put("Proxy Server", "proxy.example");
  Put("Proxy Port", "port");
  Put("ProxyUserName", "");
  Put("ProxyPassword", scramble.Output);
  live_.proxyusername.text = "kept";
  Load();
  EXPECT_TRUE(live_.enableproxy);
  EXPECT_EQ(live_.proxyserver.text, "proxy.example");
  EXPECT_EQ(live_.proxyport.text, "80");
  EXPECT_EQ(live_.proxyusername.text, "kept");
  EXPECT_EQ(live_.proxypassword.text, "secret");
  EXPECT_TRUE(live_.proxyserver.enabled && live_.proxyport.enabled && live_.proxyusername.enabled &&
              live_.proxypassword.enabled);
}

TEST_F(SettingsLoadTest, APasswordThatIsNotHexadecimalAbandonsTheLoadThere) {
  Put("Proxy", "On");
  Put("Proxy Server", "proxy.example");
  Put("ProxyPassword", "not hex");
  Put("HTTP Timeout", "90");
  Put("Hints", "FALSE");
  live_.httptimeout.text = "held";
  EXPECT_THROW(Load(), EQuillError);
  EXPECT_EQ(live_.proxyserver.text, "proxy.example");
  EXPECT_EQ(live_.httptimeout.text, "held");
  EXPECT_TRUE(live_.hints);
}

TEST_F(SettingsLoadTest, FileTypesAreAddedNeverRemoved) {
  store_.WriteList(kFileTypesSection, {".htm", ".php", ".HTML", ".cfm"});
  live_.filetypes.push_back(".jsp");  // added while the program runs
  Load();
  EXPECT_EQ(live_.filetypes, (std::vector<std::string>{".htm", ".html", ".shtml", ".shtm", ".txt",
                                                       ".asp", ".stm", ".jsp", ".php", ".cfm"}));
  store_.Write(kFileTypesSection, "Count", "lots");
  LiveSettings fresh;
  loadregistrydefaults(store_, programdir_, fresh, search_, scrambler_);
  EXPECT_EQ(fresh.filetypes, BuiltInFileTypes());
}

TEST_F(SettingsLoadTest, HistoriesReloadKeepingTheFieldTexts) {
  store_.WriteList(kHistorySection, {"http://a/", "", "http://b/"});
  store_.WriteList(kQueryHistorySection, {"one", "two"});
  search_.URL = {"http://typed/", {"stale"}};
  search_.querysearch = {"  keywords \t", {"stale"}};
  Load();
  EXPECT_EQ(search_.URL.text, "http://typed/");
  EXPECT_EQ(search_.URL.items, (std::vector<std::string>{"http://a/", "http://b/"}));
  EXPECT_EQ(search_.querysearch.text, "keywords");
  EXPECT_EQ(search_.querysearch.items, (std::vector<std::string>{"one", "two"}));
}

TEST_F(SettingsLoadTest, HighlightColourFallsBackToRed) {
  for (auto [text, color] : {std::pair{"$00563412", Rgb{0x12, 0x34, 0x56}},
                             {"clblue", Rgb{0, 0, 0xFF}},
                             {"garbage", kRed},
                             {"", kRed}}) {
    Put("HighlightColor", text);
    live_.highlightcolor = kBlack;
    Load();
    EXPECT_EQ(live_.highlightcolor, color) << text;
  }
}

TEST_F(SettingsLoadTest, HintsAndTheWizardSwitchReadAndWriteTheirTexts) {
  Put("Hints", "true");
  Load();
  EXPECT_FALSE(live_.hints);
  EnableHints1Click(store_, live_);
  EXPECT_TRUE(live_.hints);
  EXPECT_EQ(store_.Read(kDefaultsSection, "Hints"), "TRUE");
  EnableHints1Click(store_, live_);
  EXPECT_EQ(store_.Read(kDefaultsSection, "Hints"), "FALSE");

  Put("ShowFirst", "on");
  EXPECT_TRUE(loadregistryfirst(store_));
  saveregistryfirst(store_, true);
  EXPECT_EQ(store_.Read(kDefaultsSection, "ShowFirst"), "On");
  EXPECT_FALSE(loadregistryfirst(store_));
  saveregistryfirst(store_, false);
  EXPECT_EQ(store_.Read(kDefaultsSection, "ShowFirst"), "Off");
  EXPECT_TRUE(loadregistryfirst(store_));
}

std::vector<std::string> Numbered(const std::string& prefix, int count) {
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) items.push_back(prefix + std::to_string(i));
  return items;
}

TEST_F(SettingsLoadTest, KeywordHistoryInsertsNewTextsOnlyAndDropsTheOldestWhenFull) {
  HistoryField& field = search_.querysearch;
  field.items = Numbered("Word", 10);
  store_.WriteList(kQueryHistorySection, field.items);
  AddKeywordHistory(store_, field, "WORD3");
  EXPECT_EQ(field.items, Numbered("Word", 9));
  EXPECT_EQ(store_.ReadList(kQueryHistorySection).size(), 10u);

  AddKeywordHistory(store_, field, "fresh");
  EXPECT_EQ(field.items.size(), 10u);
  EXPECT_EQ(field.items.front(), "fresh");
  EXPECT_EQ(store_.ReadList(kQueryHistorySection), field.items);
}

TEST_F(SettingsLoadTest, UrlHistoryIgnoresATrailingSlashAndCase) {
  HistoryField& field = search_.URL;
  AddUrlHistory(store_, field, "  http://a.example/dir/ ");
  EXPECT_EQ(field.items, (std::vector<std::string>{"http://a.example/dir/"}));
  AddUrlHistory(store_, field, "HTTP://A.example/dir");
  AddUrlHistory(store_, field, "http://a.example/dir/");
  EXPECT_EQ(field.items.size(), 1u);
  AddUrlHistory(store_, field, "http://b.example");
  AddUrlHistory(store_, field, "http://b.example/");
  EXPECT_EQ(store_.ReadList(kHistorySection),
            (std::vector<std::string>{"http://b.example", "http://a.example/dir/"}));

  field.items = Numbered("http://h", 10);
  AddUrlHistory(store_, field, "http://new");
  EXPECT_EQ(field.items.size(), 10u);
  EXPECT_EQ(field.items.front(), "http://new");
  EXPECT_EQ(field.items.back(), "http://h8");
}

TEST_F(SettingsLoadTest, WindowPositionSkipsWhatIsMissing) {
  EXPECT_EQ(ReadWindowPosition(store_).top, std::nullopt);
  WriteWindowPosition(store_, 10, -20, 800, 600);
  store_.Write(kPositionSection, "Height", "tall");
  const WindowPosition position = ReadWindowPosition(store_);
  EXPECT_EQ(position.top, 10);
  EXPECT_EQ(position.left, -20);
  EXPECT_EQ(position.width, 800);
  EXPECT_EQ(position.height, std::nullopt);
}

}  // namespace
}  // namespace ferrowyn
