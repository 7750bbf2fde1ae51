// THttpCli against real peers on loopback: nginx as the web server and
// tinyproxy with basic authentication as the proxy.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "crawl/http_client.h"
#include "tests/support/real_peers.h"

namespace ferrowyn {
namespace {

using ferrowyn::testing::NginxPeer;
using ferrowyn::testing::TinyproxyPeer;

constexpr const char* kPage = "<html><title>Peer</title>\r\nHello from nginx\r\n</html>";

class HttpPeersTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    startup_.Start([] {
      nginx_ = std::make_unique<NginxPeer>(
          std::map<std::string, std::string>{{"index.html", kPage}, {"docs/a.htm", "a"}});
      proxy_ = std::make_unique<TinyproxyPeer>("user", "pass");
    });
  }
  static void TearDownTestSuite() {
    proxy_.reset();
    nginx_.reset();
  }
  void SetUp() override {
    FERROWYN_EXPECT_PEERS_STARTED(startup_);
    client_.RcvdStream = &body_;
    client_.OnLocationChange = [this](THttpCli* sender) {
      redirects_.push_back(sender->Redirect());
    };
  }
  void UseProxy(bool with_login) {
    client_.Proxy = "127.0.0.1";
    client_.ProxyPort = std::to_string(proxy_->Port());
    if (with_login) {
      client_.ProxyUsername = "user";
      client_.ProxyPassword = "pass";
    }
  }
  // Runs the request; gives the failure, if any.
  std::optional<EHttpException> Fetch(const std::string& url) {
    body_.clear();
    client_.URL = url;
    try {
      client_.GetAndWait();
    } catch (const EHttpException& e) {
      return e;
    }
    return std::nullopt;
  }

  static inline std::unique_ptr<NginxPeer> nginx_;
  static inline std::unique_ptr<TinyproxyPeer> proxy_;
  static inline ferrowyn::testing::PeerStartup startup_;
  THttpCli client_;
  std::string body_;
  std::vector<std::string> redirects_;
};

TEST_F(HttpPeersTest, PageFetchedDirectly) {
  EXPECT_FALSE(Fetch(nginx_->Url("/index.html")).has_value());
  EXPECT_EQ(client_.StatusCode(), 200);
  EXPECT_EQ(client_.ReasonPhrase(), "OK");
  EXPECT_EQ(body_, kPage);
  EXPECT_EQ(client_.RcvdCount(), std::string(kPage).size());
}

TEST_F(HttpPeersTest, PageFetchedThroughTheProxyWithItsLogin) {
  UseProxy(true);
  EXPECT_FALSE(Fetch(nginx_->Url("/docs/a.htm")).has_value());
  EXPECT_EQ(client_.StatusCode(), 200);
  EXPECT_EQ(body_, "a");
}

TEST_F(HttpPeersTest, ProxyWithoutLoginAnswers407) {
  UseProxy(false);
  const auto failure = Fetch(nginx_->Url("/index.html"));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->StatusCode(), 407);
  EXPECT_EQ(failure->ReasonPhrase(), "Proxy Authentication Required");
  EXPECT_EQ(body_, "");

  client_.ProxyUsername = "user";
  client_.ProxyPassword = "wrong";
  ASSERT_TRUE(Fetch(nginx_->Url("/index.html")).has_value());
  EXPECT_EQ(client_.StatusCode(), 401);  // tinyproxy's answer to a wrong password
}

TEST_F(HttpPeersTest, MissingPageIs404DirectAndThroughTheProxy) {
  auto failure = Fetch(nginx_->Url("/nothing-here.htm"));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(HttpErrorText(failure->StatusCode(), failure->ReasonPhrase()), "\"404: Not Found.\"");
  EXPECT_EQ(body_, "");
  UseProxy(true);
  failure = Fetch(nginx_->Url("/nothing-here.htm"));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->StatusCode(), 404);
}

TEST_F(HttpPeersTest, RedirectsAreFollowed) {
  EXPECT_FALSE(Fetch(nginx_->Url("/moved")).has_value());
  EXPECT_EQ(body_, kPage);
  EXPECT_FALSE(Fetch(nginx_->Url("/moved-absolute")).has_value());
  EXPECT_EQ(body_, kPage);
  UseProxy(true);
  EXPECT_FALSE(Fetch(nginx_->Url("/moved")).has_value());
  EXPECT_EQ(body_, kPage);
  const std::string absolute = nginx_->Url("/index.html");
  EXPECT_EQ(redirects_, (std::vector<std::string>{"/index.html", absolute, "/index.html"}));
}

}  // namespace
}  // namespace ferrowyn
