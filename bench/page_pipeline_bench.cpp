// What a crawl worker does with each retrieved page, stage by stage, over a directory of
// real HTML pages (FERROWYN_PIPELINE_DIR; by default PostgreSQL's manual, which
// bench/crawl_bench.sh installs): splitting the received bytes into lines, assembling the
// page, its query text, its two compressed records, and link extraction with filtering.
// Reports bytes per second of page source, so the stages compare with each other and with
// the crawl's pages per second.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "crawl/http_client.h"
#include "crawl/link_extraction.h"
#include "crawl/page_assembly.h"
#include "crawl/page_capture.h"
#include "crawl/query_text.h"

namespace {

using namespace ferrowyn;

struct Site {
  std::vector<std::string> sources;  // received bytes, one page each
  std::vector<std::vector<std::string>> lines;
  std::vector<AssembledPage> pages;
  std::vector<std::string> urls;
  int64_t bytes = 0;
};

const Site& RealSite() {
  static const Site site = [] {
    Site s;
    const char* dir = std::getenv("FERROWYN_PIPELINE_DIR");
    const std::filesystem::path root =
        dir != nullptr ? dir : "/usr/share/doc/postgresql-doc-15/html";
    if (!std::filesystem::is_directory(root)) return s;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
      if (entry.path().extension() != ".html") continue;
      std::ifstream in(entry.path(), std::ios::binary);
      s.sources.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      s.urls.push_back("http://127.0.0.1/pg/" + entry.path().filename().string());
      s.bytes += static_cast<int64_t>(s.sources.back().size());
    }
    for (const std::string& source : s.sources) {
      s.lines.emplace_back();
      LoadMemoFromMemoryStream(s.lines.back(), source);
      s.pages.push_back(AssemblePage(s.lines.back()));
    }
    return s;
  }();
  return site;
}

template <typename Stage>
void RunOverSite(benchmark::State& state, Stage stage) {
  const Site& site = RealSite();
  if (site.sources.empty()) {
    state.SkipWithError("no pages: set FERROWYN_PIPELINE_DIR or install postgresql-doc-15");
    return;
  }
  for (auto _ : state) {
    for (size_t i = 0; i < site.sources.size(); ++i) stage(site, i);
  }
  state.SetBytesProcessed(state.iterations() * site.bytes);
  state.counters["pages/s"] = benchmark::Counter(static_cast<double>(site.sources.size()),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

void BM_SplitLines(benchmark::State& state) {
  RunOverSite(state, [](const Site& site, size_t i) {
    std::vector<std::string> lines;
    LoadMemoFromMemoryStream(lines, site.sources[i]);
    benchmark::DoNotOptimize(lines.data());
  });
}

void BM_AssemblePage(benchmark::State& state) {
  RunOverSite(state, [](const Site& site, size_t i) {
    benchmark::DoNotOptimize(AssemblePage(site.lines[i]).PageText.data());
  });
}

void BM_MakeQueryText(benchmark::State& state) {
  RunOverSite(state, [](const Site& site, size_t i) {
    benchmark::DoNotOptimize(MakeQueryText(site.pages[i].PageText, {}).data());
  });
}

void BM_PreparePageRecords(benchmark::State& state) {
  RunOverSite(state, [](const Site& site, size_t i) {
    const std::vector<std::string> display{site.pages[i].DisplayText};
    benchmark::DoNotOptimize(PreparePageRecords(display, site.pages[i].PageText).Display);
  });
}

void BM_ExtractLinks(benchmark::State& state) {
  const std::atomic<bool> stopping{false};
  const LinkFilterSettings filter{
      {".htm", ".html", ".shtml", ".shtm", ".txt", ".asp", ".stm"}, false, false};
  RunOverSite(state, [&](const Site& site, size_t i) {
    LinkPage page;
    page.PageText = site.pages[i].PageText;
    page.CurrentUrl = site.urls[i];
    page.Base = MakePageBase(page.CurrentUrl);
    benchmark::DoNotOptimize(ExtractLinks(page, filter, stopping, {}));
  });
}

// Everything a worker does between the end of a transfer and the page's visit to the GUI
// thread.
void BM_WholePage(benchmark::State& state) {
  const std::atomic<bool> stopping{false};
  const LinkFilterSettings filter{
      {".htm", ".html", ".shtml", ".shtm", ".txt", ".asp", ".stm"}, false, false};
  RunOverSite(state, [&](const Site& site, size_t i) {
    std::vector<std::string> lines;
    LoadMemoFromMemoryStream(lines, site.sources[i]);
    LinkPage page;
    page.CurrentUrl = site.urls[i];
    PreparePage(lines, page);
    const PreparedPage records = PreparePageRecords(lines, MakeQueryText(page.PageText, {}));
    benchmark::DoNotOptimize(records.Display);
    benchmark::DoNotOptimize(ExtractLinks(page, filter, stopping, {}));
  });
}

BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssemblePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeQueryText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreparePageRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholePage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
