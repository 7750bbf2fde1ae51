// The URL toolkit: splitting, directory and domain of URLs, link resolution, link
// filtering and the scope test.
#include "crawl/url_toolkit.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "base/case_folding.h"
namespace ferrowyn {
namespace {

constexpr std::string_view kHttp = "http://";
constexpr std::string_view kHttps = "https://";

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualsIgnoringLatin1Case(s.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() &&
         EqualsIgnoringLatin1Case(s.substr(s.size() - suffix.size()), suffix);
}

// `needle` must already be lower-cased.
std::size_t FindNoCase(std::string_view hay, std::string_view needle) {
  if (needle.empty()) return 0;
  if (hay.size() < needle.size()) return std::string_view::npos;
  for (std::size_t i = 0; i + needle.size() <= hay.size(); ++i) {
    std::size_t j = 0;
    while (j < needle.size() && Latin1Lower(hay[i + j]) == needle[j]) ++j;
    if (j == needle.size()) return i;
  }
  return std::string_view::npos;
}

bool ContainsNoCase(std::string_view hay, std::string_view needle) {
  return FindNoCase(hay, needle) != std::string_view::npos;
}

// Characters of code 32 and below go at both ends.
std::string_view Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

std::string_view CutBefore(std::string_view s, char c) {
  const std::size_t p = s.find(c);
  return p == std::string_view::npos ? s : s.substr(0, p);
}

std::string_view CutBefore(std::string_view s, std::string_view marker) {
  const std::size_t p = s.find(marker);
  return p == std::string_view::npos ? s : s.substr(0, p);
}

// The text after a leading "https://", else after the first "http://", or the whole text
// when it holds neither.
std::string_view AfterHttp(std::string_view link) {
  if (StartsWithNoCase(link, kHttps)) return link.substr(kHttps.size());
  const std::size_t p = FindNoCase(link, kHttp);
  return p == std::string_view::npos ? link : link.substr(p + kHttp.size());
}

bool EndsWithSlash(std::string_view s) { return !s.empty() && s.back() == '/'; }

std::string HostAndPort(const PageBase& page) {
  std::string s(page.Scheme);
  s += page.PageHost;
  if (!page.PagePort.empty()) {
    s += ':';
    s += page.PagePort;
  }
  return s;
}

}  // namespace

UrlParts SplitUrl(std::string_view url) {
  UrlParts parts;
  if (url.empty()) return parts;
  std::string_view rest;
  if (const std::size_t p = url.find("://"); p != std::string_view::npos) {
    parts.scheme = url.substr(0, p);
    rest = url.substr(p + 3);
  } else if (url[0] == '/') {
    parts.scheme = "http";
    if (url.size() > 1 && url[1] != '/') {
      parts.path = url;
      return parts;
    }
    rest = url.substr(1);
  } else if (StartsWithNoCase(url, "http:")) {
    parts.scheme = "http";
    if (url.size() > 6 && url[6] != '/') {
      parts.path = url.substr(5);
      return parts;
    }
    rest = url.size() > 6 ? url.substr(6) : std::string_view();
  } else if (StartsWithNoCase(url, "mailto:")) {
    parts.scheme = "mailto";
    rest = url.substr(url.find(':') + 1);
  } else {
    rest = url;
  }

  std::string_view authority = rest;
  if (const std::size_t slash = rest.find('/'); slash != std::string_view::npos) {
    parts.path = rest.substr(slash);
    authority = rest.substr(0, slash);
  }

  const std::size_t at = authority.rfind('@');
  const std::size_t colon = authority.rfind(':');
  const bool has_at = at != std::string_view::npos;
  const bool has_colon = colon != std::string_view::npos;
  if (!has_at && !has_colon) {
    parts.host = authority;
  } else if (has_colon && (!has_at || colon > at)) {
    const std::size_t host_start = has_at ? at + 1 : 0;
    parts.port = authority.substr(colon + 1);
    parts.host = authority.substr(host_start, colon - host_start);
  } else {
    parts.host = authority.substr(at + 1);
  }
  if (has_at) {
    const std::string_view info = authority.substr(0, at);
    if (const std::size_t c = info.find(':'); c != std::string_view::npos) {
      parts.user = info.substr(0, c);
      parts.password = info.substr(c + 1);
    } else {
      parts.user = info;
    }
  }
  return parts;
}

std::string ServerOf(std::string_view scheme, std::string_view host, std::string_view port) {
  const bool secure = EqualsIgnoringLatin1Case(scheme, "https");
  std::string number(port.empty() ? std::string_view(secure ? "443" : "80") : port);
  if (std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1));
  }
  return AsciiLower(scheme.empty() ? std::string_view("http") : scheme) + "://" + AsciiLower(host) +
         ":" + number;
}

std::string ServerOf(std::string_view url) {
  const UrlParts parts = SplitUrl(url);
  return ServerOf(parts.scheme, parts.host, parts.port);
}

void pathincludefix(std::string& path) {
  const std::size_t last = path.rfind('/');
  if (last == std::string::npos)
    path += '/';
  else
    path.resize(last + 1);
}

void DomainOf(std::string& host) {
  if (std::count(host.begin(), host.end(), '.') <= 1) return;
  const std::size_t last = host.rfind('.');
  const std::size_t second = host.rfind('.', last - 1);
  host.erase(0, second + 1);
}

std::string FileNamePart(std::string_view link) {
  const std::string_view t = AfterHttp(link);
  if (t.empty() || t.back() == '/' || t.find('/') == std::string_view::npos) return {};
  return std::string(t.substr(t.rfind('/') + 1));
}

bool HasBadUrlChar(std::string_view link) {
  return link.empty() || link.find_first_of(" ^()|[{}]\"<>`") != std::string_view::npos;
}

PageBase MakePageBase(std::string_view page_url, bool allow_https) {
  UrlParts parts = SplitUrl(page_url);
  PageBase page;
  page.AllowHttps = allow_https;
  if (allow_https && StartsWithNoCase(page_url, kHttps)) page.Scheme = kHttps;
  page.PageHost = std::move(parts.host);
  page.PagePort = std::move(parts.port);
  page.PagePath = std::move(parts.path);
  pathincludefix(page.PagePath);
  page.BaseUrl = HostAndPort(page) + page.PagePath;
  return page;
}

void ResolveLink(std::string_view value, const PageBase& page, std::vector<std::string>& RawLinks) {
  const std::string_view v = Trim(CutBefore(CutBefore(value, ' '), '>'));
  if (v.empty()) return;
  if (StartsWithNoCase(value, kHttp) || (page.AllowHttps && StartsWithNoCase(value, kHttps))) {
    if (!HasBadUrlChar(v)) RawLinks.emplace_back(v);
    return;
  }

  std::string link;
  if (v.starts_with("//")) {
    link = page.Scheme.substr(0, page.Scheme.size() - 2) + std::string(v);
  } else if (v.starts_with("/.")) {
    // Taken as a path on the page's own server, like any other host-relative link.
    link = HostAndPort(page) + std::string(v);
  } else if (v.starts_with("../")) {
    std::string_view stripped = v;
    int levels = 0;
    while (stripped.starts_with("../")) {
      stripped.remove_prefix(3);
      ++levels;
    }
    std::string_view base = page.BaseUrl;
    if (base.starts_with(page.Scheme)) base.remove_prefix(page.Scheme.size());
    if (EndsWithSlash(base)) base.remove_suffix(1);
    // The text before the first "/" is the host (and port), which is never removed: a
    // climb above the root stays at the root.
    for (int i = 0; i < levels; ++i) {
      const std::size_t slash = base.rfind('/');
      if (slash == std::string_view::npos) break;
      base = base.substr(0, slash);
    }
    if (base.empty()) return;
    link = page.Scheme + std::string(base);
    if (!EndsWithSlash(link)) link += '/';
    link += stripped;
  } else if (v.starts_with("./")) {
    link = page.BaseUrl + std::string(v.substr(2));
  } else if (v.starts_with("..")) {
    std::string_view base = page.BaseUrl;
    if (EndsWithSlash(base)) base.remove_suffix(1);
    const std::size_t slash = base.rfind('/');
    if (slash != std::string_view::npos) link = base.substr(0, slash + 1);
  } else if (v == "/") {
    link = HostAndPort(page);
  } else if (v.starts_with("/")) {
    link = HostAndPort(page) + std::string(v);
  } else {
    link = page.BaseUrl + std::string(v);
  }

  link.resize(CutBefore(link, '"').size());
  if (HasBadUrlChar(link) || link == page.Scheme) return;
  RawLinks.push_back(std::move(link));
}

std::vector<std::string> DefaultFileTypes() {
  return {".htm", ".html", ".shtml", ".shtm", ".txt", ".asp", ".stm"};
}

bool FilterLinks(const std::vector<std::string>& RawLinks, const LinkFilterSettings& settings,
                 const std::function<void(const std::string&)>& AddMailAddress,
                 const std::atomic<bool>* Stopping, std::vector<std::string>& Candidates) {
  static constexpr std::string_view kNotFollowed[] = {
      "gopher://", "javascript:", "https://", "ftp://", "news://", "file://", "telnet://"};
  Candidates.clear();
  std::unordered_set<std::string> seen;  // folded forms of the candidates so far
  for (const std::string& raw : RawLinks) {
    if (Stopping && Stopping->load()) {
      Candidates.clear();
      return false;
    }
    std::string_view link = raw;
    // "?target=", "mailto:" and the schemes not followed each hold a byte that most links
    // lack; their searches are made only where it occurs.
    if (link.find('?') != std::string_view::npos) {
      if (const std::size_t p = FindNoCase(link, "?target="); p != std::string_view::npos)
        link = link.substr(0, p);
    }
    link = CutBefore(link, ";$");
    link = CutBefore(link, '#');

    const bool scripted = link.find('?') != std::string_view::npos;
    if (settings.IgnoreScripts && scripted) continue;
    link = Trim(link);
    if (link.empty()) continue;

    const bool has_colon = link.find(':') != std::string_view::npos;
    if (has_colon && ContainsNoCase(link, "mailto:")) {
      if (settings.GrabMail) {
        std::string_view address = link;
        if (const std::size_t slash = address.rfind('/'); slash != std::string_view::npos)
          address = address.substr(slash + 1);
        address = address.size() > 7 ? address.substr(7) : std::string_view();
        if (const std::size_t eq = address.find('='); eq != std::string_view::npos)
          address = address.substr(eq + 1);
        if (address.find('@') != std::string_view::npos && AddMailAddress)
          AddMailAddress(std::string(address));
      }
      continue;
    }
    if (has_colon &&
        std::any_of(std::begin(kNotFollowed), std::end(kNotFollowed),
                    [&](std::string_view scheme) {
                      return !(settings.AllowHttps && scheme == kHttps) &&
                             ContainsNoCase(link, scheme);
                    }))
      continue;

    bool followed = EndsWithSlash(link) || scripted;
    if (!followed) {
      const std::string_view t = AfterHttp(link);
      const std::size_t slash = t.rfind('/');
      if (slash == std::string_view::npos) {
        followed = true;
      } else {
        const std::string_view name = t.substr(slash + 1);
        followed = name.find('.') == std::string_view::npos ||
                   std::any_of(settings.FileTypes.begin(), settings.FileTypes.end(),
                               [&](const std::string& type) {
                                 return !type.empty() && EndsWithNoCase(name, type);
                               });
      }
    }
    if (!followed) continue;
    if (seen.insert(Latin1Lower(link)).second) Candidates.emplace_back(link);
  }
  return true;
}

CrawlOrigin MakeCrawlOrigin(std::string_view start_url, std::string_view scope,
                            std::string_view filter) {
  CrawlOrigin origin;
  origin.crawlscope = scope;
  origin.filter = Latin1Lower(filter);
  AdoptStartUrl(origin, start_url);
  origin.loginserver = ServerOf(start_url);
  // A directory restriction on the root is a server restriction.
  if (origin.crawlscope == kScopeDirectory && origin.startpath == "/")
    origin.crawlscope = kScopeServer;
  return origin;
}

bool IsHttpsUpgrade(std::string_view from, std::string_view to) {
  const UrlParts a = SplitUrl(from), b = SplitUrl(to);
  return ServerOf("http", a.host, "80") == ServerOf(a.scheme, a.host, a.port) &&
         ServerOf("https", b.host, "443") == ServerOf(b.scheme, b.host, b.port) &&
         AsciiLower(a.host) == AsciiLower(b.host);
}

void AdoptStartUrl(CrawlOrigin& origin, std::string_view url) {
  UrlParts parts = SplitUrl(url);
  origin.startpath = std::move(parts.path);
  pathincludefix(origin.startpath);
  origin.starthost = std::move(parts.host);
  origin.startdomain = origin.starthost;
  DomainOf(origin.startdomain);
}

bool InScope(const CrawlOrigin& origin, std::string_view candidate) {
  const std::string& scope = origin.crawlscope;
  if (scope == kScopeNone) return true;
  if (scope == kScopeFilter)
    return Latin1Lower(candidate).find(Latin1Lower(origin.filter)) != std::string::npos;

  const UrlParts parts = SplitUrl(candidate);
  if (scope == kScopeServer) return parts.host == origin.starthost;
  if (scope == kScopeDomain) {
    std::string domain = parts.host;
    DomainOf(domain);
    return domain == origin.startdomain;
  }
  if (scope == kScopeDirectory) {
    if (parts.host != origin.starthost) return false;
    const std::string name = FileNamePart(candidate);
    std::string p2;
    if ((!name.empty() && name.find_first_of(".?=") == std::string::npos) ||
        (name.empty() && !EndsWithSlash(candidate)))
      p2 = SplitUrl(std::string(candidate) + "/").path;
    std::string d = parts.path;
    pathincludefix(d);
    const std::size_t n = origin.startpath.size();
    return d.compare(0, n, origin.startpath) == 0 || p2.compare(0, n, origin.startpath) == 0;
  }
  return false;
}

}  // namespace ferrowyn
