// THttpCli over TLS against real peers on loopback: nginx serving the same site over
// TLS with certificates from an authority made for the run (trusted through
// SSL_CERT_FILE only), and tinyproxy for CONNECT.
#include <gtest/gtest.h>

#include <openssl/ssl.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "crawl/http_client.h"
#include "crawl/tls_context.h"
#include "tests/support/http_test_server.h"
#include "tests/support/real_peers.h"

namespace ferrowyn {
namespace {

using ferrowyn::testing::HttpTestServer;
using ferrowyn::testing::NginxPeer;
using ferrowyn::testing::ScriptedResponse;
using ferrowyn::testing::TestCertificates;
using ferrowyn::testing::TinyproxyPeer;

constexpr const char* kPage = "<html><title>Peer</title>\r\nHello over TLS\r\n</html>";

// Many TLS records long, with every byte value but NUL, in no repeating pattern that a
// lost or repeated record would keep.
std::string BigPage() {
  std::string page;
  uint32_t x = 12345;
  while (page.size() < 100000) {
    x = x * 1103515245u + 12345u;
    page.push_back(static_cast<char>(1 + (x >> 16) % 255));
  }
  return page;
}

class HttpTlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    startup_.Start([] {
      certificates_ = std::make_unique<TestCertificates>();
      certificates_->TrustAloneInThisProcess();
      nginx_ = std::make_unique<NginxPeer>(
          std::map<std::string, std::string>{
              {"index.html", kPage}, {"docs/a.htm", "a"}, {"docs/big.htm", BigPage()}},
          certificates_.get());
      proxy_ = std::make_unique<TinyproxyPeer>(
          "user", "pass", std::vector<uint16_t>{nginx_->TlsPort(TestCertificates::kGood)});
    });
  }
  static void TearDownTestSuite() {
    proxy_.reset();
    nginx_.reset();
    certificates_.reset();
  }
  void SetUp() override {
    FERROWYN_EXPECT_PEERS_STARTED(startup_);
    client_.AllowTls = true;
    client_.RcvdStream = &body_;
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
  std::string Url(TestCertificates::Kind kind, const std::string& path = "/index.html") {
    return nginx_->TlsUrl(kind, path);
  }

  static inline std::unique_ptr<TestCertificates> certificates_;
  static inline std::unique_ptr<NginxPeer> nginx_;
  static inline std::unique_ptr<TinyproxyPeer> proxy_;
  static inline ferrowyn::testing::PeerStartup startup_;
  THttpCli client_;
  std::string body_;
};

TEST_F(HttpTlsTest, PageFetchedOverTlsByNameAndByAddress) {
  EXPECT_FALSE(Fetch(Url(TestCertificates::kGood)).has_value());
  EXPECT_EQ(client_.StatusCode(), 200);
  EXPECT_EQ(body_, kPage);
  EXPECT_EQ(client_.RcvdCount(), std::string(kPage).size());
  const std::string port = std::to_string(nginx_->TlsPort(TestCertificates::kGood));
  EXPECT_FALSE(Fetch("https://127.0.0.1:" + port + "/docs/a.htm").has_value());
  EXPECT_EQ(body_, "a");
  EXPECT_FALSE(Fetch(Url(TestCertificates::kGood, "/docs/big.htm")).has_value());
  EXPECT_EQ(body_, BigPage());
}

TEST_F(HttpTlsTest, HandshakeWithAServerThatDoesNotCompleteItFailsWithTheReason) {
  // The plain port answers the hello with an HTTP error page and closes.
  const auto failure = Fetch("https://localhost:" + std::to_string(nginx_->Port()) + "/");
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->StatusCode(), 404);
  EXPECT_EQ(failure->ReasonPhrase(), "TLS handshake failed: wrong version number");
  EXPECT_EQ(body_, "");

  // A server that closes as soon as it has the hello.
  QTcpServer closer;
  ASSERT_TRUE(closer.listen(QHostAddress::LocalHost));
  QObject::connect(&closer, &QTcpServer::newConnection, [&closer] {
    QTcpSocket* connection = closer.nextPendingConnection();
    QObject::connect(connection, &QTcpSocket::readyRead, connection, [connection] {
      connection->readAll();
      connection->disconnectFromHost();
    });
  });
  const auto cut = Fetch("https://localhost:" + std::to_string(closer.serverPort()) + "/");
  ASSERT_TRUE(cut.has_value());
  EXPECT_EQ(cut->ReasonPhrase(),
            "TLS handshake failed: the connection was closed during the handshake");
}

TEST_F(HttpTlsTest, SecondConnectionToAServerResumesItsSession) {
  EXPECT_FALSE(Fetch(Url(TestCertificates::kGood, "/docs/a.htm")).has_value());
  EXPECT_FALSE(Fetch(Url(TestCertificates::kGood, "/docs/a.htm")).has_value());
  EXPECT_TRUE(client_.TlsSessionResumed());
  EXPECT_FALSE(Fetch(Url(TestCertificates::kGood, "/docs/a.htm")).has_value());
  EXPECT_TRUE(client_.TlsSessionResumed());
  EXPECT_EQ(body_, "a");
}

TEST_F(HttpTlsTest, FailingCertificatesAreRefusedWithTheReasonUnlessIgnored) {
  auto failure = Fetch(Url(TestCertificates::kOtherName));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->StatusCode(), 404);
  EXPECT_EQ(failure->ReasonPhrase(),
            "certificate verification failed: The host name did not match any of the valid "
            "hosts for this certificate");
  failure = Fetch(Url(TestCertificates::kExpired));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(HttpErrorText(failure->StatusCode(), failure->ReasonPhrase()),
            "\"404: certificate verification failed: The certificate has expired.\"");
  EXPECT_EQ(body_, "");

  client_.IgnoreCertificateErrors = true;
  EXPECT_FALSE(Fetch(Url(TestCertificates::kOtherName)).has_value());
  EXPECT_EQ(body_, kPage);
  EXPECT_FALSE(Fetch(Url(TestCertificates::kExpired)).has_value());
  EXPECT_EQ(body_, kPage);
  // The session of a certificate let through is not resumed by a checking request.
  client_.IgnoreCertificateErrors = false;
  failure = Fetch(Url(TestCertificates::kExpired));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->ReasonPhrase(),
            "certificate verification failed: The certificate has expired");
}

TEST_F(HttpTlsTest, RedirectFromHttpToHttpsIsFollowedOnlyWithTls) {
  std::vector<std::string> locations;
  client_.OnLocationChange = [&](THttpCli* sender) { locations.push_back(sender->LocationUrl()); };
  EXPECT_FALSE(Fetch(nginx_->Url("/to-tls")).has_value());
  EXPECT_EQ(body_, kPage);
  EXPECT_EQ(locations, std::vector<std::string>{Url(TestCertificates::kGood)});

  // Without TLS the https:// location is asked for in plain HTTP, as always.
  client_.AllowTls = false;
  const auto failure = Fetch(nginx_->Url("/to-tls"));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->StatusCode(), 400);
  EXPECT_EQ(failure->ReasonPhrase(), "Bad Request");
}

TEST_F(HttpTlsTest, ThroughTheProxyByConnectWithItsLogin) {
  client_.Proxy = "127.0.0.1";
  client_.ProxyPort = std::to_string(proxy_->Port());
  client_.ProxyUsername = "user";
  client_.ProxyPassword = "pass";
  EXPECT_FALSE(Fetch(Url(TestCertificates::kGood, "/docs/a.htm")).has_value());
  EXPECT_EQ(body_, "a");
  // A port the proxy does not tunnel to, and a wrong login, end with its answer.
  auto failure = Fetch(Url(TestCertificates::kExpired));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->StatusCode(), 403);
  client_.ProxyPassword = "wrong";
  failure = Fetch(Url(TestCertificates::kGood));
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->StatusCode(), 401);
  EXPECT_EQ(body_, "");
}

TEST_F(HttpTlsTest, LoginGivenForHttpsIsNotSentToHttpAfterARedirect) {
  HttpTestServer plain;
  plain.Serve("/", ScriptedResponse::Page("plain"));
  client_.Username = "site";
  client_.Password = "login";
  EXPECT_FALSE(Fetch(Url(TestCertificates::kGood, "/to-plain?port=" + std::to_string(plain.Port())))
                   .has_value());
  EXPECT_EQ(body_, "plain");
  const auto requests = plain.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], "GET / HTTP/1.0\r\nHost: localhost\r\n\r\n");
}

TEST_F(HttpTlsTest, ContextOffersOpenSslsCiphersWithAes128GcmFirst) {
  const auto names = [](SSL_CTX* context) {
    std::vector<std::string> list;
    const STACK_OF(SSL_CIPHER)* ciphers = SSL_CTX_get_ciphers(context);
    for (int i = 0; i < sk_SSL_CIPHER_num(ciphers); ++i)
      list.push_back(SSL_CIPHER_get_name(sk_SSL_CIPHER_value(ciphers, i)));
    return list;
  };
  SSL_CTX* plain = SSL_CTX_new(TLS_client_method());
  ASSERT_NE(plain, nullptr);
  std::vector<std::string> defaults = names(plain);
  SSL_CTX_free(plain);
  std::vector<std::string> ours = names(SharedTlsContext());
  ASSERT_GE(ours.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(ours.begin(), ours.begin() + 5),
            (std::vector<std::string>{"TLS_AES_128_GCM_SHA256", "TLS_AES_256_GCM_SHA384",
                                      "TLS_CHACHA20_POLY1305_SHA256",
                                      "ECDHE-ECDSA-AES128-GCM-SHA256",
                                      "ECDHE-RSA-AES128-GCM-SHA256"}));
  std::sort(ours.begin(), ours.end());
  std::sort(defaults.begin(), defaults.end());
  EXPECT_EQ(ours, defaults);  // the same set: only the order differs
}

}  // namespace
}  // namespace ferrowyn
