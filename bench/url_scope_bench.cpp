// Link resolution and filtering per link, and QueueLinks per candidate on a real URL store
// (compression on, one commit per new URL as the crawl does).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "crawl/link_queue.h"
#include "crawl/url_toolkit.h"
#include "store/record_store.h"

namespace {

using namespace ferrowyn;

std::vector<std::string> Values(int n) {
  const char* forms[] = {"page%d.htm",     "./dir%d/",          "../up%d.html",
                         "/root%d.htm",    "//other/x%d.htm",   "http://host/abs%d.htm#f",
                         "run.asp?id=%d",  "mailto:a%d@b.com",  "pic%d.gif",
                         "javascript:f%d", "docs/index%d.html", "../../../deep%d/"};
  std::vector<std::string> values;
  char buf[64];
  for (int i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, forms[i % 12], i);
    values.emplace_back(buf);
  }
  return values;
}

void BM_ResolveAndFilter(benchmark::State& state) {
  const std::vector<std::string> values = Values(1000);
  const PageBase page = MakePageBase("http://host:8080/a/b/c/page.htm");
  LinkFilterSettings settings;
  settings.FileTypes = DefaultFileTypes();
  settings.GrabMail = true;
  for (auto _ : state) {
    std::vector<std::string> raw, candidates;
    for (const std::string& v : values) ResolveLink(v, page, raw);
    FilterLinks(
        raw, settings, [](const std::string&) {}, nullptr, candidates);
    benchmark::DoNotOptimize(candidates.data());
  }
  state.SetItemsProcessed(state.iterations() * values.size());
}
BENCHMARK(BM_ResolveAndFilter);

void BM_QueueLinks(benchmark::State& state) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "url_scope_bench";
  std::filesystem::create_directories(dir);
  TQDB::SetTempDirectory(dir.string());
  std::vector<std::string> candidates;
  for (int i = 0; i < state.range(0); ++i)
    candidates.push_back("http://host/dir" + std::to_string(i % 50) + "/p" + std::to_string(i) +
                         ".htm");
  const CrawlOrigin origin = MakeCrawlOrigin("http://host/", "Server", "");
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(dir / "url.fwt");
    TQDB urldb;
    urldb.SetCompression(true);
    urldb.SetFileName((dir / "url.fwt").string());
    UrlQueue queue;
    state.ResumeTiming();
    // New links, then the same links again as repeats.
    QueueLinks(candidates, {1, 0}, origin, {}, urldb, queue, {}, {});
    QueueLinks(candidates, {2, 1}, origin, {}, urldb, queue, {}, {});
    state.PauseTiming();
    urldb.SetFileName("");
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * candidates.size() * 2);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_QueueLinks)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
