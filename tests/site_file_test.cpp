// A crawled site saved as a site file and opened again in a fresh controller, without the
// network: every view, the page count and the stored pages come back as the crawl left
// them, and the open leaves the file's bytes as they were.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/search_center.h"
#include "store/site_layout.h"
#include "tests/support/http_test_server.h"
#include "tests/support/qdb_test_files.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn {
namespace {

using ferrowyn::testing::HttpTestServer;
using ferrowyn::testing::ScriptedResponse;
using testing::ScriptedUserPort;
using Strings = std::vector<std::string>;
using namespace std::chrono_literals;

// What the controller shows of its site.
struct Snapshot {
  Strings pages, map, mail;
  int pagecount = 0;
  std::string siteurl;
  std::vector<std::pair<std::string, std::string>> stored;  // each page's display record
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(Tsearchmain& main) {
  Snapshot shot;
  for (const PageListRow& row : main.urllistview().Rows()) {
    shot.pages.push_back(row.Url + "\t" + row.Title);
    TQDB& qdb = main.QDB();
    shot.stored.emplace_back(row.Url, qdb.FindKey(DisplayKey(row.Url)) ? qdb.GetItem() : "<none>");
  }
  std::function<void(SiteMapNode, int)> walk = [&](SiteMapNode parent, int depth) {
    for (SiteMapNode node : main.mainview().Children(parent)) {
      shot.map.push_back(std::string(depth, '\t') + main.mainview().Text(node) + "|" +
                         std::to_string(main.mainview().ImageIndex(node)));
      walk(node, depth + 1);
    }
  };
  walk(kNoNode, 0);
  shot.mail = main.mailview().Lines();
  shot.pagecount = StoredPageCount(main.QDB());
  shot.siteurl = main.state().siteurl;
  return shot;
}

class SiteFileTest : public ::testing::Test {
 protected:
  SiteFileTest() : programdir_(dir_.path().toStdString()), store_(programdir_ + "/settings.ini") {
    live_.httptimeout.text = "30";
    live_.slowtimeout.text = "30";
    live_.searchbar = 2;
    live_.levels.text = "3";
    live_.mailaddr = true;
    live_.searchtype = SearchType::kServer;
    live_.proxyserver.text = "127.0.0.1";
    live_.proxyport.text = std::to_string(server_.Port());
    live_.datadir = programdir_ + "/data/";
    Make();
  }
  Tsearchmain& Make() {
    main_.reset();
    main_ = std::make_unique<Tsearchmain>(port_, store_, programdir_, live_, ops_, Strings{});
    main_->SetFreeSpace([] { return std::optional<std::uint64_t>(std::uint64_t{1} << 40); });
    return *main_;
  }

  HttpTestServer server_;
  QTemporaryDir dir_;
  std::string programdir_;
  SettingsStore store_;
  LiveSettings live_;
  ScriptedUserPort port_;
  SearchOperations ops_;
  std::unique_ptr<Tsearchmain> main_;
};

TEST_F(SiteFileTest, ACrawledSiteComesBackFromItsFileAsTheCrawlLeftIt) {
  const std::string start = "http://www.shop.test/";
  server_.Serve(start, ScriptedResponse::Page(
                           "<title>Shop &amp; More</title><a href=\"a.htm\">a</a>"
                           "<a href=\"b.htm\">b</a><a href=\"mailto:Sales@Shop.test\">m</a>"
                           "<a href=\"http://www.elsewhere.test/\">out</a>"));
  server_.Serve(start + "a.htm",
                ScriptedResponse::Page("<title><b>A</b> = 1</title><a href=\"c.htm\">c</a>"
                                       "<a href=\"mailto:ann@shop.test\">m</a>"));
  server_.Serve(start + "b.htm", ScriptedResponse::Page("no title"));
  server_.Serve(start + "c.htm", ScriptedResponse::Page("<title>C</title>"));

  port_.ExpectInformation("Specified site has been retrieved.");
  main_->state().fields.URL.text = start;
  main_->SearchBtnClick();
  ASSERT_TRUE(HttpTestServer::WaitFor(
      [this] { return !main_->crawlrunning() && !main_->crawl().AnyWorkerRunning(); }, 20s));
  const Snapshot crawled = Take(*main_);
  ASSERT_EQ(crawled.pagecount, 4);
  ASSERT_EQ(crawled.pages.size(), 4u);
  ASSERT_EQ(crawled.mail.size(), 2u);
  ASSERT_EQ(crawled.map.front(), start + "|1");

  port_.ExpectFile(FileDialogRequest::kSave, live_.datadir + "shop");
  port_.ExpectInformation("Site \"shop.fwb\" has been saved.");
  main_->SaveSite1Click();
  const std::string path = live_.datadir + "shop.fwb";
  EXPECT_EQ(main_->QDB().Count(), 11);
  // Saving twice writes nothing.
  port_.ExpectInformation("Site \"shop.fwb\" has been saved to disk.");
  main_->SaveSite1Click();

  Make();  // the first controller writes its store back into the site file
  const std::string bytes = testing::ReadFileBytes(path);
  const size_t requests = server_.Requests().size();
  port_.ExpectFile(FileDialogRequest::kOpen, path);
  port_.ExpectInformation("Site \"shop.fwb\" has been loaded.");
  main_->OpenSite1Click();

  EXPECT_EQ(Take(*main_), crawled);
  EXPECT_EQ(main_->state().caption, "Ferrowyn! - shop.fwb");
  EXPECT_TRUE(main_->state().sitesaved && main_->state().siteloaded);
  EXPECT_EQ(server_.Requests().size(), requests);

  main_.reset();
  EXPECT_EQ(testing::ReadFileBytes(path), bytes);
}

}  // namespace
}  // namespace ferrowyn
