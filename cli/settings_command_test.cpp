// "ferrowyn-cli settings" run as a process against a settings file in a
// temporary $XDG_CONFIG_HOME.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/support/process_runner.h"

namespace {

using ferrowyn::testing::ProcessResult;

class SettingsCommandTest : public ::testing::Test {
 protected:
  ProcessResult Cli(const QStringList& args) {
    QProcessEnvironment environment;
    environment.insert("XDG_CONFIG_HOME", config_.path());
    return ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, QStringList{"settings"} + args, {},
                                         environment);
  }
  void WriteFile(const std::string& text) {
    QDir().mkpath(config_.filePath("Castrel"));
    QFile file(config_.filePath("Castrel/Ferrowyn.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
  }
  std::string FileText() {
    QFile file(config_.filePath("Castrel/Ferrowyn.ini"));
    if (!file.open(QIODevice::ReadOnly)) return "";
    return file.readAll().toStdString();
  }
  QTemporaryDir config_;
};

TEST_F(SettingsCommandTest, AnEmptyStoreShowsEveryDefaultInTableOrder) {
  const ProcessResult result = Cli({});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "Generations=3\nRestrictLevelDeepCheck=Off\nMegRestriction=1000\n"
            "MegRestrictionCheck=Off\nFileRestriction=500\nRestrictNumberOfFilesCheck=Off\n"
            "Mail Address=Off\nUserPass=Off\nSearch Type=None\nDispDate=On\nDispName=On\n"
            "Title Font=Times New Roman,12,Bold,Black,Underline\n"
            "SubTitle Font=Times New Roman,10,Red\nBody Font=Times New Roman,9,Blue\n"
            "Proxy=Off\nProxy Server=\nProxy Port=\nProxyUserName=\nProxyPassword=\n"
            "HTTP Timeout=30\nSlow Timeout=60\nIgnoreCGIScript=Off\nHighlightColor=clRed\n"
            "SearchWithinAllCheck=Off\nSearchWithinCommentsCheck=Off\n"
            "SearchWithinTitlesCheck=Off\nHighGraph=Off\nHighText=Off\nAgent=Ferrowyn!\n"
            "InternalCacheBar=5\nSearchBar=4\nQueryBar=4\nHints=TRUE\nShowFirst=Off\n"
            "Allow HTTPS=Off\n"
            "File Types=.htm,.html,.shtml,.shtm,.txt,.asp,.stm\nHistory=\nQueryHistory=\n");
  EXPECT_EQ(FileText(), "");  // showing writes nothing
}

TEST_F(SettingsCommandTest, ShowsStoredValuesVerbatimAndHidesThePassword) {
  WriteFile(
      "[Defaults]\n"
      "Agent=Mozilla/4.0 (compatible; MSIE 4.0; Windows 95)\n"
      "Proxy=On\nProxy Server=proxy.example\nProxyPassword=2AE92EFF1516EF\n"
      "SearchBar=9\n"
      "[File Types]\nCount=2\n0=.php\n1=.HTM\n"
      "[History]\nCount=2\n0=http://a.example/\n1=http://b.example/\n"
      "[QueryHistory]\nCount=1\n0=\"exact phrase\", more\n");
  const ProcessResult result = Cli({});
  EXPECT_EQ(result.status, 0);
  for (const char* line :
       {"\nAgent=Mozilla/4.0 (compatible; MSIE 4.0; Windows 95)\n", "\nProxy=On\n",
        "\nProxy Server=proxy.example\n", "\nProxy Port=80\n", "\nProxyPassword=******\n",
        "\nSearchBar=4\n", "\nFile Types=.htm,.html,.shtml,.shtm,.txt,.asp,.stm,.php\n",
        "\nHistory=http://a.example/ | http://b.example/\n",
        "\nQueryHistory=\"exact phrase\", more\n"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line;
  }
}

TEST_F(SettingsCommandTest, SetRunsOkAndShowReflectsIt) {
  ProcessResult result =
      Cli({"set", "Search Type=Directory", "RestrictLevelDeepCheck=On", "Generations=6", "Proxy=On",
           "Proxy Server=proxy.example", "Proxy Port=3128", "ProxyPassword=hunter2",
           "HighlightColor=$00FF8000", "SearchBar=2", "Hints=FALSE"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const std::string file = FileText();
  EXPECT_NE(file.find("\nSearch Type=Directory\n"), std::string::npos);
  EXPECT_EQ(file.find("hunter2"), std::string::npos);
  result = Cli({});
  EXPECT_EQ(result.out.rfind("Generations=6\n", 0), 0u);
  for (const char* line : {"\nRestrictLevelDeepCheck=On\n", "\nSearch Type=Directory\n",
                           "\nProxy Port=3128\n", "\nProxyPassword=*******\n",
                           "\nHighlightColor=$00FF8000\n", "\nSearchBar=2\n", "\nHints=FALSE\n"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line;
  }
}

TEST_F(SettingsCommandTest, AFailingCheckReportsItsMessageAfterTheEarlierWrites) {
  const ProcessResult result =
      Cli({"set", "Mail Address=On", "RestrictLevelDeepCheck=On", "Generations=0"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "0 is not a valid value for the number of levels deep. Please re-enter.\n");
  const std::string file = FileText();
  EXPECT_NE(file.find("\nMail Address=On\n"), std::string::npos);
  EXPECT_NE(file.find("[File Types]\n"), std::string::npos);
  EXPECT_EQ(file.find("Generations"), std::string::npos);
  EXPECT_EQ(file.find("RestrictLevelDeepCheck"), std::string::npos);
}

TEST_F(SettingsCommandTest, RefusesValuesNoControlCouldHold) {
  for (const QStringList& args :
       {QStringList{"set", "Proxy=yes"}, QStringList{"set", "Search Type=domain"},
        QStringList{"set", "SearchBar=5"}, QStringList{"set", "Nonsense=1"},
        QStringList{"set", "Generations"}, QStringList{"set", "HighlightColor=pink"},
        QStringList{"set", "Body Font=Arial,x,Red"}, QStringList{"show"}}) {
    const ProcessResult result = Cli(args);
    EXPECT_EQ(result.status, 2) << args.join(' ').toStdString();
    EXPECT_NE(result.err, "");
  }
  EXPECT_EQ(FileText(), "");
}

TEST_F(SettingsCommandTest, ASettingsFileThatIsNotARegularFileIsRefusedWithoutWaiting) {
  QDir().mkpath(config_.filePath("Castrel"));
  const std::string path = config_.filePath("Castrel/Ferrowyn.ini").toStdString();
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  for (const QStringList& args : {QStringList{}, QStringList{"set", "DispDate=Off"}}) {
    const ProcessResult result = Cli(args);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "The settings file \"" + path + "\" is not a regular file.\n");
    EXPECT_EQ(result.out, "");
  }
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
