// Fuzz target for the URL toolkit: the input is a page URL and a found value separated
// by the first newline; every operation must survive it, and resolved links must be
// absolute.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "crawl/url_toolkit.h"

namespace {

bool StartsWithHttp(const std::string& s) {
  if (s.size() < 7) return false;
  for (std::size_t i = 0; i < 7; ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    if (c != "http://"[i]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ferrowyn;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nl = input.find('\n');
  const std::string_view page_url = nl == std::string_view::npos ? input : input.substr(0, nl);
  const std::string_view value =
      nl == std::string_view::npos ? std::string_view() : input.substr(nl + 1);

  const UrlParts parts = SplitUrl(input);
  std::string path = parts.path;
  pathincludefix(path);
  if (path.empty() || path.back() != '/') std::abort();
  std::string host = parts.host;
  DomainOf(host);
  (void)FileNamePart(input);
  (void)HasBadUrlChar(input);

  const PageBase page = MakePageBase(page_url);
  std::vector<std::string> links;
  if (!value.empty()) ResolveLink(value, page, links);
  ResolveLink(input, page, links);
  for (const std::string& link : links) {
    if (!StartsWithHttp(link) || HasBadUrlChar(link)) std::abort();
  }

  LinkFilterSettings settings;
  settings.FileTypes = DefaultFileTypes();
  settings.GrabMail = true;
  std::vector<std::string> raw = links;
  raw.emplace_back(input);
  std::vector<std::string> candidates;
  FilterLinks(
      raw, settings,
      [](const std::string& address) {
        if (address.find('@') == std::string::npos) std::abort();
      },
      nullptr, candidates);

  for (const char* scope : {"None", "Domain", "Server", "Directory", "Filter"}) {
    const CrawlOrigin origin = MakeCrawlOrigin(page_url, scope, value);
    for (const std::string& c : candidates) (void)InScope(origin, c);
  }
  return 0;
}
