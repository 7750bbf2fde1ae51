// "ferrowyn-cli site" and "ferrowyn-cli export" run as processes over site files made with
// the record store, with settings of their own (an empty configuration directory).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "store/record_store.h"
#include "store/site_layout.h"
#include "tests/support/process_runner.h"
#include "tests/support/qdb_test_files.h"

namespace ferrowyn {
namespace {

using ferrowyn::testing::ProcessResult;
using ferrowyn::testing::ReadFileBytes;
using ferrowyn::testing::WriteFileBytes;

const std::string kTop = "http://site.test/";
const std::string kBlanks = "http://site.test/a b.htm";
const std::string kDeep = "http://site.test/deep.htm";

const std::string kWebList = "[URL]\r\nURL=" + kTop + "\r\nTitle=Home\r\n[URL]\r\nURL=" + kBlanks +
                             "\r\nTitle=<b>A</b> = B\r\n[URL]\r\nURL=" + kDeep +
                             "\r\nTitle=Deep\r\n";
const std::string kWebMap =
    kTop + "\r\n\t" + kBlanks + "\r\n\t\t" + kDeep + "\r\n\thttp://x.test/\r\n";

class SiteCommandTest : public ::testing::Test {
 protected:
  std::string Dir() const { return files_.path().toStdString() + "/"; }

  // A site file of three pages with the list records given as key, bytes.
  std::string Site(const std::string& name,
                   const std::vector<std::pair<std::string, std::string>>& records) {
    const std::string path = Dir() + name;
    TQDB qdb;
    qdb.SetCompression(true);
    qdb.SetFileName(path);
    for (const std::string& url : {kTop, kBlanks, kDeep}) {
      qdb.AddItem(" page\r\n", DisplayKey(url));
      qdb.AddItem(" query\r\n", QueryKey(url));
    }
    for (const auto& [key, bytes] : records) qdb.AddItem(bytes, key);
    qdb.SetFileName("");
    return path;
  }
  std::string FullSite(const std::string& name = "shop.fwb") {
    return Site(name, {{"WEBLIST", kWebList},
                       {"EMAIL", "ann@site.test\r\nZed@Site.test\r\nbob@site.test\r\n"},
                       {"WEBMAP", kWebMap}});
  }

  ProcessResult Run(const QStringList& args) {
    QProcessEnvironment env;
    env.insert("XDG_CONFIG_HOME", config_.path());
    env.insert("HOME", config_.path());
    return ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, args, {}, env, 20000);
  }
  // As Run, with every file the run writes held to `limit` bytes, standard output too when
  // it goes to `output_file`.
  ProcessResult RunLimited(const QStringList& args, long limit, const std::string& output_file) {
    QProcessEnvironment env;
    env.insert("XDG_CONFIG_HOME", config_.path());
    env.insert("HOME", config_.path());
    return ferrowyn::testing::RunProcessWithFileLimit(FERROWYN_CLI_PATH, args, env, limit,
                                                      Q(output_file));
  }
  static QString Q(const std::string& text) { return QString::fromStdString(text); }

  QTemporaryDir config_;
  QTemporaryDir files_;
};

TEST_F(SiteCommandTest, EachListIsPrintedAndTheFileIsNotTouched) {
  const std::string path = FullSite();
  const std::string bytes = ReadFileBytes(path);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);

  ProcessResult result = Run({"site", Q(path)});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "Site \"shop.fwb\" has been loaded.\n");
  EXPECT_EQ(result.out, kTop + "\tHome\n" + kBlanks + "\t<b>A</b> = B\n" + kDeep + "\tDeep\n");
  EXPECT_EQ(Run({"site", Q(path), "pages"}).out, result.out);

  result = Run({"site", Q(path), "map"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kTop + "\n\t" + kBlanks + "\n\t\t" + kDeep + "\n\thttp://x.test/\n");

  result = Run({"site", Q(path), "mail"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "ann@site.test\nZed@Site.test\nbob@site.test\n");

  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(ReadFileBytes(path), bytes);
}

TEST_F(SiteCommandTest, AMissingRecordOrAMalformedMapIsReportedWithExitOne) {
  const std::string partial = Site("partial.fwb", {{"WEBLIST", kWebList}});
  ProcessResult result = Run({"site", Q(partial)});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "There was an error while trying to load site \"partial.fwb\"\n");
  EXPECT_EQ(result.out, kTop + "\tHome\n" + kBlanks + "\t<b>A</b> = B\n" + kDeep + "\tDeep\n");

  const std::string malformed =
      Site("malformed.fwb",
           {{"WEBLIST", kWebList}, {"EMAIL", "PLACEHOLDER\r\n"}, {"WEBMAP", "a\r\n\t\tb\r\n"}});
  const std::string bytes = ReadFileBytes(malformed);
  struct stat before {};
  ASSERT_EQ(::stat(malformed.c_str(), &before), 0);
  result = Run({"site", Q(malformed), "map"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "There was an error while trying to load Ferrowyn! site " + malformed + ".\n");
  EXPECT_EQ(result.out, "");
  // The failed open is not written back: the very same file, not a copy of its bytes.
  struct stat after {};
  ASSERT_EQ(::stat(malformed.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(ReadFileBytes(malformed), bytes);
}

TEST_F(SiteCommandTest, AFileThatIsNotThereIsNotCreatedAndWrongArgumentsAreRefused) {
  const std::string ghost = Dir() + "ghost.fwb";
  ProcessResult result = Run({"site", Q(ghost)});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "ferrowyn-cli site: \"" + ghost + "\" is not a site file that exists\n");
  EXPECT_FALSE(std::filesystem::exists(ghost));

  // Without an extension the store would open another file.
  const std::string bare = Dir() + "bare";
  WriteFileBytes(bare, ReadFileBytes(FullSite("copy.fwb")));
  EXPECT_EQ(Run({"site", Q(bare)}).status, 1);
  EXPECT_FALSE(std::filesystem::exists(bare + ".QDB"));

  const std::string path = FullSite();
  for (const QStringList& args :
       {QStringList{"site"}, QStringList{"site", Q(path), "links"},
        QStringList{"site", Q(path), "map", "mail"}, QStringList{"site", Q(path), "--sort"},
        QStringList{"site", Q(path), "mail", "--overwrite"}, QStringList{"export", Q(path)},
        QStringList{"export", Q(path), "a.htm", "--force"}}) {
    result = Run(args);
    EXPECT_EQ(result.status, 2) << args.join(' ').toStdString();
    EXPECT_EQ(result.out, "");
  }
}

TEST_F(SiteCommandTest, TheMailListIsSortedAndSavedWithCrLfLines) {
  const std::string path = FullSite();
  const std::string out = Dir() + "mail.txt";
  ProcessResult result = Run({"site", Q(path), "mail", "--sort", "--save", Q(out)});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "ann@site.test\nbob@site.test\nZed@Site.test\n");
  EXPECT_EQ(result.err, "Site \"shop.fwb\" has been loaded.\nMail addresses saved successfully.\n");
  EXPECT_EQ(ReadFileBytes(out), "ann@site.test\r\nbob@site.test\r\nZed@Site.test\r\n");

  // An existing file is replaced only when asked to.
  result = Run({"site", Q(path), "mail", "--save", Q(out)});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(ReadFileBytes(out), "ann@site.test\r\nbob@site.test\r\nZed@Site.test\r\n");
  result = Run({"site", Q(path), "mail", "--save", Q(out), "--overwrite"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(ReadFileBytes(out), "ann@site.test\r\nZed@Site.test\r\nbob@site.test\r\n");
}

TEST_F(SiteCommandTest, TheMailListPrintsIntoAPdfThatReadsBack) {
  const std::string out = Dir() + "mail.pdf";
  const ProcessResult result = Run({"site", Q(FullSite()), "mail", "--sort", "--pdf", Q(out)});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  // Behind whatever Qt says on making its offscreen application.
  const std::string said =
      "Site \"shop.fwb\" has been loaded.\n1 pages written to \"" + out + "\".\n";
  EXPECT_TRUE(result.err.ends_with(said)) << result.err;
  const ProcessResult text = ferrowyn::testing::RunProcess("pdftotext", {Q(out), "-"});
  ASSERT_EQ(text.status, 0) << "pdftotext (poppler-utils) is needed: " << text.err;
  // The lines that hold text (pdftotext separates blocks with empty lines of its own).
  std::vector<std::string> lines;
  std::istringstream read(text.out);
  for (std::string line; std::getline(read, line);)
    if (!line.empty() && line != "\f") lines.push_back(line);
  ASSERT_EQ(lines.size(), 6u) << text.out;
  EXPECT_EQ(lines[0], "Ferrowyn Mail Address Capture");
  EXPECT_EQ(lines[1], "Site Name: shop.fwb");
  EXPECT_EQ(lines[2].substr(0, 11), "Date/Time: ");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()),
            (std::vector<std::string>{"ann@site.test", "bob@site.test", "Zed@Site.test"}));
}

TEST_F(SiteCommandTest, TheExportIsWrittenWithItsTitlesEscapedAndAnOldFileIsKept) {
  const std::string path = FullSite();
  const std::string out = Dir() + "list.htm";
  ProcessResult result = Run({"export", Q(path), Q(Dir() + "list")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "Site \"shop.fwb\" has been loaded.\nURL List saved successfully.\n");
  const std::string page = ReadFileBytes(out);
  EXPECT_EQ(page.substr(0, page.find("Date/Time: ")),
            "<HTML>\r\n<HEAD>\r\n<TITLE>Ferrowyn! URL Export</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
            "<H3><B>Ferrowyn! URL Export<BR>\r\nSite Name: shop.fwb<BR>\r\n");
  EXPECT_EQ(page.substr(page.find("</B></H3>")),
            "</B></H3>\r\n<HR><H4>\r\n"
            "<A HREF=\"http://site.test/\">Home</A><BR>\r\n"
            "<A HREF=\"http://site.test/a b.htm\">&lt;b&gt;A&lt;/b&gt; = B</A><BR>\r\n"
            "<A HREF=\"http://site.test/deep.htm\">Deep</A><BR>\r\n"
            "</H4><HR>\r\n<H5><CENTER>Generated by Ferrowyn!&#153;<BR>\r\n"
            "A search tool by Castrel Software</CENTER></H5>\r\n</BODY></HTML>\r\n");

  WriteFileBytes(out, "keep me");
  result = Run({"export", Q(path), Q(out)});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(ReadFileBytes(out), "keep me");
  result = Run({"export", Q(path), Q(out), "--overwrite"});
  EXPECT_EQ(result.status, 0);
  const std::string again = ReadFileBytes(out);
  EXPECT_EQ(again.substr(0, again.find("Date/Time: ")), page.substr(0, page.find("Date/Time: ")));
  EXPECT_EQ(again.substr(again.find("</B></H3>")), page.substr(page.find("</B></H3>")));

  // Nothing to export, and a site that does not load.
  const std::string empty = Site("empty.fwb", {{"WEBLIST", "PLACEHOLDER\r\n"},
                                               {"EMAIL", "PLACEHOLDER\r\n"},
                                               {"WEBMAP", "PLACEHOLDER\r\n"}});
  result = Run({"export", Q(empty), Q(Dir() + "none.htm")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(
      result.err,
      "Site \"empty.fwb\" has been loaded.\nThere are no URLs to save in the current site.\n");
  const std::string partial = Site("partial.fwb", {{"WEBLIST", kWebList}});
  EXPECT_EQ(Run({"export", Q(partial), Q(Dir() + "none.htm")}).status, 1);
  EXPECT_FALSE(std::filesystem::exists(Dir() + "none.htm"));
}

TEST_F(SiteCommandTest, AFailedWriteIsReportedAndOnlyARegularFileIsReplaced) {
  // A page list whose export and listing pass a file size limit that the site file and the
  // run's own scratch files stay well below.
  std::string weblist;
  for (int i = 0; i < 400; ++i) {
    weblist += "[URL]\r\nURL=" + kTop + std::string(60, 'p') + std::to_string(i) +
               ".htm\r\nTitle=Page\r\n";
  }
  const std::string path =
      Site("big.fwb", {{"WEBLIST", weblist}, {"EMAIL", "ann@site.test\r\n"}, {"WEBMAP", kTop}});
  const long limit = 24576;
  ASSERT_LT(ReadFileBytes(path).size(), 8192u);

  const std::string out = Dir() + "list.htm";
  WriteFileBytes(out, "keep me");
  ProcessResult result = RunLimited({"export", Q(path), Q(out), "--overwrite"}, limit, "");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "Site \"big.fwb\" has been loaded.\nThere was an error while saving URL List.\n");
  EXPECT_EQ(ReadFileBytes(out), "keep me");

  result = RunLimited({"site", Q(path)}, limit, Dir() + "pages.txt");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "Site \"big.fwb\" has been loaded.\n"
            "ferrowyn-cli: standard output could not be written\n");

  // A FIFO, or a link to one, is never replaced by a file of the same name.
  const std::string fifo = Dir() + "pipe.htm";
  const std::string link = Dir() + "link.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::symlink(fifo.c_str(), link.c_str()), 0);
  result = Run({"export", Q(path), Q(fifo), "--overwrite"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "ferrowyn-cli export: \"" + fifo + "\" is a FIFO, not a regular file\n");
  result = Run({"site", Q(path), "mail", "--save", Q(link), "--overwrite"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "ferrowyn-cli site: \"" + link + "\" is a FIFO, not a regular file\n");
  struct stat st {};
  ASSERT_EQ(::stat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  // No new file was left beside a target.
  for (const auto& entry : std::filesystem::directory_iterator(Dir())) {
    EXPECT_EQ(entry.path().filename().string().find(".~"), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace ferrowyn
