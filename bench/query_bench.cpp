// Query throughput: a query over a site file of 10,000 generated pages through the
// search page, with 1 and 4 query slots, for one keyword and for three keywords in Any
// and All mode, reported as MB of query text per second; beside `grep -c -F -i` and
// `rg -c -F -i` over the same texts written as files, in the same run; and a query's time
// by stage over a site file of the same pages: open, read and expand, expand alone, match,
// and the whole query, first (with the preparation pass) and later (BM_Stage/...).
//
//   ferrowyn_bench_query [--benchmark_filter=...]
// FERROWYN_QUERY_BENCH_PAGES sets the number of pages (default 10000).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/search_center.h"
#include "base/user_port.h"
#include "query/keyword_parsing.h"
#include "query/page_matching.h"
#include "store/item_coder.h"
#include "store/record_store.h"
#include "store/site_layout.h"
#include "tests/support/silent_user_port.h"

namespace {

using namespace ferrowyn;

int PageCount() {
  const char* pages = std::getenv("FERROWYN_QUERY_BENCH_PAGES");
  return pages != nullptr ? std::max(1, std::atoi(pages)) : 10000;
}

// English-like text: words from a fixed vocabulary, some capitalised, with punctuation
// and tag remnants, 3 to 9 KB a page. "harbour" is rare, "ferry" common, "lighthouse"
// in about one page of ten.
std::vector<std::string> GeneratePages(int count) {
  static const char* const kWords[] = {
      "the",    "of",    "and",     "to",      "in",      "a",        "is",     "that",
      "for",    "it",    "as",      "was",     "with",    "be",       "by",     "on",
      "not",    "he",    "this",    "are",     "or",      "his",      "from",   "at",
      "which",  "but",   "have",    "an",      "had",     "they",     "you",    "were",
      "their",  "one",   "all",     "we",      "can",     "her",      "has",    "there",
      "been",   "if",    "more",    "when",    "will",    "would",    "who",    "so",
      "ferry",  "water", "station", "network", "library", "document", "server", "query",
      "window", "index", "record",  "page",    "search",  "retrieve", "link",   "site"};
  std::mt19937 random(20261209);
  std::vector<std::string> pages;
  pages.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::string text;
    const std::size_t size = 3000 + random() % 6000;
    while (text.size() < size) {
      std::string word = kWords[random() % std::size(kWords)];
      if (random() % 12 == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
      text += ' ';
      text += word;
      if (random() % 15 == 0) text += ",";
      if (random() % 40 == 0) text += " <b>ferry</b>";
    }
    if (i % 10 == 0) text += " lighthouse";
    if (i % 997 == 0) text += " Harbour";
    pages.push_back(std::move(text));
  }
  return pages;
}

struct Site {
  QTemporaryDir dir;
  std::vector<std::string> pages;
  std::uint64_t bytes = 0;
  std::string files;  // the pages written one file each, for grep and rg
};

Site& TheSite() {
  static Site* site = [] {
    auto* made = new Site;
    made->pages = GeneratePages(PageCount());
    made->files = made->dir.path().toStdString() + "/pages";
    std::filesystem::create_directories(made->files);
    for (std::size_t i = 0; i < made->pages.size(); ++i) {
      made->bytes += made->pages[i].size();
      std::ofstream(made->files + "/" + std::to_string(i) + ".txt", std::ios::binary)
          << made->pages[i];
    }
    return made;
  }();
  return *site;
}

const std::string& SiteFile();

// A controller over a copy of the site file, prepared by a first query.
struct Controller {
  QTemporaryDir dir;
  testing::SilentUserPort port;
  LiveSettings live;
  SearchOperations ops;
  std::unique_ptr<Tsearchmain> main;

  explicit Controller(int slotcount) {
    const std::string programdir = dir.path().toStdString();
    live.querybar = slotcount;
    main = std::make_unique<Tsearchmain>(port, SettingsStore(programdir + "/settings.ini"),
                                         programdir, live, ops, std::vector<std::string>{});
    const std::string copy = programdir + "/copy.fwb";
    std::filesystem::copy_file(SiteFile(), copy);
    TQDB& qdb = main->QDB();
    qdb.SetFileName(copy);
    qdb.SetReadOnly(true);
    main->state().siteloaded = true;
    Query("harbour", true);
  }

  void Query(const std::string& keywords, bool any) {
    main->state().fields.querysearch.text = keywords;
    main->state().any = any;
    main->executequery();
    QTimer tick;
    tick.start(50);
    QEventLoop loop;
    while (main->state().queryactive || main->queries().AnyWorkerRunning()) {
      loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
  }
};

void BM_Query(benchmark::State& state, const std::string& keywords, bool any) {
  Controller controller(static_cast<int>(state.range(0)));
  for (auto _ : state) controller.Query(keywords, any);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheSite().bytes));
  state.counters["rows"] = controller.main->querylist().rowCount();
}

void BM_Tool(benchmark::State& state, const std::string& command) {
  const std::string line = command + " " + TheSite().files + " > /dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(line.c_str()) == -1) state.SkipWithError("the tool could not be started");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheSite().bytes));
}

// --- A query's time by stage, over a site file of the same pages as the crawl stores them
// (both records of each page, compressed, and the three list records of a saved site).

const std::string& SiteFile() {
  static const std::string* path = [] {
    const Site& site = TheSite();
    auto* made = new std::string(site.dir.path().toStdString() + "/site.fwb");
    TQDB store;
    store.SetCompression(true);
    store.SetFileName(*made);
    for (std::size_t i = 0; i < site.pages.size(); ++i) {
      const std::string url = "http://bench/" + std::to_string(i);
      store.AddItem("<p>display " + std::to_string(i) + "\r\n", DisplayKey(url));
      store.AddItem(site.pages[i] + "\r\n", QueryKey(url));
    }
    store.AddItem(WriteWebList({}), std::string(kWebListKey));
    store.AddItem(WriteEmail({}), std::string(kEmailKey));
    store.AddItem(WriteWebMap({}), std::string(kWebMapKey));
    store.SetFileName("");  // written back
    return made;
  }();
  return *path;
}

void SetSiteBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheSite().bytes));
}

// Open: the site file opened for reading, as ferrowyn-cli opens it, and closed unchanged.
void BM_StageOpen(benchmark::State& state) {
  for (auto _ : state) {
    TQDB store;
    store.SetFileName(SiteFile());
    store.SetReadOnly(true);
    benchmark::DoNotOptimize(store.Count());
    store.Discard();
  }
  SetSiteBytes(state);
}

// Read and expand: every query record by index, as the preparation pass reads them.
void BM_StageReadAndExpand(benchmark::State& state) {
  TQDB store;
  store.SetFileName(SiteFile());
  store.SetReadOnly(true);
  store.SetCacheSize(1024);
  for (auto _ : state) {
    std::uint64_t bytes = 0;
    for (int index = 0; index < store.Count(); ++index) {
      store.SetItemIndex(index);
      if (store.CurrentKey().rfind(kQueryPrefix, 0) != 0) continue;
      bytes += store.GetItem().size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  store.Discard();
  SetSiteBytes(state);
}

// Expand alone: the same compressed forms expanded in memory.
void BM_StageExpand(benchmark::State& state) {
  std::vector<std::string> stored;
  for (const std::string& page : TheSite().pages) {
    stored.push_back(TQDB::PrepareItem(page + "\r\n").compressed);
  }
  for (auto _ : state) {
    for (const std::string& form : stored) benchmark::DoNotOptimize(ExpandItem(form).size());
  }
  SetSiteBytes(state);
}

// Match: one worker's scanning of every page, one keyword and three in All mode.
void BM_StageMatch(benchmark::State& state, const std::string& keywords, bool any) {
  PageMatcher matcher(parsekeywords(keywords), {any, false, false});
  const std::atomic<bool> stopping{false};
  for (auto _ : state) {
    for (const std::string& page : TheSite().pages) {
      benchmark::DoNotOptimize(matcher.MatchPage(page, stopping).Hits);
    }
  }
  SetSiteBytes(state);
}

// The whole query through the search page over the opened site file: the first query
// (with the preparation pass) and a later one on the same site. What a whole query costs
// beyond open + read + expand + match is the hand-out and hand-back of pages.
// The whole query through the search page over the opened site file: the first query
// (with the preparation pass) and a later one on the same site. What a whole query costs
// beyond open + read + expand + match is the hand-out and hand-back of pages.
void BM_StageWholeQuery(benchmark::State& state, bool first) {
  Controller controller(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (first) controller.main->state().queryprepared = false;
    controller.Query("lighthouse", true);
  }
  SetSiteBytes(state);
  state.counters["rows"] = controller.main->querylist().rowCount();
}

void RegisterStages() {
  const auto ms = [](benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime();
  };
  ms(benchmark::RegisterBenchmark("BM_Stage/open", BM_StageOpen));
  ms(benchmark::RegisterBenchmark("BM_Stage/read_and_expand", BM_StageReadAndExpand));
  ms(benchmark::RegisterBenchmark("BM_Stage/expand", BM_StageExpand));
  ms(benchmark::RegisterBenchmark("BM_Stage/match_one", [](benchmark::State& state) {
    BM_StageMatch(state, "lighthouse", true);
  }));
  ms(benchmark::RegisterBenchmark("BM_Stage/match_three_all", [](benchmark::State& state) {
    BM_StageMatch(state, "ferry lighthouse harbour", false);
  }));
  ms(benchmark::RegisterBenchmark("BM_Stage/first_query",
                                  [](benchmark::State& state) { BM_StageWholeQuery(state, true); })
         ->Arg(1)
         ->Arg(4));
  ms(benchmark::RegisterBenchmark("BM_Stage/later_query",
                                  [](benchmark::State& state) { BM_StageWholeQuery(state, false); })
         ->Arg(1)
         ->Arg(4));
}

void Register() {
  RegisterStages();
  const struct {
    const char* name;
    std::string keywords;
    bool any;
  } queries[] = {{"one_keyword", "lighthouse", true},
                 {"three_any", "lighthouse harbour ferry", true},
                 {"three_all", "ferry lighthouse harbour", false}};
  for (const auto& query : queries) {
    benchmark::RegisterBenchmark((std::string("BM_Query/") + query.name).c_str(),
                                 [keywords = query.keywords, any = query.any](
                                     benchmark::State& state) { BM_Query(state, keywords, any); })
        ->Arg(1)
        ->Arg(4)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(2);
  }
  const struct {
    const char* name;
    const char* command;
  } tools[] = {
      {"grep_one", "grep -r -c -F -i lighthouse"},
      {"grep_three", "grep -r -c -F -i -e lighthouse -e harbour -e ferry"},
      {"rg_one", "rg -c -F -i lighthouse"},
      {"rg_one_single_thread", "rg -j1 -c -F -i lighthouse"},
      {"rg_three", "rg -c -F -i -e lighthouse -e harbour -e ferry"},
  };
  for (const auto& tool : tools) {
    benchmark::RegisterBenchmark(
        (std::string("BM_Tool/") + tool.name).c_str(),
        [command = std::string(tool.command)](benchmark::State& state) { BM_Tool(state, command); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(2);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Register();
  // Written before any timing starts, so that the first benchmark does not pay for it.
  TheSite();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
