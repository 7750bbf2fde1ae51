// "ferrowyn-cli report" run as a process over query files made here: what it prints, the
// reading rules it shares with opening a query, and its failures.
#include <gtest/gtest.h>

#include <QProcessEnvironment>
#include <QStringList>
#include <string>
#include <vector>

#include "tests/support/process_runner.h"
#include "tests/support/qdb_test_files.h"

namespace {

using ferrowyn::testing::ProcessResult;
using ferrowyn::testing::ReadFileBytes;
using ferrowyn::testing::ScratchDir;
using ferrowyn::testing::WriteFileBytes;

constexpr char kRule[] = "----------------------------------------------------\r\n";

class ReportCommandTest : public ::testing::Test {
 protected:
  ProcessResult Report(const QStringList& args) {
    return ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, QStringList{"report"} + args);
  }
  QString File(const std::string& name) { return QString::fromStdString(dir_.File(name)); }

  ScratchDir dir_;
};

TEST_F(ReportCommandTest, PrintsTheSearchOptionsAndRows) {
  const std::string bytes = std::string("Ferrowyn! Query Report\r\nSite: cats.fwb\r\n") +
                            "Date/Time: 12/9/26 11:31:23 AM\r\nSearch: cat \"big dog\"\r\n" +
                            "Type: ANY\r\nWord: OFF\r\nCaseSensitive: ON\r\n" + kRule +
                            "URL: http://www.example.com/a b.htm\r\nHits: 3\r\n" +
                            "Instances: cat | big dog\r\n" + kRule +
                            "URL: http://www.example.com/\r\nHits: 1\r\nInstances: cat\r\n" + kRule;
  WriteFileBytes(dir_.File("cats.fwq"), bytes);
  // Typed without the extension, as the open dialog allows.
  const ProcessResult result = Report({File("cats")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "Site: cats.fwb\n"
            "Date/Time: 12/9/26 11:31:23 AM\n"
            "Search: cat \"big dog\"\n"
            "Type: ANY\n"
            "Word: OFF\n"
            "CaseSensitive: ON\n"
            "http://www.example.com/a b.htm\t3\tcat | big dog\n"
            "http://www.example.com/\t1\tcat\n");
  EXPECT_EQ(result.err, "Query \"cats.fwq\" has been loaded.\n");
  EXPECT_EQ(ReadFileBytes(dir_.File("cats.fwq")), bytes);  // read only
}

TEST_F(ReportCommandTest, SmallAnyMeansAllAndMissingOptionsReadAsAtStartUp) {
  WriteFileBytes(dir_.File("dogs.fwq"),
                 "Site: dogs.fwb\nSearch: bark\nType: any\nURL: http://d/\nHits: 2\n"
                 "Instances: All\nURL: http://cut/\nHits: 1\nInstances: All\n");
  const ProcessResult result = Report({File("dogs.fwq")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "Site: dogs.fwb\nSearch: bark\nType: ALL\nWord: OFF\nCaseSensitive: OFF\n"
            "http://d/\t2\tAll\n");
  EXPECT_EQ(result.err, "Query \"dogs.fwq\" has been loaded.\n");
}

TEST_F(ReportCommandTest, IncompleteFilePrintsItsRowsAndFails) {
  WriteFileBytes(dir_.File("bare.fwq"), "Site: x.fwb\r\nURL: u\r\nHits: 1\r\nInstances: All\r\n-");
  const ProcessResult result = Report({File("bare.fwq")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "Site: x.fwb\nSearch: \nType: ANY\nWord: OFF\nCaseSensitive: OFF\nu\t1\tAll\n");
  EXPECT_EQ(result.err, "There was an error loading the query.\n");
}

TEST_F(ReportCommandTest, PdfReportReadsBackWithEveryUrlInOrder) {
  std::string bytes = std::string("Site: tides.fwb\r\nSearch: tide\r\nType: ANY\r\n") +
                      "Word: OFF\r\nCaseSensitive: OFF\r\n" + kRule;
  std::vector<std::string> urls;
  for (int i = 0; i < 200; ++i) {
    urls.push_back("http://www.example.com/tides/" + std::to_string(i) + ".htm");
    bytes += "URL: " + urls.back() + "\r\nHits: 1\r\nInstances: tide\r\n" + kRule;
  }
  WriteFileBytes(dir_.File("tides.fwq"), bytes);
  QProcessEnvironment env;
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir_.File("config")));
  const ProcessResult result = ferrowyn::testing::RunProcess(
      FERROWYN_CLI_PATH, {"report", File("tides.fwq"), "--pdf", File("tides.pdf")}, {}, env);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "");

  const ProcessResult text =
      ferrowyn::testing::RunProcess("pdftotext", {"-layout", File("tides.pdf"), "-"});
  ASSERT_EQ(text.status, 0) << "pdftotext (poppler-utils) is needed: " << text.err;
  EXPECT_EQ(text.out.rfind("Ferrowyn! Query Report\nQuery Name: tides.fwb\nDate/Time: ", 0), 0u)
      << text.out.substr(0, 200);
  size_t at = text.out.find("URL");
  ASSERT_NE(at, std::string::npos);
  for (const std::string& url : urls) {
    // Each URL once, after the one before it, as a whole word.
    const size_t found = text.out.find(url + " ", at);
    ASSERT_NE(found, std::string::npos) << url;
    at = found + url.size();
  }
}

TEST_F(ReportCommandTest, MissingFileAndBadArguments) {
  ProcessResult result = Report({File("none")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "Cannot open file \"" + dir_.File("none.fwq") + "\". No such file or directory\n");

  for (const QStringList& args : {QStringList{}, QStringList{"a", "b"}, QStringList{"--x"}}) {
    result = Report(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.rfind("usage:\n  report FILE", 0), 0u) << result.err;
  }
}

}  // namespace
