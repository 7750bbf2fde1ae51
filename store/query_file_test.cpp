// Query file lines: the exact bytes written, the reading rules (exact prefixes, records
// of three lines plus one after, the text after the first blank), the file name rule,
// and writing and reading files.
#include "store/query_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/qdb_test_files.h"

namespace ferrowyn {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::WriteFileBytes;
using Rows = std::vector<QueryResultRow>;

constexpr char kRule[] = "----------------------------------------------------\r\n";

QueryReport CatsReport() {
  QueryReport report;
  report.sitename = "cats.fwb";
  report.datetime = "12/9/26 11:31:23 AM";
  report.keywords = "cat \"big dog\"";
  report.any = true;
  report.wholeword = false;
  report.casesensitive = true;
  report.rows = {{"http://www.example.com/a b.htm", "3", "cat | big dog"},
                 {"http://www.example.com/", "1", "All"}};
  return report;
}

TEST(QueryFileTest, WritesTheHeadingOptionsAndOneRecordPerRow) {
  const std::string expected = std::string("Ferrowyn! Query Report\r\n") +
                               "Site: cats.fwb\r\n"
                               "Date/Time: 12/9/26 11:31:23 AM\r\n"
                               "Search: cat \"big dog\"\r\n"
                               "Type: ANY\r\n"
                               "Word: OFF\r\n"
                               "CaseSensitive: ON\r\n" +
                               kRule +
                               "URL: http://www.example.com/a b.htm\r\n"
                               "Hits: 3\r\n"
                               "Instances: cat | big dog\r\n" +
                               kRule +
                               "URL: http://www.example.com/\r\n"
                               "Hits: 1\r\n"
                               "Instances: All\r\n" +
                               kRule;
  EXPECT_EQ(QueryReportText(CatsReport()), expected);
  EXPECT_EQ(std::string(kQueryReportRule).size(), 52u);

  QueryReport all = CatsReport();
  all.any = false;
  all.wholeword = true;
  all.casesensitive = false;
  const std::string text = QueryReportText(all);
  EXPECT_NE(text.find("\r\nType: ALL\r\nWord: ON\r\nCaseSensitive: OFF\r\n"), std::string::npos);
}

TEST(QueryFileTest, ReadsBackWhatWasWritten) {
  const QueryReport report = CatsReport();
  const QueryFileContents contents = ReadQueryReport(QueryReportText(report));
  EXPECT_EQ(contents.sitename, "cats.fwb");
  EXPECT_EQ(contents.keywords, "cat \"big dog\"");
  EXPECT_EQ(contents.datetime, "12/9/26 11:31:23 AM");
  EXPECT_EQ(contents.any, true);
  EXPECT_EQ(contents.wholeword, false);
  EXPECT_EQ(contents.casesensitive, true);
  // Only the blank after "URL:" separates; the URL keeps its own.
  EXPECT_EQ(contents.rows, report.rows);
  EXPECT_TRUE(contents.Complete());
}

TEST(QueryFileTest, OptionsAreOnOnlyForTheExactUpperCaseWords) {
  QueryFileContents contents =
      ReadQueryReport("Type: any\r\nWord: on\r\nCaseSensitive: ON \r\nSite: s\r\nSearch: k\r\n");
  EXPECT_EQ(contents.any, false);  // only exactly "ANY" means any keyword
  EXPECT_EQ(contents.wholeword, false);
  EXPECT_EQ(contents.casesensitive, false);

  contents = ReadQueryReport("Type: ANY\r\nWord: ON\r\nCaseSensitive: ON\r\n");
  EXPECT_EQ(contents.any, true);
  EXPECT_EQ(contents.wholeword, true);
  EXPECT_EQ(contents.casesensitive, true);

  // Lines that are missing leave the options unknown, so the reader keeps its own.
  contents = ReadQueryReport("Site: s\r\nSearch: k\r\n");
  EXPECT_EQ(contents.any, std::nullopt);
  EXPECT_EQ(contents.wholeword, std::nullopt);
  EXPECT_EQ(contents.casesensitive, std::nullopt);
  EXPECT_EQ(contents.datetime, std::nullopt);
}

TEST(QueryFileTest, PrefixesCompareExactlyAndTheLastLineWins) {
  const QueryFileContents contents = ReadQueryReport(
      "site: lower.fwb\r\nSite:nospace.fwb\r\n SEARCH: x\r\nSite: first.fwb\r\n"
      "Search: one\r\nSite: second.fwb\r\nSearch: two words \r\nType:ANY\r\n"
      "Note Site: inside.fwb\r\n");
  EXPECT_EQ(contents.sitename, "second.fwb");
  EXPECT_EQ(contents.keywords, "two words ");  // the rest of the line, blanks and all
  EXPECT_EQ(contents.any, std::nullopt);       // "Type:" without its blank is no option line
}

TEST(QueryFileTest, FileWithoutSiteOrSearchIsIncomplete) {
  EXPECT_FALSE(ReadQueryReport("").Complete());
  EXPECT_FALSE(ReadQueryReport("Site: a.fwb\r\nSearch: \r\n").Complete());
  EXPECT_FALSE(ReadQueryReport("Search: cat\r\n").Complete());
  EXPECT_TRUE(ReadQueryReport("Search: cat\nSite: a.fwb").Complete());
}

TEST(QueryFileTest, RecordNeedsThreeLinesAfterItsUrlLine) {
  // The last record without its closing rule is dropped.
  EXPECT_EQ(ReadQueryReport("URL: a\r\nHits: 1\r\nInstances: x\r\n").rows, Rows{});
  // Any third line closes it, whatever it says.
  EXPECT_EQ(ReadQueryReport("URL: a\r\nHits: 1\r\nInstances: x\r\n\r\n").rows,
            (Rows{{"a", "1", "x"}}));
  // A last line without a line break still counts.
  EXPECT_EQ(ReadQueryReport("URL: a\nHits: 1\nInstances: x\n-").rows, (Rows{{"a", "1", "x"}}));
}

TEST(QueryFileTest, RecordCellsAreTheTextsAfterTheFirstBlank) {
  // The words before the blank of the second and third lines are not checked; "URL:"
  // needs no blank of its own, so a URL line cut short takes what follows its first blank.
  EXPECT_EQ(ReadQueryReport("URL:http://a/ b\r\nCount 7 8\r\nWhere cat | dog\r\n-\r\n").rows,
            (Rows{{"b", "7 8", "cat | dog"}}));
  // A line of the three without a blank drops the record.
  EXPECT_EQ(ReadQueryReport("URL:http://a/\r\nHits: 1\r\nInstances: x\r\n-\r\n").rows, Rows{});
  EXPECT_EQ(ReadQueryReport("URL: http://a/\r\nHits:1\r\nInstances: x\r\n-\r\n").rows, Rows{});
  EXPECT_EQ(ReadQueryReport("URL: http://a/\r\nHits: 1\r\nInstances:x\r\n-\r\n").rows, Rows{});
  // Empty cells are cells.
  EXPECT_EQ(ReadQueryReport("URL: \r\nHits: \r\nInstances: \r\n-\r\n").rows, (Rows{{"", "", ""}}));
  // "url:" in small letters starts nothing.
  EXPECT_EQ(ReadQueryReport("url: a\r\nHits: 1\r\nInstances: x\r\n-\r\n").rows, Rows{});
}

TEST(QueryFileTest, EveryUrlLineIsTestedEvenInsideAnotherRecord) {
  // A hand-edited file: the second line starts a record of its own too.
  EXPECT_EQ(ReadQueryReport("URL: a\nURL: b\nHits: 2\nInstances: y\n-\n").rows,
            (Rows{{"a", "b", "2"}, {"b", "2", "y"}}));
}

TEST(QueryFileTest, LinesBreakAtCrLfLoneCrAndLoneLf) {
  const QueryFileContents contents =
      ReadQueryReport("Site: a.fwb\rSearch: k\nURL: u\r\nHits: 1\rInstances: x\n-");
  EXPECT_EQ(contents.sitename, "a.fwb");
  EXPECT_EQ(contents.keywords, "k");
  EXPECT_EQ(contents.rows, (Rows{{"u", "1", "x"}}));
}

TEST(QueryFileTest, FileNameGetsTheExtensionUnlessItHoldsItAnywhere) {
  EXPECT_EQ(QueryFileName("/d/report"), "/d/report.fwq");
  EXPECT_EQ(QueryFileName("/d/report.fwq"), "/d/report.fwq");
  EXPECT_EQ(QueryFileName("/d/report.fwq.old"), "/d/report.fwq.old");
  EXPECT_EQ(QueryFileName("/d.fwq/report"), "/d.fwq/report");
  EXPECT_EQ(QueryFileName("/d/report.FWQ"), "/d/report.FWQ.fwq");  // exact letter case
}

TEST(QueryFileTest, WritingReplacesTheFileAndLeavesNothingElse) {
  ScratchDir dir;
  const std::string path = dir.File("cats.fwq");
  WriteFileBytes(path, "an older report that is longer than the new one will be, by far....");
  QueryReport report = CatsReport();
  report.rows.resize(1);
  WriteQueryFile(path, report);
  EXPECT_EQ(ReadFileBytes(path), QueryReportText(report));
  EXPECT_EQ(dir.List(), std::vector<std::string>{"cats.fwq"});
  EXPECT_EQ(ReadQueryFile(path).rows, report.rows);
}

TEST(QueryFileTest, FailuresNameTheFileAndKeepWhatWasThere) {
  ScratchDir dir;
  const std::string missing = dir.File("none/cats.fwq");
  try {
    WriteQueryFile(missing, CatsReport());
    ADD_FAILURE() << "no error";
  } catch (const EQueryFileError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot create file \"" + missing + "\". No such file or directory");
  }
  try {
    ReadQueryFile(missing);
    ADD_FAILURE() << "no error";
  } catch (const EQueryFileError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot open file \"" + missing + "\". No such file or directory");
  }

  // A directory in the way: it is neither replaced nor read, and no temporary file stays.
  const std::string folder = dir.File("folder.fwq");
  std::filesystem::create_directory(folder);
  WriteFileBytes(folder + "/inside", "kept");
  EXPECT_THROW(WriteQueryFile(folder, CatsReport()), EQueryFileError);
  EXPECT_THROW(ReadQueryFile(folder), EQueryFileError);
  EXPECT_EQ(ReadFileBytes(folder + "/inside"), "kept");
  EXPECT_EQ(dir.List(), std::vector<std::string>{"folder.fwq"});
}

TEST(QueryFileTest, OnlyARegularFileIsReplacedAndAFailedWriteKeepsIt) {
  ScratchDir dir;
  // A FIFO (or a link to one) is neither replaced nor waited on.
  const std::string fifo = dir.File("pipe.fwq");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string to_fifo = dir.File("to-pipe.fwq");
  ASSERT_EQ(::symlink(fifo.c_str(), to_fifo.c_str()), 0);
  for (const std::string& path : {fifo, to_fifo}) {
    try {
      WriteQueryFile(path, CatsReport());
      ADD_FAILURE() << "no error";
    } catch (const EQueryFileError& error) {
      EXPECT_EQ(std::string(error.what()),
                "Cannot create file \"" + path + "\". It is not a regular file.");
    }
  }
  try {
    ReadQueryFile(fifo);
    ADD_FAILURE() << "no error";
  } catch (const EQueryFileError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot open file \"" + fifo + "\". It is not a regular file.");
  }
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  // A link to a regular file: the file is replaced, keeping its permissions; the link stays.
  const std::string file = dir.File("cats.fwq");
  const std::string link = dir.File("link.fwq");
  WriteFileBytes(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
  ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
  WriteQueryFile(link, CatsReport());
  EXPECT_EQ(ReadFileBytes(file), QueryReportText(CatsReport()));
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // A write that fails (here a file size limit in place of a full disk) keeps the old file
  // and leaves no new one beside it.
  WriteFileBytes(file, "old");
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  try {
    WriteQueryFile(file, CatsReport());
    ADD_FAILURE() << "no error";
  } catch (const EQueryFileError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + file + "\". File too large");
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(ReadFileBytes(file), "old");
  EXPECT_EQ(dir.List(),
            (std::vector<std::string>{"cats.fwq", "link.fwq", "pipe.fwq", "to-pipe.fwq"}));
}

}  // namespace
}  // namespace ferrowyn
