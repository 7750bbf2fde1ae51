// Query text conversion speed on large pages full of tags, comments and scripts: the linear
// conversion at 100 KB and 1 MB (time per KB should stay flat) under the default settings
// and with every tag kept, and the slow reference beside it for the record.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "crawl/query_text.h"
#include "tests/support/literal_query_text.h"

namespace {

// A page text as the assembly makes it: one line of markup with headings, paragraphs,
// lists, tables, comments, a script and a style block now and then.
std::string GeneratedPageText(size_t size) {
  std::mt19937 rng(1707);
  const char* words[] = {"river", "stone", "the", "of", "Castle", "garden", "and", "winter"};
  const char* blocks[] = {"<h2 class=\"s\">%</h2>",
                          "<p>% <a href=\"page%.htm\">%</a> %.</p>",
                          "<ul><li>%</li><li><a href=x.htm>%</a></li></ul>",
                          "<table><tr><td width=50>%</td><td>%</td></tr></table>",
                          "<!-- navigation: % -->",
                          "<script type=\"text/javascript\">if (a < b) { c(\"%\"); }</script>",
                          "<style>p { margin: 0 } /* % */</style>",
                          "<div align=center><b>%</b> &amp; <i>%</i><br></div>"};
  std::string text = " <html><head><title>Castle Gardens</title></head><body>";
  while (text.size() < size) {
    for (const char* c = blocks[rng() % 8]; *c; ++c) {
      if (*c == '%') {
        text += words[rng() % 8];
      } else {
        text += *c;
      }
    }
  }
  return text + "</body></html>";
}

void BM_MakeQueryText(benchmark::State& state) {
  const std::string text = GeneratedPageText(static_cast<size_t>(state.range(0)) * 1024);
  const ferrowyn::QueryTextSettings settings{state.range(1) != 0, false, false};
  for (auto _ : state) benchmark::DoNotOptimize(ferrowyn::MakeQueryText(text, settings));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_MakeQueryText)
    ->ArgsProduct({{100, 1024}, {0, 1}})
    ->ArgNames({"KB", "WithinTags"})
    ->Unit(benchmark::kMillisecond);

void BM_LiteralMakeQueryText(benchmark::State& state) {
  const std::string text = GeneratedPageText(static_cast<size_t>(state.range(0)) * 1024);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ferrowyn::testing::LiteralMakeQueryText(text, false, false, false));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LiteralMakeQueryText)->Arg(100)->ArgName("KB")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
