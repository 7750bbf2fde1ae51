// "ferrowyn-cli links" run as a process: the title and links of a page body, the raw and
// mail listings, and the file types of the settings store.
#include <gtest/gtest.h>

#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "app/settings_store.h"
#include "tests/support/process_runner.h"

namespace ferrowyn {
namespace {

using ferrowyn::testing::ProcessResult;

class LinksCommandTest : public ::testing::Test {
 protected:
  // Runs "links" with `args`, `input` on standard input, and a settings store of its own.
  ProcessResult Run(const QStringList& args, const std::string& input = "") {
    QProcessEnvironment env;
    env.insert("XDG_CONFIG_HOME", config_.path());
    return ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, QStringList{"links"} + args, input,
                                         env);
  }

  std::string StorePath() const { return config_.path().toStdString() + "/Castrel/Ferrowyn.ini"; }

  QTemporaryDir config_;
};

const std::string kPage =
    "<html><head><TITLE>Fish &AMP; Chips &amp;amp; More</TITLE></head>\r\n"
    "<a href=\"x.htm\">x</a> <A HREF=../y.htm>y</A> <a href='z.htm'>z</a>\r\n"
    "<!-- <a href=old.htm> --><a href=\"run.asp?a=1&amp;b=2\">r</a>\n"
    "<a href=\"mailto:Me@Example.COM\">m</a><a href=mailto:me@example.com?subject=x>\r\n"
    "<frame src=\"/top.htm#t\"><option value=o.php><a href=pic.gif><a href=docs/>\r\n";

TEST_F(LinksCommandTest, PrintsTheTitleAndTheLinksToFollow) {
  const ProcessResult result = Run({"http://host/a/b/page.htm", "--mail"}, kPage);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Title: Fish & Chips & More\n"
            "http://host/a/b/x.htm\n"
            "http://host/a/y.htm\n"
            "http://host/a/b/run.asp?a=1&b=2\n"
            "http://host/top.htm\n"
            "http://host/a/b/docs/\n"
            "Mail: me@example.com\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(LinksCommandTest, RawListsEveryResolvedLinkFromAFile) {
  const std::string file = config_.path().toStdString() + "/page.htm";
  std::ofstream(file, std::ios::binary) << kPage;
  const ProcessResult result =
      Run({"http://host/a/b/page.htm", QString::fromStdString(file), "--raw"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Title: Fish & Chips & More\n"
            "http://host/a/b/x.htm\n"
            "http://host/a/y.htm\n"
            "http://host/a/b/z.htm'\n"
            "http://host/a/b/run.asp?a=1&b=2\n"
            "http://host/a/b/mailto:Me@Example.COM\n"
            "http://host/a/b/mailto:me@example.com?subject=x\n"
            "http://host/top.htm#t\n"
            "http://host/a/b/pic.gif\n"
            "http://host/a/b/docs/\n");
}

TEST_F(LinksCommandTest, IgnoringScriptsDropsLinksAndAddressesWithArguments) {
  const ProcessResult result = Run({"http://host/a/b/page.htm", "--ignore-scripts", "--mail"},
                                   "<a href=run.asp?a=1><a href=x.htm><a href=mailto:a@b.org?s=1>");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Title: Untitled\nhttp://host/a/b/x.htm\n");
}

TEST_F(LinksCommandTest, StoredFileTypesJoinTheBuiltInOnes) {
  const std::string page = "<option value=o.php><a href=p.PHP><a href=q.cgi>";
  EXPECT_EQ(Run({"http://host/"}, page).out, "Title: Untitled\n");
  SettingsStore(StorePath()).WriteList("File Types", {".htm", ".php"});
  EXPECT_EQ(Run({"http://host/"}, page).out,
            "Title: Untitled\nhttp://host/o.php\nhttp://host/p.PHP\n");
}

TEST_F(LinksCommandTest, RefusesAnEmptyPageAndBadArguments) {
  ProcessResult result = Run({"http://host/"}, "");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "ferrowyn-cli links: the page is empty\n");
  EXPECT_EQ(Run({}).status, 2);
  EXPECT_EQ(Run({"http://host/", "--bogus"}, "x").status, 2);
  const QString missing = config_.path() + "/missing.htm";
  result = Run({"http://host/", missing});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "ferrowyn-cli links: \"" + missing.toStdString() + "\" does not exist\n");
}

}  // namespace
}  // namespace ferrowyn
