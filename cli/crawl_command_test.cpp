// "ferrowyn-cli crawl" run as a process against a fixture site on the loopback server,
// with settings of its own (an empty configuration directory).
#include <gtest/gtest.h>

#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

#include "tests/support/http_test_server.h"
#include "tests/support/process_runner.h"

namespace ferrowyn {
namespace {

using ferrowyn::testing::HttpTestServer;
using ferrowyn::testing::ScriptedResponse;

using ferrowyn::testing::ProcessResult;

class CrawlCommandTest : public ::testing::Test {
 protected:
  CrawlCommandTest() {
    server_.Serve("/", ScriptedResponse::Page("<title>Home</title><a href=\"a.htm\">a</a>"
                                              "<a href=\"b.htm\">b</a>"));
    server_.Serve("/a.htm", ScriptedResponse::Page("<title>A</title><a href=\"/\">home</a>"));
    // No title: the page list shows "Untitled".
    server_.Serve("/b.htm", ScriptedResponse::Page("no title"));
  }

  ProcessResult Run(const QStringList& args) {
    QProcessEnvironment env;
    env.insert("XDG_CONFIG_HOME", config_.path());
    env.insert("HOME", config_.path());
    return ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, QStringList{"crawl"} + args, {}, env,
                                         20000);
  }
  QString Url(const std::string& path = "/") { return QString::fromStdString(server_.Url(path)); }

  HttpTestServer server_;
  QTemporaryDir config_;
};

TEST_F(CrawlCommandTest, ANaturalEndListsThePagesAndReportsTheSite) {
  const std::string root = server_.Url("/");
  // --https and --insecure leave an http:// site's crawl as it is.
  const ProcessResult result =
      Run({Url(), "--scope", "server", "--slots", "2", "--https", "--insecure"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "Specified site has been retrieved.\n");
  // Two slots may finish a.htm and b.htm in either order.
  const std::string a = root + "a.htm\tA\n";
  const std::string b = root + "b.htm\tUntitled\n";
  EXPECT_TRUE(result.out == root + "\tHome\n" + a + b || result.out == root + "\tHome\n" + b + a)
      << result.out;
}

TEST_F(CrawlCommandTest, ARestrictionEndsWellAndAFailedStartPageDoesNot) {
  // One slot: with more, pages in flight may pass the test before the first is counted.
  ProcessResult result = Run({Url(), "--files", "1", "--slots", "1"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "Web download has been stopped due to a download restriction.\n");
  EXPECT_EQ(result.out, server_.Url("/") + "\tHome\n");

  result = Run({Url("/missing.htm")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "There was an error retrieving the specified URL: \"404: Not Found.\"\n");
  EXPECT_EQ(result.out, "");
}

TEST_F(CrawlCommandTest, WrongArgumentsAreRefusedBeforeAnythingIsRetrieved) {
  for (const QStringList& args :
       {QStringList{}, QStringList{Url(), "--slots", "5"}, QStringList{Url(), "--scope", "all"},
        QStringList{Url(), "--scope", "filter"}, QStringList{Url(), "--filter", "x"},
        QStringList{Url(), "--login", "nopassword"}, QStringList{Url(), "--levels", "x"},
        QStringList{Url(), Url()}, QStringList{Url(), "--word"},
        QStringList{Url(), "--keywords"}}) {
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.status, 2) << args.join(' ').toStdString();
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(server_.ConnectionCount(), 0u);
}

TEST_F(CrawlCommandTest, KeywordsListTheRowsOfTheQueryRunAlongside) {
  // Titles are not searched by default: "home" is the link text on a.htm, "title" the text
  // of b.htm. One slot retrieves the pages in the order they were found, and one query
  // worker matches them in that order (several may finish in any order).
  ProcessResult result =
      Run({Url(), "--slots", "1", "--query-slots", "1", "--keywords", "HOME title", "--word"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "Specified site has been retrieved.\n");
  EXPECT_EQ(result.out,
            server_.Url("/a.htm") + "\t1\tHOME\n" + server_.Url("/b.htm") + "\t1\ttitle\n");

  result = Run({Url(), "--slots", "1", "--keywords", "HOME title", "--all", "--case"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
}

TEST_F(CrawlCommandTest, TheSavedSiteOpensWithItsPagesAndAnswersAQuery) {
  const std::string site = config_.path().toStdString() + "/home";
  ProcessResult result = Run({Url(), "--slots", "1", "--save", QString::fromStdString(site)});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "Specified site has been retrieved.\nSite \"home.fwb\" has been saved.\n");

  QProcessEnvironment env;
  env.insert("HOME", config_.path());
  env.insert("XDG_CONFIG_HOME", config_.path());
  const QString file = QString::fromStdString(site + ".fwb");
  ProcessResult opened =
      ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, {"site", file}, {}, env, 20000);
  EXPECT_EQ(opened.status, 0);
  EXPECT_EQ(opened.out, result.out);
  opened = ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH,
                                         {"query", file, "title", "--slots", "1"}, {}, env, 20000);
  EXPECT_EQ(opened.out, server_.Url("/b.htm") + "\t1\ttitle\n");

  // The file is there now: replaced only when asked to.
  result = Run({Url(), "--slots", "1", "--save", file});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  result = Run({Url(), "--slots", "1", "--save", file, "--overwrite"});
  EXPECT_EQ(result.status, 0);
}

TEST_F(CrawlCommandTest, TheFilterScopeAndTheLoginAreUsed) {
  const ProcessResult result =
      Run({Url(), "--scope", "filter", "--filter", "A.HTM", "--login", "user:pass"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, server_.Url("/") + "\tHome\n" + server_.Url("/a.htm") + "\tA\n");
  ASSERT_EQ(server_.Requests().size(), 2u);
  EXPECT_NE(server_.Requests()[1].find("Authorization: Basic dXNlcjpwYXNz\r\n"), std::string::npos);
}

TEST_F(CrawlCommandTest, AStartPageWithoutResponseFailsAndControlCharactersAreRefused) {
  server_.Serve("/silent.htm", ScriptedResponse::Raw(""));
  ProcessResult result = Run({Url("/silent.htm")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "There was an error retrieving the specified URL: "
            "\"404: no status line in the response.\"\n");

  result = Run({Url("/a.htm HTTP/1.0\r\nX-Injected: yes")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "ferrowyn-cli crawl: the URL holds a control character; nothing was sent\n");
  result = Run({Url(), "--login", "user:pass\r\nX-Injected: yes"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "ferrowyn-cli crawl: the --login value holds a control character; nothing was sent\n");
  EXPECT_EQ(server_.ConnectionCount(), 1u);
}

}  // namespace
}  // namespace ferrowyn
