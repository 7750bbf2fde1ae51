// Record store speed: adding page pairs with a Commit after each pair at two
// store sizes (the cost per pair should barely grow with the store), closing
// (write-back) and reopening a large store, and the FindKey rate.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/record_store.h"

namespace {

using Clock = std::chrono::steady_clock;

// A private working directory for one benchmark run.
class BenchDir {
 public:
  BenchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "ferrowyn-store-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
    std::filesystem::create_directory(path_ + "/work");
    ferrowyn::TQDB::SetTempDirectory(path_ + "/work");
  }
  ~BenchDir() {
    ferrowyn::TQDB::SetTempDirectory("");
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  std::string Store() const { return path_ + "/site.fwb"; }

 private:
  std::string path_;
};

// About 6 KB of HTML-like text: tags, attributes and words from a small vocabulary.
std::string MakePage(std::uint32_t seed) {
  static const char* const kWords[] = {
      "the",     "search", "site",    "page",   "result", "keyword",  "index",  "record",
      "store",   "file",   "network", "server", "client", "query",    "author", "history",
      "between", "under",  "through", "within", "about",  "Ferrowyn", "market", "river"};
  std::mt19937 rng(seed);
  std::string page = "<html><head><title>Page " + std::to_string(seed) + "</title></head><body>\n";
  while (page.size() < 6000) {
    page += "<p class=\"c" + std::to_string(rng() % 9) + "\">";
    const int words = 8 + static_cast<int>(rng() % 30);
    for (int w = 0; w < words; ++w) {
      page += kWords[rng() % (sizeof kWords / sizeof *kWords)];
      page += ' ';
    }
    if (rng() % 3 == 0)
      page += "<a href=\"/section" + std::to_string(rng() % 50) + "/item" +
              std::to_string(rng() % 1000) + ".html\">more</a>";
    page += "</p>\r\n";
  }
  return page + "</body></html>\r\n";
}

// Page URLs in no particular order, as a crawl meets them.
std::string Url(std::uint32_t i) {
  std::uint64_t h = (i + 1) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 29;
  return "http://www.example.com/section" + std::to_string(h % 97) + "/page" + std::to_string(i) +
         "-" + std::to_string(h % 100000) + ".html";
}

const std::vector<std::string>& PagePool() {
  static const std::vector<std::string> pool = [] {
    std::vector<std::string> pages;
    for (std::uint32_t i = 0; i < 256; ++i) pages.push_back(MakePage(i));
    return pages;
  }();
  return pool;
}

void AddPairs(ferrowyn::TQDB& db, std::uint32_t from, std::uint32_t to) {
  const auto& pool = PagePool();
  for (std::uint32_t i = from; i < to; ++i) {
    const std::string url = Url(i);
    db.AddItem(url + "\r\n" + pool[i % pool.size()], "DISPLAYXX" + url);
    db.AddItem(pool[(i + 7) % pool.size()], "QUERYXX" + url);
    db.Commit();
  }
}

// Time per pair over the whole run, and over its last tenth (the largest store).
void BM_AddPairsWithCommit(benchmark::State& state) {
  const auto pairs = static_cast<std::uint32_t>(state.range(0));
  PagePool();
  for (auto _ : state) {
    BenchDir dir;
    ferrowyn::TQDB db;
    db.SetCacheSize(0);
    db.SetCompression(true);
    db.SetFileName(dir.Store());
    const auto start = Clock::now();
    AddPairs(db, 0, pairs - pairs / 10);
    const auto last_tenth = Clock::now();
    AddPairs(db, pairs - pairs / 10, pairs);
    const auto end = Clock::now();
    const double total = std::chrono::duration<double>(end - start).count();
    const double tail = std::chrono::duration<double>(end - last_tenth).count();
    state.SetIterationTime(total);
    state.counters["us_per_pair"] = total * 1e6 / pairs;
    state.counters["us_per_pair_last_tenth"] = tail * 1e6 / (pairs / 10);
    db.SetSaveOnClose(false);
    db.SetReadOnly(true);  // skip the write-back; it is measured below
  }
}
BENCHMARK(BM_AddPairsWithCommit)
    ->Arg(2000)
    ->Arg(20000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_CloseAndReopen(benchmark::State& state) {
  const auto pairs = static_cast<std::uint32_t>(state.range(0));
  for (auto _ : state) {
    BenchDir dir;
    ferrowyn::TQDB db;
    db.SetCompression(true);
    db.SetFileName(dir.Store());
    AddPairs(db, 0, pairs);
    const auto start = Clock::now();
    db.SetFileName("");
    const auto closed = Clock::now();
    db.SetFileName(dir.Store());
    const auto opened = Clock::now();
    state.SetIterationTime(std::chrono::duration<double>(opened - start).count());
    state.counters["close_ms"] = std::chrono::duration<double>(closed - start).count() * 1e3;
    state.counters["reopen_ms"] = std::chrono::duration<double>(opened - closed).count() * 1e3;
    state.counters["file_MB"] =
        static_cast<double>(std::filesystem::file_size(dir.Store())) / (1 << 20);
    if (db.Count() != static_cast<int>(2 * pairs)) state.SkipWithError("wrong count");
    db.SetReadOnly(true);
  }
}
BENCHMARK(BM_CloseAndReopen)
    ->Arg(20000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_FindKey(benchmark::State& state) {
  const auto pairs = static_cast<std::uint32_t>(state.range(0));
  BenchDir dir;
  ferrowyn::TQDB db;
  db.SetFileName(dir.Store());
  for (std::uint32_t i = 0; i < pairs; ++i) {
    db.AddItem("", "DISPLAYXX" + Url(i));
    db.AddItem("", "QUERYXX" + Url(i));
  }
  std::vector<std::string> keys;
  for (std::uint32_t i = 0; i < 4096; ++i)
    keys.push_back((i % 2 ? "displayxx" : "QUERYXX") + Url((i * 2654435761u) % pairs));
  std::size_t n = 0;
  for (auto _ : state) {
    if (!db.FindKey(keys[n++ & 4095])) state.SkipWithError("key not found");
  }
  state.SetItemsProcessed(state.iterations());
  db.SetReadOnly(true);
}
BENCHMARK(BM_FindKey)->Arg(20000);

}  // namespace

BENCHMARK_MAIN();
