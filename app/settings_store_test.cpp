// The settings file format and the store on top of QSettings: values come back
// exactly as written, whatever INI would make of them.
#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/settings_file_format.h"

namespace ferrowyn {
namespace {

TEST(SettingsFileFormatTest, WritesReadableLinesAndEscapesOnlyWhatItMust) {
  const std::vector<SettingsEntry> entries{
      {"Defaults", "Title Font", "Times New Roman,12,Bold,Black,Underline"},
      {"File Types", "Count", "1"},
      {"Defaults", "Agent", "Mozilla/4.0 (compatible; MSIE 4.0; Windows 95)"},
      {"Odd", "a=b", "C:\\data\\ \"quoted\" \n"},
      {"", "Loose", " lead"},
  };
  const std::string text = FormatSettingsText(entries);
  EXPECT_EQ(text,
            "Loose= lead\n"
            "\n[Defaults]\n"
            "Title Font=Times New Roman,12,Bold,Black,Underline\n"
            "Agent=Mozilla/4.0 (compatible; MSIE 4.0; Windows 95)\n"
            "\n[File Types]\n"
            "Count=1\n"
            "\n[Odd]\n"
            "a\\=b=C:\\\\data\\\\ \"quoted\" \\n\n");
  std::vector<SettingsEntry> grouped{entries[4], entries[0], entries[2], entries[1], entries[3]};
  EXPECT_EQ(ParseSettingsText(text), grouped);
}

TEST(SettingsFileFormatTest, AwkwardNamesAndValuesRoundTrip) {
  std::string every_byte;
  for (int c = 1; c < 256; ++c) every_byte += static_cast<char>(c);
  const std::vector<SettingsEntry> entries{
      {"[Sec]tion\\", ";name=[x]", every_byte},
      {"S", "#hash", "trail \t\r"},
      {"S", "empty", ""},
      {"S", "", "no name"},
  };
  EXPECT_EQ(ParseSettingsText(FormatSettingsText(entries)), entries);
}

TEST(SettingsFileFormatTest, ReadsHandWrittenTextLeniently) {
  const std::string text =
      "\xEF\xBB\xBF; comment\r\n"
      "[Defaults]\r\n"
      "garbage line\r\n"
      "# another comment\n"
      "Path=C:\\dir\\x41\\q\n"
      "[unclosed\n"
      "Proxy=On\n"
      "Dup=1\n"
      "Dup=2";
  EXPECT_EQ(ParseSettingsText(text), (std::vector<SettingsEntry>{
                                         {"Defaults", "Path", "C:\\dirA\\q"},
                                         {"Defaults", "Proxy", "On"},
                                         {"Defaults", "Dup", "1"},
                                         {"Defaults", "Dup", "2"},
                                     }));
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  std::string Path() const { return dir_.filePath("Ferrowyn.ini").toStdString(); }
  std::string FileText() const {
    QFile file(QString::fromStdString(Path()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll().toStdString();
  }
  QTemporaryDir dir_;
};

TEST_F(SettingsStoreTest, ValuesReadBackExactlyAsWritten) {
  const std::vector<std::string> values{"Times New Roman,12,Bold,Black,Underline",
                                        "a, b,,c",
                                        "\"quoted\"",
                                        " lead",
                                        "trail ",
                                        "x\\y",
                                        "100%",
                                        "@Variant(x)",
                                        "caf\xE9 \xFF",
                                        "",
                                        "line\nbreak"};
  const SettingsStore store(Path());
  {
    SettingsStore::Session session = store.Open();
    for (size_t i = 0; i < values.size(); ++i)
      session.Write("Defaults", "v" + std::to_string(i), values[i]);
    session.Close();
  }
  const SettingsStore again(Path());
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(again.Read("Defaults", "v" + std::to_string(i)), values[i]) << i;
  }
  EXPECT_NE(FileText().find("\nv0=Times New Roman,12,Bold,Black,Underline\n"), std::string::npos);
  EXPECT_NE(FileText().find("\nv8=caf\xC3\xA9 \xC3\xBF\n"), std::string::npos);  // UTF-8 on disk
  EXPECT_EQ(again.Read("Defaults", "missing"), std::nullopt);
  EXPECT_EQ(again.Read("Nowhere", "v0"), std::nullopt);
}

// The same in the file and in memory.
void CheckIntegersAndLists(const SettingsStore& store) {
  store.WriteInteger("Position", "Top", -12);
  store.Write("Position", "Left", "12px");
  EXPECT_EQ(store.ReadInteger("Position", "Top"), -12);
  EXPECT_EQ(store.ReadInteger("Position", "Left"), std::nullopt);
  EXPECT_EQ(store.Read("Position", "Top"), "-12");

  store.WriteList("History", {"http://a/", "http://b/", "http://c/"});
  EXPECT_EQ(store.ReadList("History"),
            (std::vector<std::string>{"http://a/", "http://b/", "http://c/"}));
  // A list that shrinks leaves its old items behind, unread.
  store.WriteList("History", {"http://z/"});
  EXPECT_EQ(store.ReadList("History"), (std::vector<std::string>{"http://z/"}));
  EXPECT_EQ(store.Read("History", "2"), "http://c/");

  // Missing items are left out; a huge "Count" costs nothing; a bad one counts 0.
  store.Write("History", "Count", "2000000000");
  store.Write("History", "07", "not an item");
  store.Write("History", "5", "five");
  EXPECT_EQ(store.ReadList("History"),
            (std::vector<std::string>{"http://z/", "http://b/", "http://c/", "five"}));
  store.Write("History", "Count", "-3");
  EXPECT_TRUE(store.ReadList("History").empty());
  store.Write("History", "Count", "two");
  EXPECT_TRUE(store.ReadList("History").empty());
}

TEST_F(SettingsStoreTest, IntegersAndListsFollowTheirTextForms) {
  CheckIntegersAndLists(SettingsStore(Path()));
  const SettingsStore memory = SettingsStore::InMemory();
  CheckIntegersAndLists(memory);
  // Copies of a store in memory share it; another one starts empty.
  const SettingsStore copy = memory;
  copy.Write("Defaults", "Proxy", "On");
  EXPECT_EQ(memory.Read("Defaults", "Proxy"), "On");
  EXPECT_EQ(SettingsStore::InMemory().Read("Defaults", "Proxy"), std::nullopt);
}

TEST_F(SettingsStoreTest, RefusedWriteRaises) {
  QFile blocker(dir_.filePath("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const SettingsStore store(dir_.filePath("blocker/Ferrowyn.ini").toStdString());
  EXPECT_THROW(store.Write("Defaults", "Proxy", "On"), ESettingsError);
  EXPECT_EQ(store.Read("Defaults", "Missing"), std::nullopt);
}

TEST(SettingsStoreLocationTest, PerUserStoreIsTheIniFileOfCastrelFerrowyn) {
  const std::string location = SettingsStore().Location();
  EXPECT_EQ(location.substr(location.size() - std::string("/Castrel/Ferrowyn.ini").size()),
            "/Castrel/Ferrowyn.ini");
}

}  // namespace
}  // namespace ferrowyn
