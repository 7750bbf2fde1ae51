// Fuzz target for page matching: the first byte picks the options, the keyword text runs to
// the first line break (64 bytes at most) and the rest is the page. The fast matcher must
// agree with the slow reference exactly; a difference aborts.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "query/keyword_parsing.h"
#include "query/page_matching.h"
#include "tests/support/literal_page_matching.h"

namespace {

constexpr std::size_t kKeywordTextLimit = 64;
// The reference copies the page at every occurrence; longer pages only have to survive.
constexpr std::size_t kReferencePageLimit = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const unsigned flags = static_cast<unsigned char>(input[0]);
  const ferrowyn::MatchOptions options{(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0};
  // Lists with repeats come from no query, but the matcher takes any list.
  const auto repeats =
      (flags & 8) != 0 ? ferrowyn::KeywordRepeats::kKeep : ferrowyn::KeywordRepeats::kDrop;

  std::string_view rest = input.substr(1);
  std::size_t end = rest.find('\n');
  if (end == std::string_view::npos || end > kKeywordTextLimit)
    end = std::min(rest.size(), kKeywordTextLimit);
  const std::vector<std::string> keywords = ferrowyn::SplitKeywords(rest.substr(0, end), repeats);
  const std::string_view page = rest.substr(std::min(rest.size(), end + 1));

  const std::atomic<bool> stopping{false};
  ferrowyn::PageMatcher matcher(keywords, options);
  const ferrowyn::PageMatch got = matcher.MatchPage(page, stopping);
  if (page.size() > kReferencePageLimit) return 0;
  // A second page through the same matcher must not see the first one's leftovers.
  const ferrowyn::PageMatch again = matcher.MatchPage(page.substr(page.size() / 2), stopping);
  if (got != ferrowyn::literal::MatchPage(page, keywords, options) ||
      again != ferrowyn::literal::MatchPage(page.substr(page.size() / 2), keywords, options)) {
    std::fprintf(stderr, "page matching differs from the reference\n");
    std::abort();
  }
  return 0;
}
