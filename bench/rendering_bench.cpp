// Graphic-free rendering speed on large pages: the text-only conversion, the line cutting,
// the highlighting and a whole query-result rendering at 100 KB and 1 MB (time per KB
// should stay flat), with the slow references beside them at 100 KB for the record.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/literal_rendering.h"
#include "view/highlighting.h"
#include "view/page_rendering.h"
#include "view/text_rendering.h"

namespace {

// A long page as the crawl stores it: one line of headings, paragraphs, breaks, tables,
// links, comments and entities, with the keywords scattered through it.
std::string GeneratedPage(std::size_t size) {
  std::mt19937 rng(777);
  const char* words[] = {"river", "stone", "the", "of", "Castle", "garden", "and",  "key",
                         "a",     "map",   "Key", "in", "report", "tower",  "keys", "old"};
  auto text = [&](int n) {
    std::string t;
    for (int i = 0; i < n; ++i) t += std::string(i ? " " : "") + words[rng() % 16];
    return t;
  };
  std::string page = " <html><head><title>Castle key report</title><style>p{}</style></head>";
  while (page.size() < size) {
    switch (rng() % 6) {
      case 0:
        page += "<h2>" + text(3) + "</h2>";
        break;
      case 1:
        page += "<p>" + text(40) + ".<br>" + text(12) + "&nbsp;" + text(5) + "</p>";
        break;
      case 2:
        page += "<table><tr><td>" + text(2) + "</td><td>" + text(3) + "</td></tr></table>";
        break;
      case 3:
        page += "<a href=\"/key/" + std::to_string(rng() % 500) + ".htm\">" + text(3) + "</a> ";
        break;
      case 4:
        page += "<!-- " + text(6) + " --><br><br><br>";
        break;
      default:
        page += "<ul><li>" + text(5) + "<li>" + text(4) + "</ul>";
    }
  }
  return page + "</body></html>";
}

const std::vector<std::string> kKeywords = {"key", "castle garden", "map"};

void BM_FormatHtmlTags(benchmark::State& state) {
  const std::string page = GeneratedPage(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ferrowyn::formathtmltags(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_FormatHtmlTags)->Arg(100 << 10)->Arg(1 << 20);

void BM_TextOnlyLines(benchmark::State& state) {
  const std::string formatted =
      ferrowyn::formathtmltags(GeneratedPage(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(ferrowyn::TextOnlyLines(formatted));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * formatted.size()));
}
BENCHMARK(BM_TextOnlyLines)->Arg(100 << 10)->Arg(1 << 20);

void BM_HighlightWholeWords(benchmark::State& state) {
  const std::string page = GeneratedPage(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(ferrowyn::highlightkeywords(page, kKeywords, "#FF0000", false, true));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_HighlightWholeWords)->Arg(100 << 10)->Arg(1 << 20);

void BM_HighlightSubstrings(benchmark::State& state) {
  const std::string page = GeneratedPage(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(ferrowyn::highlightkeywords(page, kKeywords, "#FF0000", true, false));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_HighlightSubstrings)->Arg(100 << 10)->Arg(1 << 20);

void BM_RenderQueryResult(benchmark::State& state) {
  const std::string record = GeneratedPage(static_cast<std::size_t>(state.range(0))) + "\r\n";
  const ferrowyn::PageHighlight highlight{kKeywords, "#FF0000", false, true, true, true};
  for (auto _ : state) benchmark::DoNotOptimize(ferrowyn::RenderPage(record, highlight));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * record.size()));
}
BENCHMARK(BM_RenderQueryResult)->Arg(100 << 10)->Arg(1 << 20);

void BM_LiteralFormatHtmlTags(benchmark::State& state) {
  const std::string page = GeneratedPage(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ferrowyn::testing::LiteralFormatHtmlTags(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_LiteralFormatHtmlTags)->Arg(100 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_LiteralTextOnlyLines(benchmark::State& state) {
  const std::string formatted =
      ferrowyn::formathtmltags(GeneratedPage(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(ferrowyn::testing::LiteralTextOnlyLines(formatted));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * formatted.size()));
}
BENCHMARK(BM_LiteralTextOnlyLines)->Arg(100 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_LiteralHighlightWholeWords(benchmark::State& state) {
  const std::string page = GeneratedPage(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(
        ferrowyn::testing::LiteralHighlightKeywords(page, kKeywords, "#FF0000", false, true));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_LiteralHighlightWholeWords)
    ->Arg(100 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
