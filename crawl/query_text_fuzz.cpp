// Fuzz target for the query text conversion: any page text must survive it, and the linear
// version must give exactly what the slow reference gives; a difference aborts. The first
// byte picks the search-within settings and whether the rest is taken as raw bytes or as a
// list of pieces of markup (so that tags, comments and scripts are frequent).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "crawl/query_text.h"
#include "tests/support/literal_query_text.h"

namespace {

// The reference rescans the whole text after every removal; past this size it would take
// too long, so larger texts only have to survive.
constexpr std::size_t kReferenceLimit = 16384;

// clang-format off
constexpr std::string_view kPieces[] = {
    "<title>", "</TITLE>", "<!--", "-->", "<script", "</script>", "<STYLE", "</style>", "<eof>",
    "<html>", "<HEAD>", "<hr>", "</center>", "<li>", "<BR>", "<p>", "<p align", "</td>", "<td",
    "<th", "<tr", "<h1>", "</h", "<form", "<div", "</div>", "<blockquote>", "</blockquote>",
    "<a href=x>", "</a>", "<", ">", "-", "!", "/", " ", "text", "\t", "<!", "--"};
// clang-format on

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const unsigned selector = data[0];
  const ferrowyn::QueryTextSettings settings{(selector & 1) != 0, (selector & 2) != 0,
                                             (selector & 4) != 0};
  std::string text;
  if (selector & 8) {
    for (size_t i = 1; i < size; ++i) text += kPieces[data[i] % std::size(kPieces)];
  } else {
    text.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  }

  const std::string fast = ferrowyn::MakeQueryText(text, settings);
  if (fast.size() > text.size()) {
    std::fprintf(stderr, "the query text grew\n");
    std::abort();
  }
  if (text.size() <= kReferenceLimit &&
      fast != ferrowyn::testing::LiteralMakeQueryText(
                  text, settings.WithinTags, settings.WithinTitles, settings.WithinComments)) {
    std::fprintf(stderr, "query text differs from the reference\n");
    std::abort();
  }
  return 0;
}
