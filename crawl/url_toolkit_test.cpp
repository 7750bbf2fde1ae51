// Table tests of the URL toolkit: splitting, directories, domains, file names, link
// resolution, link filtering and the scope test.
#include "crawl/url_toolkit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ferrowyn {
namespace {

TEST(SplitUrlTest, PartsOfUrls) {
  struct Case {
    std::string url, scheme, user, password, host, port, path;
  };
  const std::vector<Case> cases = {
      {"", "", "", "", "", "", ""},
      {"http://user:pw@Host.COM:8080/a/b.htm?x=1#f", "http", "user", "pw", "Host.COM", "8080",
       "/a/b.htm?x=1#f"},
      {"http://host", "http", "", "", "host", "", ""},
      {"HTTP://host/", "HTTP", "", "", "host", "", "/"},
      {"ftp://a:b@c", "ftp", "a", "b", "c", "", ""},
      // The last "@" ends the user information, its first ":" splits it.
      {"http://a@b:c@host:9/x", "http", "a@b", "c", "host", "9", "/x"},
      {"http://joe@host/x", "http", "joe", "", "host", "", "/x"},
      {"http://host?a=/b", "http", "", "", "host?a=", "", "/b"},
      // A host-relative path is a path and nothing else.
      {"/docs/a.htm", "http", "", "", "", "", "/docs/a.htm"},
      {"/", "http", "", "", "", "", ""},
      // Without "://" the rest starts at the second character.
      {"//host/x", "http", "", "", "", "", "/host/x"},
      {"http:/x/y", "http", "", "", "", "", "/x/y"},
      {"Http:a/b", "http", "", "", "", "", "/b"},
      {"mailto:joe@example.com", "mailto", "joe", "", "example.com", "", ""},
      {"MAILTO:joe@x:25", "mailto", "joe", "", "x", "25", ""},
      {"host:81/p", "", "", "", "host", "81", "/p"},
      {"page.htm", "", "", "", "page.htm", "", ""},
  };
  for (const Case& c : cases) {
    const UrlParts p = SplitUrl(c.url);
    EXPECT_EQ(p.scheme, c.scheme) << c.url;
    EXPECT_EQ(p.user, c.user) << c.url;
    EXPECT_EQ(p.password, c.password) << c.url;
    EXPECT_EQ(p.host, c.host) << c.url;
    EXPECT_EQ(p.port, c.port) << c.url;
    EXPECT_EQ(p.path, c.path) << c.url;
  }
}

TEST(UrlHelpersTest, DirectoriesDomainsFileNamesAndBadCharacters) {
  const std::vector<std::pair<std::string, std::string>> dirs = {
      {"", "/"},
      {"page.htm", "page.htm/"},
      {"/", "/"},
      {"/docs/", "/docs/"},
      {"/docs/page.htm", "/docs/"},
      {"/cgi/run?a=b/c", "/cgi/run?a=b/"},
  };
  for (const auto& [path, expected] : dirs) {
    std::string p = path;
    pathincludefix(p);
    EXPECT_EQ(p, expected) << path;
  }

  const std::vector<std::pair<std::string, std::string>> domains = {
      {"localhost", "localhost"},         {"example.com", "example.com"},
      {"www.example.com", "example.com"}, {"www.example.co.uk", "co.uk"},
      {"WWW.Example.COM", "Example.COM"}, {"", ""},
  };
  for (const auto& [host, expected] : domains) {
    std::string h = host;
    DomainOf(h);
    EXPECT_EQ(h, expected) << host;
  }

  const std::vector<std::pair<std::string, std::string>> names = {
      {"http://host", ""},
      {"http://host/", ""},
      {"http://host/docs/", ""},
      {"http://", ""},
      {"http://host/docs", "docs"},
      {"HTTP://host/a/run.exe?x=1", "run.exe?x=1"},
      {"http://host/a/run?x=1/2", "2"},
      {"x/y.htm", "y.htm"},
      {"ftp://host/y.htm", "y.htm"},
  };
  for (const auto& [link, expected] : names) EXPECT_EQ(FileNamePart(link), expected) << link;

  EXPECT_TRUE(HasBadUrlChar(""));
  for (char c : std::string(" ^()|[{}]\"<>`")) {
    EXPECT_TRUE(HasBadUrlChar(std::string("http://h/a") + c + "b")) << c;
  }
  EXPECT_FALSE(HasBadUrlChar("http://h/~a%20b;c,d'e\\f*g!h@i$j"));
}

TEST(PageBaseTest, KeepsThePort) {
  const PageBase plain = MakePageBase("http://host/a/b/page.htm");
  EXPECT_EQ(plain.PageHost, "host");
  EXPECT_EQ(plain.PagePort, "");
  EXPECT_EQ(plain.PagePath, "/a/b/");
  EXPECT_EQ(plain.BaseUrl, "http://host/a/b/");

  const PageBase ported = MakePageBase("http://joe:pw@Host:8080/a/p.htm?x=1");
  EXPECT_EQ(ported.PageHost, "Host");
  EXPECT_EQ(ported.PagePort, "8080");
  EXPECT_EQ(ported.BaseUrl, "http://Host:8080/a/");

  EXPECT_EQ(MakePageBase("http://host").BaseUrl, "http://host/");
}

// {page URL, value, expected link or "" when dropped}
struct ResolveCase {
  std::string page, value, expected;
};

void ExpectResolved(const std::vector<ResolveCase>& cases, bool allow_https) {
  for (const ResolveCase& c : cases) {
    std::vector<std::string> links;
    ResolveLink(c.value, MakePageBase(c.page, allow_https), links);
    if (c.expected.empty()) {
      EXPECT_TRUE(links.empty()) << c.page << " + " << c.value << " gave " << links[0];
    } else {
      ASSERT_EQ(links.size(), 1u) << c.page << " + " << c.value;
      EXPECT_EQ(links[0], c.expected) << c.page << " + " << c.value;
    }
  }
}

TEST(ResolveLinkTest, ResolvesAgainstThePage) {
  const std::string p = "http://host/a/b/page.htm";
  const std::string port = "http://host:8080/a/p.htm";
  const std::string root = "http://host/p.htm";
  const std::vector<ResolveCase> cases = {
      {p, "x.htm", "http://host/a/b/x.htm"},
      {p, "./x.htm", "http://host/a/b/x.htm"},
      {p, "../x.htm", "http://host/a/x.htm"},
      {p, "../../x.htm", "http://host/x.htm"},
      {p, "../../../../x.htm", "http://host/x.htm"},
      {p, "/x.htm", "http://host/x.htm"},
      {p, "/", "http://host"},
      {p, "//other/x.htm", "http://other/x.htm"},
      {p, "..", "http://host/a/"},
      {p, "..x.htm", "http://host/a/"},
      {p, "/./x.htm", "http://host/./x.htm"},
      {p, "/.hidden/", "http://host/.hidden/"},
      {p, "sub/../x.htm", "http://host/a/b/sub/../x.htm"},
      {p, "#top", "http://host/a/b/#top"},
      {p, "?a=b", "http://host/a/b/?a=b"},
      {p, "mailto:joe@x.com", "http://host/a/b/mailto:joe@x.com"},
      {p, "javascript:void", "http://host/a/b/javascript:void"},
      {p, "javascript:go()", ""},
      {p, "ftp://files/x.zip", "http://host/a/b/ftp://files/x.zip"},
      {p, "https://h/x.htm", "http://host/a/b/https://h/x.htm"},
      {"https://host/a/p.htm", "x.htm", "http://host/a/x.htm"},
      {p, "x.htm more words", "http://host/a/b/x.htm"},
      {p, "x.htm>rest", "http://host/a/b/x.htm"},
      {p, "a\"b.htm", "http://host/a/b/a"},
      {p, "{x}.htm", ""},
      {p, "> x", ""},
      // Absolute links pass unchanged, apart from the cuts.
      {p, "HTTP://Other/X.htm", "HTTP://Other/X.htm"},
      {p, "http://h/a b", "http://h/a"},
      {p, "http://h/a>b", "http://h/a"},
      {p, "http://h/a^b", ""},
      {p, "http://h/a\"b", ""},
      {p, "http://h:81/x.htm?q=1#f", "http://h:81/x.htm?q=1#f"},
      // In the root directory ".." has no parent; "../" stays at the root.
      {root, "..", ""},
      {root, "../x.htm", "http://host/x.htm"},
      // Relative links stay on the page's server, port included.
      {port, "x.htm", "http://host:8080/a/x.htm"},
      {port, "./x.htm", "http://host:8080/a/x.htm"},
      {port, "../x.htm", "http://host:8080/x.htm"},
      {port, "../../x.htm", "http://host:8080/x.htm"},
      {port, "..", "http://host:8080/"},
      {port, "/x.htm", "http://host:8080/x.htm"},
      {port, "/", "http://host:8080"},
      {port, "/.x", "http://host:8080/.x"},
      {port, "//other/x.htm", "http://other/x.htm"},
      {"http://host/cgi/run?a=b/c", "x", "http://host/cgi/run?a=b/x"},
      {"http://host", "x.htm", "http://host/x.htm"},
  };
  ExpectResolved(cases, false);
}

// With HTTPS allowed: an https page resolves with its scheme; absolute https:// links
// are taken as they are; an http page is resolved as without the setting.
TEST(ResolveLinkTest, KeepsThePageSchemeWithHttps) {
  const std::string s = "https://host/a/b/page.htm";
  const std::string port = "HTTPS://host:8443/a/p.htm";
  const std::vector<ResolveCase> cases = {
      {s, "x.htm", "https://host/a/b/x.htm"},
      {s, "./x.htm", "https://host/a/b/x.htm"},
      {s, "../x.htm", "https://host/a/x.htm"},
      {s, "../../../x.htm", "https://host/x.htm"},
      {s, "..", "https://host/a/"},
      {s, "/x.htm", "https://host/x.htm"},
      {s, "/", "https://host"},
      {s, "//other/x.htm", "https://other/x.htm"},
      {s, "http://h/x.htm", "http://h/x.htm"},
      {s, "HTTPS://h/a b", "HTTPS://h/a"},
      {s, "https://h/a^b", ""},
      {port, "../x.htm", "https://host:8443/x.htm"},
      {port, "/", "https://host:8443"},
      {"http://host/p.htm", "//other/", "http://other/"},
      {"http://host/p.htm", "https://h/x.htm", "https://h/x.htm"},
  };
  ExpectResolved(cases, true);
  EXPECT_EQ(MakePageBase(s, true).BaseUrl, "https://host/a/b/");
  EXPECT_EQ(MakePageBase(s).BaseUrl, "http://host/a/b/");
}

TEST(ResolveLinkTest, AppendsInOrder) {
  std::vector<std::string> links{"http://first/"};
  const PageBase page = MakePageBase("http://host/a/p.htm");
  ResolveLink("b.htm", page, links);
  ResolveLink("{bad}", page, links);
  ResolveLink("/c.htm", page, links);
  EXPECT_EQ(links, (std::vector<std::string>{"http://first/", "http://host/a/b.htm",
                                             "http://host/c.htm"}));
}

// {raw links, expected candidates} with the default file types.
struct FilterCase {
  std::vector<std::string> raw, expected;
};

TEST(FilterLinksTest, FollowsPagesDirectoriesAndScripts) {
  const std::vector<FilterCase> cases = {
      {{"http://host/a/p.htm#part", "http://host/a/p.htm"}, {"http://host/a/p.htm"}},
      {{"http://host/a/P.HTM", "http://host/a/p.htm"}, {"http://host/a/P.HTM"}},
      {{"http://host/pic.gif", "http://host/docs", "http://host/cgi/run.exe?x=1",
        "http://host/PAGE.HTML", "http://host/dir/", "http://host"},
       {"http://host/docs", "http://host/cgi/run.exe?x=1", "http://host/PAGE.HTML",
        "http://host/dir/", "http://host"}},
      {{"http://host/a.htm?TARGET=_top"}, {"http://host/a.htm"}},
      {{"http://host/a.gif?target=x"}, {}},
      {{"http://host/a.htm;$sessionid$"}, {"http://host/a.htm"}},
      {{"http://host/#"}, {"http://host/"}},
      {{"http://host/a.htm  "}, {"http://host/a.htm"}},
      {{"http://host/a.pdf#x?y"}, {}},
      {{"http://host/v1.2/"}, {"http://host/v1.2/"}},
      {{"http://host/v1.2/page"}, {"http://host/v1.2/page"}},
      {{"http://host/a/javascript:go", "http://host/a/ftp://x/", "http://host/a/https://x/",
        "http://host/a/News://x", "http://host/gopher://g", "http://host/file://f",
        "http://host/telnet://t", "http://host/ok.txt"},
       {"http://host/ok.txt"}},
      {{"http://host/a/mailto:joe@x.com"}, {}},
  };
  LinkFilterSettings settings;
  settings.FileTypes = DefaultFileTypes();
  for (const FilterCase& c : cases) {
    std::vector<std::string> candidates{"stale"};
    EXPECT_TRUE(FilterLinks(c.raw, settings, {}, nullptr, candidates));
    EXPECT_EQ(candidates, c.expected) << c.raw[0];
  }

  // With HTTPS allowed, https:// links are followed like http:// links; other schemes
  // are still dropped.
  settings.AllowHttps = true;
  std::vector<std::string> secure;
  EXPECT_TRUE(FilterLinks({"https://host/a.htm", "HTTPS://host.com", "https://host/pic.gif",
                           "https://host/dir/", "http://host/a/https://x/",
                           "https://host/gopher://g", "https://host/A.HTM", "http://host/a.htm"},
                          settings, {}, nullptr, secure));
  EXPECT_EQ(secure, (std::vector<std::string>{"https://host/a.htm", "HTTPS://host.com",
                                              "https://host/dir/", "http://host/a/https://x/",
                                              "http://host/a.htm"}));
  settings.AllowHttps = false;

  // ".htm" does not match the end of "page.html"; comparison ignores case.
  settings.FileTypes = {".HTM"};
  std::vector<std::string> candidates;
  FilterLinks({"http://host/page.html", "http://host/page.htm"}, settings, {}, nullptr, candidates);
  EXPECT_EQ(candidates, std::vector<std::string>{"http://host/page.htm"});
}

TEST(FilterLinksTest, IgnoreScriptsAndMailAddresses) {
  LinkFilterSettings settings;
  settings.FileTypes = DefaultFileTypes();
  settings.GrabMail = true;
  std::vector<std::string> mail;
  const auto grab = [&](const std::string& a) { mail.push_back(a); };
  const std::vector<std::string> raw = {
      "http://host/a/mailto:Joe@X.com",     "http://host/a/mailto:nobody",
      "http://host/a/mailto:?to=ann@y.org", "http://host/a/mailto:bob@z.net?subject=hi",
      "http://host/run.asp?id=3",           "http://host/a.htm",
  };
  std::vector<std::string> candidates;
  EXPECT_TRUE(FilterLinks(raw, settings, grab, nullptr, candidates));
  EXPECT_EQ(mail, (std::vector<std::string>{"Joe@X.com", "ann@y.org"}));
  EXPECT_EQ(candidates,
            (std::vector<std::string>{"http://host/run.asp?id=3", "http://host/a.htm"}));

  settings.IgnoreScripts = true;
  mail.clear();
  EXPECT_TRUE(FilterLinks(raw, settings, grab, nullptr, candidates));
  EXPECT_EQ(mail, std::vector<std::string>{"Joe@X.com"});
  EXPECT_EQ(candidates, std::vector<std::string>{"http://host/a.htm"});

  settings.IgnoreScripts = false;
  settings.GrabMail = false;
  mail.clear();
  FilterLinks(raw, settings, grab, nullptr, candidates);
  EXPECT_TRUE(mail.empty());
}

TEST(FilterLinksTest, StopsWithNoResult) {
  LinkFilterSettings settings;
  settings.FileTypes = DefaultFileTypes();
  std::atomic<bool> stopping{true};
  std::vector<std::string> candidates{"old"};
  EXPECT_FALSE(FilterLinks({"http://host/a.htm"}, settings, {}, &stopping, candidates));
  EXPECT_TRUE(candidates.empty());
  stopping = false;
  EXPECT_TRUE(FilterLinks({"http://host/a.htm"}, settings, {}, &stopping, candidates));
  EXPECT_EQ(candidates.size(), 1u);
}

TEST(CrawlOriginTest, StartUrlAndDirectoryOnRoot) {
  const CrawlOrigin o = MakeCrawlOrigin("http://www.Example.com:81/docs/intro.htm", "Directory",
                                        "Shop \xC4"
                                        "B");
  EXPECT_EQ(o.starthost, "www.Example.com");
  EXPECT_EQ(o.startpath, "/docs/");
  EXPECT_EQ(o.startdomain, "Example.com");
  EXPECT_EQ(o.crawlscope, "Directory");
  EXPECT_EQ(o.filter,
            "shop \xE4"
            "b");

  EXPECT_EQ(MakeCrawlOrigin("http://host/", "Directory", "").crawlscope, "Server");
  EXPECT_EQ(MakeCrawlOrigin("http://host", "Directory", "").crawlscope, "Server");
  EXPECT_EQ(MakeCrawlOrigin("http://host/index.htm", "Directory", "").crawlscope, "Server");
  EXPECT_EQ(MakeCrawlOrigin("http://host/", "Domain", "").crawlscope, "Domain");

  // A redirected start page moves the origin but keeps the scope.
  CrawlOrigin moved = MakeCrawlOrigin("http://host/docs/", "Directory", "");
  AdoptStartUrl(moved, "http://www.other.org/");
  EXPECT_EQ(moved.starthost, "www.other.org");
  EXPECT_EQ(moved.startpath, "/");
  EXPECT_EQ(moved.startdomain, "other.org");
  EXPECT_EQ(moved.crawlscope, "Directory");

  // The login's server carries the scheme; https has its own default port.
  EXPECT_EQ(MakeCrawlOrigin("HTTPS://Host/a/", "Server", "").loginserver, "https://host:443");
  EXPECT_EQ(ServerOf("https://host:443/"), ServerOf("https://host/"));
  EXPECT_NE(ServerOf("https://host/"), ServerOf("http://host/"));
  EXPECT_TRUE(IsHttpsUpgrade("http://Host/a.htm", "https://host:443/b/"));
  EXPECT_TRUE(IsHttpsUpgrade("http://host:80/", "HTTPS://host/"));
  EXPECT_FALSE(IsHttpsUpgrade("http://host:8080/", "https://host/"));
  EXPECT_FALSE(IsHttpsUpgrade("http://host/", "https://host:8443/"));
  EXPECT_FALSE(IsHttpsUpgrade("http://host/", "https://other/"));
  EXPECT_FALSE(IsHttpsUpgrade("https://host/", "http://host/"));
}

// {scope, start URL, filter, candidate, in scope}
struct ScopeCase {
  std::string scope, start, filter, candidate;
  bool in_scope;
};

TEST(InScopeTest, FiveScopes) {
  const std::string www = "http://www.example.com/";
  const std::string docs = "http://host/docs/intro.htm";
  const std::vector<ScopeCase> cases = {
      {"None", www, "", "http://anywhere.org/x.htm", true},
      {"Server", www, "", "http://www.example.com/a/b.htm", true},
      {"Server", www, "", "http://www.example.com:8080/x.htm", true},
      {"Server", www, "", "http://WWW.EXAMPLE.COM/x.htm", false},
      {"Server", www, "", "http://shop.example.com/", false},
      {"Domain", www, "", "http://shop.example.com/", true},
      {"Domain", www, "", "http://example.com/", true},
      {"Domain", www, "", "http://example.org/", false},
      {"Domain", www, "", "http://shop.EXAMPLE.com/", false},
      {"Directory", docs, "", "http://host/docs/a/b.htm", true},
      {"Directory", docs, "", "http://host/docs", true},
      {"Directory", docs, "", "http://host/docs/", true},
      {"Directory", docs, "", "http://host/docs/index.htm", true},
      {"Directory", docs, "", "http://host:81/docs/x.htm", true},
      {"Directory", docs, "", "http://host/other.htm", false},
      {"Directory", docs, "", "http://host/docsplus/x.htm", false},
      {"Directory", docs, "", "http://host/Docs/x.htm", false},
      {"Directory", docs, "", "http://other/docs/x.htm", false},
      {"Directory", docs, "", "http://host/docs.htm", false},
      {"Filter", www, "Shop", "http://x.org/SHOPPING/", true},
      {"Filter", www, "shop", "http://x.org/cart/", false},
      {"Filter", www, "", "http://x.org/cart/", true},
      {"Unknown", www, "", "http://www.example.com/", false},
      // Hosts and paths are compared whatever the scheme.
      {"Server", www, "", "https://www.example.com/a.htm", true},
      {"Server", "https://www.example.com/", "", "http://www.example.com/a.htm", true},
      {"Server", "https://www.example.com/", "", "https://shop.example.com/", false},
      {"Domain", "https://www.example.com/", "", "http://shop.example.com/", true},
      {"Domain", www, "", "https://example.org/", false},
      {"Directory", docs, "", "https://host/docs/a/b.htm", true},
      {"Directory", docs, "", "https://host/docs", true},
      {"Directory", "https://host/docs/", "", "http://host/docs/x.htm", true},
      {"Directory", "https://host/docs/", "", "https://host/other.htm", false},
  };
  for (const ScopeCase& c : cases) {
    const CrawlOrigin origin = MakeCrawlOrigin(c.start, c.scope, c.filter);
    EXPECT_EQ(InScope(origin, c.candidate), c.in_scope) << c.scope << " " << c.candidate;
  }
}

}  // namespace
}  // namespace ferrowyn
