// "ferrowyn-cli show" run as a process over a site file made here: both renderings, the
// caption, highlighting as the settings say, the messages, and that the file stays as it was.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

#include "store/record_store.h"
#include "store/site_layout.h"
#include "tests/support/process_runner.h"
#include "tests/support/qdb_test_files.h"

namespace {

using ferrowyn::DisplayKey;
using ferrowyn::TQDB;
using ferrowyn::testing::ProcessResult;
using ferrowyn::testing::ReadFileBytes;
using ferrowyn::testing::ScratchDir;

constexpr char kUrl[] = "http://www.example.com/cats.htm";
constexpr char kEntities[] = "http://www.example.com/entities.htm";
constexpr char kBlue[] = "<font color=\"#0000FF\"><b>";

class ShowCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TQDB::SetTempDirectory(work_.path());
    TQDB QDB;
    QDB.SetCompression(true);
    QDB.SetFileName(site_);
    QDB.AddItem("<html><title>Big cat</title><body>A cat sat<br>Concat, Cat</body></html>",
                DisplayKey(kUrl));
    QDB.AddItem("plain text page", DisplayKey("http://www.example.com/notes.txt"));
    QDB.AddItem("<html><body>Caf&eacute; &amp; cat&#233;<p>one two three four five</body></html>",
                DisplayKey(kEntities));
    QDB.SetFileName("");
    TQDB::SetTempDirectory("");
    bytes_ = ReadFileBytes(site_);
  }
  void TearDown() override {
    EXPECT_EQ(ReadFileBytes(site_), bytes_);  // showing never writes the site file
    EXPECT_TRUE(temp_.List().empty());        // nor leaves working files behind
  }

  void WriteSettings(const std::string& text) {
    QDir().mkpath(config_.filePath("Castrel"));
    QFile file(config_.filePath("Castrel/Ferrowyn.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
  }
  ProcessResult Show(const QStringList& args, const QString& columns = "80") {
    QProcessEnvironment environment;
    environment.insert("COLUMNS", columns);
    environment.insert("LC_ALL", "C.UTF-8");
    environment.insert("XDG_CONFIG_HOME", config_.path());
    environment.insert("TMPDIR", QString::fromStdString(temp_.path()));
    return ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, QStringList{"show"} + args, {},
                                         environment);
  }

  ScratchDir work_;
  ScratchDir temp_;
  QTemporaryDir config_;
  std::string site_ = work_.File("cats.fwb");
  QString site() const { return QString::fromStdString(site_); }
  std::string bytes_;
};

TEST_F(ShowCommandTest, PageFromThePageList) {
  ProcessResult result = Show({site(), kUrl});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "A cat sat<br>\nConcat, Cat<p>\n\n");
  EXPECT_EQ(result.err, "Caption: Big cat\n");

  // Stored keys compare regardless of case.
  result = Show({site(), "HTTP://WWW.EXAMPLE.COM/CATS.HTM", "--html"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, " <html><title></title><body>A cat sat<br>Concat, Cat</body></html>\n");
  EXPECT_EQ(result.err, "Caption: Big cat\n");
}

TEST_F(ShowCommandTest, PageWithoutTitle) {
  // A page that is not HTML: its line follows a break, which the text-only rendering drops.
  const ProcessResult result = Show({site(), "http://www.example.com/notes.txt"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "plain text page\n");
  EXPECT_EQ(result.err, "Caption: Untitled\n");
}

TEST_F(ShowCommandTest, QueryResultMarkedAsTheSettingsSay) {
  WriteSettings("[Defaults]\nHighGraph=On\nHighText=Off\nHighlightColor=clBlue\n");
  const std::string cat = std::string(kBlue) + "cat</b></font>";
  const std::string big = std::string(kBlue) + "Cat</b></font>";
  ProcessResult result = Show({site(), kUrl, "--keywords", "cat", "--html"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, " <html><title></title><body>A " + cat + " sat<br>Con" + cat + ", " + big +
                            "</body></html>\n");
  EXPECT_EQ(result.err, "Caption: Big cat\n");
  result = Show({site(), kUrl, "--keywords", "cat"});
  EXPECT_EQ(result.out, "A cat sat<br>\nConcat, Cat<p>\n\n");

  WriteSettings("[Defaults]\nHighGraph=Off\nHighText=On\nHighlightColor=clBlue\n");
  result = Show({site(), kUrl, "--keywords", "cat", "--word", "--case"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "A " + cat + " sat<br>\nConcat, Cat<p>\n\n");
  result = Show({site(), kUrl, "--keywords", "cat", "--html"});
  EXPECT_EQ(result.out, " <html><title></title><body>A cat sat<br>Concat, Cat</body></html>\n");
}

TEST_F(ShowCommandTest, PlainTextForATerminal) {
  ProcessResult result = Show({site(), kEntities, "--plain"}, "12");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Caf\u00e9 & cat\u00e9\none two\nthree four\nfive\n\n");
  EXPECT_EQ(result.err, "Caption: Untitled\n");
  // Not a terminal: the hits are not marked, nor is their markup shown.
  WriteSettings("[Defaults]\nHighText=Off\n");
  result = Show({site(), kUrl, "--keywords", "cat", "--plain"});
  EXPECT_EQ(result.out, "A cat sat\nConcat, Cat\n\n");
  EXPECT_EQ(Show({site(), kUrl, "--plain", "--html"}).status, 2);
}

TEST_F(ShowCommandTest, MessagesAndWrongArguments) {
  ProcessResult result = Show({site(), "http://www.example.com/dogs.htm"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "This page could not be found in the current Ferrowyn! site.\n");
  result = Show({site(), "http://www.example.com/dogs.htm", "--keywords", "dog"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "This page could not be found in the current Ferrowyn! site.\n");

  const std::string missing = work_.File("missing.fwb");
  result = Show({QString::fromStdString(missing), kUrl});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Could not find the file " + missing + "\n");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(missing)));

  for (const QStringList& args :
       {QStringList{}, QStringList{site()}, QStringList{site(), kUrl, "extra"},
        QStringList{site(), kUrl, "--keywords"}, QStringList{site(), kUrl, "--word"},
        QStringList{site(), kUrl, "--case"}, QStringList{site(), kUrl, "--text"}}) {
    result = Show(args);
    EXPECT_EQ(result.status, 2) << args.join(' ').toStdString();
    EXPECT_EQ(result.out, "");
  }
}

}  // namespace
