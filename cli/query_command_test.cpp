// "ferrowyn-cli query" run as a process over a site file made with the record store, with
// settings of its own (an empty configuration directory).
#include <gtest/gtest.h>

#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

#include "store/record_store.h"
#include "store/site_layout.h"
#include "tests/support/process_runner.h"
#include "tests/support/qdb_test_files.h"

namespace ferrowyn {
namespace {

using ferrowyn::testing::ProcessResult;
using ferrowyn::testing::ReadFileBytes;

constexpr char kLoaded[] = "Site \"pets.fwb\" has been loaded.\n";

class QueryCommandTest : public ::testing::Test {
 protected:
  QueryCommandTest() {
    path_ = files_.path().toStdString() + "/pets.fwb";
    TQDB qdb;
    qdb.SetCompression(true);
    qdb.SetFileName(path_);
    const std::pair<const char*, const char*> pages[] = {
        {"http://pets.test/", "Cats and dogs. cats"},
        {"http://pets.test/cats.htm", "cat cat cat cat CAT"},
        {"http://pets.test/dogs.htm", "dogs <b>dog</b> dog"},
    };
    for (const auto& [url, text] : pages) {
      qdb.AddItem("<p>page\r\n", DisplayKey(url));
      qdb.AddItem(std::string(text) + "\r\n", QueryKey(url));
    }
    qdb.AddItem(WriteWebList({{"http://pets.test/", "Pets"}}), std::string(kWebListKey));
    qdb.AddItem(WriteEmail({}), std::string(kEmailKey));
    qdb.AddItem(WriteWebMap({{"http://pets.test/", {}}}), std::string(kWebMapKey));
    qdb.SetFileName("");
  }

  ProcessResult Run(QStringList args) {
    QProcessEnvironment env;
    env.insert("XDG_CONFIG_HOME", config_.path());
    env.insert("HOME", config_.path());
    args.prepend(QString::fromStdString(path_));
    args.prepend("query");
    return ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, args, {}, env, 20000);
  }

  QTemporaryDir config_;
  QTemporaryDir files_;
  std::string path_;
};

TEST_F(QueryCommandTest, RowsComeInStoreOrderOrSortedAndTheFileIsNotChanged) {
  const std::string before = ReadFileBytes(path_);
  ProcessResult result = Run({"cat dog", "--slots", "1"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, std::string(kLoaded) + "Query completed.\n");
  // " Cats and dogs. cats": "cat" twice, "dog" once; " cat cat cat cat CAT": the blank
  // after each "cat" is skipped, so every occurrence counts.
  EXPECT_EQ(result.out,
            "http://pets.test/\t3\tcat | dog\n"
            "http://pets.test/cats.htm\t5\tcat\n"
            "http://pets.test/dogs.htm\t3\tdog\n");

  result = Run({"cat dog", "--sort", "hits", "--word", "--case", "--slots", "1"});
  EXPECT_EQ(result.status, 0);
  // Whole words with case: of "cat cat cat cat" every other one counts (the blank after a
  // match and the next character are used up); "dog" between ">" and "<" and at the end.
  // Equal hits keep the order in which they were found.
  EXPECT_EQ(result.out,
            "http://pets.test/cats.htm\t2\tcat\n"
            "http://pets.test/dogs.htm\t2\tdog\n");

  result = Run({"cats dogs", "--all"});
  EXPECT_EQ(result.out, "http://pets.test/\t3\tAll\n");
  EXPECT_EQ(ReadFileBytes(path_), before);
}

TEST_F(QueryCommandTest, TheReportIsTheQueryFileOfTheOpenedSite) {
  const std::string report = files_.path().toStdString() + "/found";
  ProcessResult result = Run({"dog", "--report", QString::fromStdString(report), "--slots", "1"});
  EXPECT_EQ(result.status, 0);
  const std::string written = ReadFileBytes(report + ".fwq");
  EXPECT_EQ(written.substr(0, written.find("Date/Time:")),
            "Ferrowyn! Query Report\r\nSite: pets.fwb\r\n");
  EXPECT_NE(written.find("\r\nSearch: dog\r\nType: ANY\r\n"), std::string::npos) << written;

  const QStringList args{"report", QString::fromStdString(report + ".fwq")};
  QProcessEnvironment env;
  env.insert("HOME", config_.path());
  const ProcessResult read = ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, args, {}, env, 20000);
  EXPECT_EQ(read.status, 0);
  EXPECT_NE(read.out.find("http://pets.test/\t1\tdog\nhttp://pets.test/dogs.htm\t3\tdog\n"),
            std::string::npos)
      << read.out;
}

TEST_F(QueryCommandTest, APageThatCannotBeReadIsPassedOverWithTheStoresMessage) {
  std::string bytes = ReadFileBytes(path_);
  {
    TQDB qdb;
    qdb.SetReadOnly(true);
    qdb.SetFileName(path_);
    ASSERT_TRUE(qdb.FindKey(QueryKey("http://pets.test/cats.htm")));
    const std::string stored = qdb.ReadRawItem(qdb.ItemIndex()).stored;
    const std::size_t at = bytes.find(stored);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 2, "\xFF\xFF");
  }
  ferrowyn::testing::WriteFileBytes(path_, bytes);

  const ProcessResult result = Run({"cat dog", "--slots", "2", "--sort", "url"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, std::string(kLoaded) + "The file " + path_ +
                            " is not a valid QDB file\nQuery stopped.\n");
  EXPECT_EQ(result.out,
            "http://pets.test/\t3\tcat | dog\n"
            "http://pets.test/dogs.htm\t3\tdog\n");
  EXPECT_EQ(ReadFileBytes(path_), bytes);
}

TEST_F(QueryCommandTest, AMalformedListRecordFailsTheOpenThoughTheQueryNeedsNoList) {
  const auto replace = [&](const std::string& key, const std::string& bytes) {
    TQDB qdb;
    qdb.SetFileName(path_);
    ASSERT_TRUE(qdb.FindKey(key));
    qdb.DeleteItem();
    qdb.AddItem(bytes, key);
    qdb.SetFileName("");
  };
  const std::string failed =
      "There was an error while trying to load Ferrowyn! site " + path_ + ".\n";
  replace(std::string(kWebMapKey), "a\r\n\t\tb\r\n");
  ProcessResult result = Run({"cat"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, failed);
  EXPECT_EQ(result.out, "");

  // A page list record whose stored form cannot be expanded.
  replace(std::string(kWebMapKey), WriteWebMap({{"http://pets.test/", {}}}));
  std::string bytes = ReadFileBytes(path_);
  {
    TQDB qdb;
    qdb.SetReadOnly(true);
    qdb.SetFileName(path_);
    ASSERT_TRUE(qdb.FindKey(std::string(kWebListKey)));
    const std::string stored = qdb.ReadRawItem(qdb.ItemIndex()).stored;
    const std::size_t at = bytes.find(stored);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 2, "\xFF\xFF");
  }
  ferrowyn::testing::WriteFileBytes(path_, bytes);
  result = Run({"cat"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, failed);
  EXPECT_EQ(result.out, "");
}

TEST_F(QueryCommandTest, WrongArgumentsAndRefusedKeywordsFail) {
  for (const QStringList& args : {QStringList{}, QStringList{"x", "y"}, QStringList{"--slots", "0"},
                                  QStringList{"a", "--sort", "title"}}) {
    EXPECT_EQ(Run(args).status, 2) << args.join(' ').toStdString();
  }
  const ProcessResult result = Run({"a|b"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            std::string(kLoaded) + "This query contains an invalid character. Please re-enter.\n");
  EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace ferrowyn
