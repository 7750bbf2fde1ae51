// The URL toolkit of the crawl engine: splitting URLs, directories and domains,
// turning a value found on a page into an absolute link, and filtering a page's links.
//
// Everything here is plain byte-string handling with first-occurrence searches; no URL
// standard is followed beyond what each contract states. All functions are pure (apart
// from the callbacks they are handed) and safe to call from any thread; they throw only
// std::bad_alloc.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

// The six parts of a URL; each is empty when absent.
struct UrlParts {
  std::string scheme;
  std::string user;
  std::string password;
  std::string host;
  std::string port;
  std::string path;  // from the first "/" after the authority, query and fragment included
};

// Splits a URL:
//  - "scheme://rest": the scheme is the text before the first "://";
//  - a URL beginning with "/": scheme "http"; "/x..." (second character not "/") is a
//    path and nothing else; otherwise the rest is the URL from its second character on;
//  - "http:" (any case) without "://": scheme "http"; when longer than six characters
//    and the seventh is not "/", the path is the URL from its sixth character on;
//    otherwise the rest is the URL from its seventh character on;
//  - "mailto:" (any case): scheme "mailto", the rest follows the first ":";
//  - anything else: no scheme, the whole URL is the rest.
// The rest splits at its first "/" into authority and path. In the authority, the last
// "@" ends the user information ("user:password", or all user when it has no ":") and
// a last ":" after it (or without an "@") starts the port.
UrlParts SplitUrl(std::string_view url);

// The server a URL's parts name, as one comparable text "scheme://host:port": the scheme
// and host with ASCII letters lower-cased, "http" for a missing scheme, "80" for a missing port
// ("443" with the scheme https), a
// numeric port without leading zeros. Two URLs are on the same server when these are equal; a site
// login goes only to the server it was given for.
std::string ServerOf(std::string_view scheme, std::string_view host, std::string_view port);
std::string ServerOf(std::string_view url);

// True when `to` is `from` moved from http:// on port 80 to https:// on port 443 of the
// same host (ports named or not).
bool IsHttpsUpgrade(std::string_view from, std::string_view to);

// Reduces a path, in place, to its directory: "" -> "/", a path without "/" gets "/"
// appended, a path ending in "/" stays, any other is cut after its last "/"
// ("/docs/page.htm" -> "/docs/", "/cgi/run?a=b/c" -> "/cgi/run?a=b/").
void pathincludefix(std::string& path);

// Reduces a host, in place, to its domain: a host with at most one "." is its own
// domain, otherwise the domain is the text after its second-to-last "."
// ("www.example.com" -> "example.com", "www.example.co.uk" -> "co.uk").
void DomainOf(std::string& host);

// The file name part of a link: the text after a leading "https://", else after the first
// "http://" (any case; the whole link when it holds neither) is taken; the name is empty when that text is empty, ends in
// "/" or holds no "/", otherwise it is the text after its last "/", query included.
std::string FileNamePart(std::string_view link);

// True for an empty link and for a link holding any of the 13 characters
// space ^ ( ) | [ { } ] " < > `
bool HasBadUrlChar(std::string_view link);

// Where the page whose links are resolved was retrieved from. Build it with
// MakePageBase from the page's final URL (after redirects).
struct PageBase {
  std::string PageHost;  // host of the page's URL, case kept
  std::string PagePort;  // port of the page's URL; empty when the URL names none
  std::string PagePath;  // directory of the page's URL path (pathincludefix), ends in "/"
  // "https://" for an https:// page when HTTPS is allowed, "http://" otherwise.
  std::string Scheme = "http://";
  // Absolute "https://" links are taken like absolute "http://" links.
  bool AllowHttps = false;
  // Scheme + PageHost, then ":" + PagePort when there is one, then PagePath. The port
  // is kept so that a relative link on http://host:8080/a/p.htm stays on that server.
  std::string BaseUrl;
};

PageBase MakePageBase(std::string_view page_url, bool allow_https = false);

// Resolves one value found on a page (already unquoted, trimmed and not empty) and
// appends the absolute link to `RawLinks`, or drops it.
//  - "http://..." (any case): cut before the first space and before the first ">",
//    trimmed, appended unchanged unless empty or HasBadUrlChar.
//  - Otherwise cut and trimmed the same way, then: "//x" -> "http://x"; "/x" and "/.x"
//    -> "http://" + host[:port] + value; "/" -> "http://" + host[:port]; "../"
//    repeated n times climbs n directories from BaseUrl (never above the root); "./x"
//    -> BaseUrl + "x"; ".." followed by anything else -> the parent directory of
//    BaseUrl; anything else -> BaseUrl + value (mailto:, javascript:, #top, ?a=b and
//    other schemes included, left to FilterLinks). The result is cut before its first
//    quotation mark and appended unless HasBadUrlChar or it is exactly "http://".
// Every appended link begins with "http://" (any case). With AllowHttps, "https://..."
// is taken like "http://...", and the page's Scheme stands for "http://" in the rest.
void ResolveLink(std::string_view value, const PageBase& page, std::vector<std::string>& RawLinks);

// The worker settings that FilterLinks reads.
struct LinkFilterSettings {
  // Extensions that make a file name followed, e.g. ".htm"; compared without regard to
  // case with the end of the name.
  std::vector<std::string> FileTypes;
  bool IgnoreScripts = false;  // drop links with script arguments ("?")
  bool GrabMail = false;       // hand "mailto:" addresses to AddMailAddress
  bool AllowHttps = false;     // follow "https://" links
};

// The default file types of a new installation.
std::vector<std::string> DefaultFileTypes();

// Turns `RawLinks` into the page's candidates, in order and without repeats (compared
// without regard to case): "?target=", ";$" and "#" tails are cut; links with script
// arguments are dropped when IgnoreScripts is set; "mailto:" links are never followed
// and, with GrabMail, their address (when it holds "@") goes to `AddMailAddress`;
// gopher, javascript, https (unless AllowHttps), ftp, news, file and telnet links are dropped; a link is
// followed when it ends in "/", has script arguments, has no file name, has a name
// without ".", or a name ending in one of FileTypes.
// When `Stopping` (may be null) is seen set before a link, `Candidates` is emptied and
// false returned at once; true otherwise. `Candidates` is replaced, not appended to.
// Runs on the crawl worker's thread; AddMailAddress (may be empty) is called on it.
bool FilterLinks(const std::vector<std::string>& RawLinks, const LinkFilterSettings& settings,
                 const std::function<void(const std::string&)>& AddMailAddress,
                 const std::atomic<bool>* Stopping, std::vector<std::string>& Candidates);

// The five scope names, exactly as settings and callers spell them.
inline constexpr std::string_view kScopeNone = "None";
inline constexpr std::string_view kScopeDomain = "Domain";
inline constexpr std::string_view kScopeServer = "Server";
inline constexpr std::string_view kScopeDirectory = "Directory";
inline constexpr std::string_view kScopeFilter = "Filter";

// The crawl origin, fixed when a run starts and read by every worker.
struct CrawlOrigin {
  std::string starthost;    // host of the start URL, case kept, no port
  std::string startpath;    // directory of the start URL's path, ends in "/"
  std::string startdomain;  // DomainOf(starthost)
  std::string crawlscope;   // one of the five scope names
  std::string filter;       // the filter text of a "Filter" crawl, lower-cased
  // ServerOf(the start URL as given): the only server the site login goes to. Unlike
  // the fields above it stays when the start page is redirected, save for a redirect of
  // an http:// start page to https:// on the same host with HTTPS allowed.
  std::string loginserver;
};

// The origin of a run on `start_url` (trimmed by the caller) with `scope` and `filter`
// (lower-cased here). A "Directory" scope whose start path is "/" becomes "Server".
CrawlOrigin MakeCrawlOrigin(std::string_view start_url, std::string_view scope,
                            std::string_view filter);

// Moves the origin to a redirected start URL: host, path and domain are recomputed; the
// scope name is not re-examined and the login server stays.
void AdoptStartUrl(CrawlOrigin& origin, std::string_view url);

// The scope test of one candidate link (absolute, "http://..."). Hosts, paths and
// domains compare exactly, letter case included; ports play no part. "Directory" also
// accepts a link whose "/"-appended form lies in the start directory (http://host/docs
// for a start path "/docs/"). An unknown scope name accepts nothing.
bool InScope(const CrawlOrigin& origin, std::string_view candidate);

}  // namespace ferrowyn
