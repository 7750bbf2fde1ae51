// Fuzz target for page assembly and link extraction: any received body must survive both,
// and the linear versions must give exactly what the slow reference gives; a difference
// aborts. The first byte picks the file types and the page's address.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "crawl/http_client.h"
#include "crawl/link_extraction.h"
#include "crawl/page_assembly.h"
#include "tests/support/literal_link_extraction.h"

namespace {

// The reference rescans the text for every link; past this size a run would take too long
// for the fuzzer to get anywhere, so larger inputs only have to survive.
constexpr size_t kReferenceLimit = 100000;

void Check(bool same, const char* what) {
  if (!same) {
    std::fprintf(stderr, "link extraction differs from the reference: %s\n", what);
    std::abort();
  }
}

void CompareScan(const std::string& text, const std::vector<std::string>& types) {
  const ferrowyn::testing::LiteralLinkScan expected =
      ferrowyn::testing::LiteralScanPage(text, types);
  const std::atomic<bool> stopping{false};
  const std::string uncommented = ferrowyn::RemoveComments(text);
  Check(ferrowyn::PageTitleOf(uncommented) == expected.title, "title");
  std::vector<std::string> values;
  const bool complete = ferrowyn::ScanLinkValues(
      uncommented, types, stopping, [&](std::string&& value) { values.push_back(value); });
  Check(complete && values == expected.values, "values");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const unsigned selector = data[0];
  const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::vector<std::vector<std::string>> type_sets = {
      {".htm", ".html", ".shtml", ".shtm", ".txt", ".asp", ".stm"}, {}, {"", ".GIF"}, {"a"}};
  const std::vector<std::string>& types = type_sets[selector % type_sets.size()];

  std::vector<std::string> lines;
  ferrowyn::LoadMemoFromMemoryStream(lines, body);
  const ferrowyn::AssembledPage page = ferrowyn::AssemblePage(lines);

  if (body.size() <= kReferenceLimit) {
    const ferrowyn::testing::LiteralAssembledPage expected =
        ferrowyn::testing::LiteralAssemblePage(lines);
    Check(page.DisplayText == expected.display_text, "display text");
    Check(page.PageText == expected.page_text, "page text");
    CompareScan(page.PageText, types);
    CompareScan(body, types);  // the raw bytes, with line breaks and NULs in them
  }

  const std::string url = (selector & 4) ? "http://host:81/a/b/c.htm" : "http://host/";
  ferrowyn::LinkPage link_page;
  link_page.PageText = page.PageText;
  link_page.CurrentUrl = url;
  link_page.Base = ferrowyn::MakePageBase(url);
  ferrowyn::LinkFilterSettings settings;
  settings.FileTypes = types;
  settings.IgnoreScripts = selector & 8;
  settings.GrabMail = selector & 16;
  const std::atomic<bool> stopping{false};
  const bool ready = ferrowyn::ExtractLinks(link_page, settings, stopping, {});
  Check(ready == !page.PageText.empty(), "result");
  return 0;
}
