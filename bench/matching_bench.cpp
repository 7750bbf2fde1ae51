// Page matching speed in MB/s of page text over generated English-like pages (5 to 20 KB,
// about 32 MB in all): one keyword and three, Any and All, with and without case and whole
// words. Beside it, for the record, the slow reference on 1 MB and a single grep process
// (grep -c -F -i, C locale) over the same text written to a temporary file.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "query/page_matching.h"
#include "tests/support/literal_page_matching.h"

namespace {

constexpr std::size_t kTotalBytes = 32u << 20;

// Pages as the query text conversion leaves them: one line of words, capitals at the start
// of sentences, some punctuation and now and then a phrase the three-keyword lists look for.
std::vector<std::string> MakePages() {
  static const char* const kWords[] = {
      "the",    "of",      "and",     "to",     "in",      "a",       "is",     "that",
      "for",    "it",      "as",      "was",    "with",    "be",      "by",     "on",
      "not",    "he",      "this",    "are",    "or",      "his",     "from",   "at",
      "which",  "but",     "have",    "an",     "had",     "they",    "you",    "were",
      "there",  "other",   "castle",  "garden", "river",   "stone",   "winter", "mill",
      "old",    "search",  "engine",  "site",   "page",    "village", "bridge", "church",
      "market", "history", "visitor", "museum", "tower",   "walls",   "north",  "south",
      "road",   "station", "opening", "hours",  "tickets", "castles", "weather"};
  constexpr std::size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);
  std::mt19937 rng(4242);
  std::vector<std::string> pages;
  std::size_t total = 0;
  while (total < kTotalBytes) {
    const std::size_t size = 5000 + rng() % 15000;
    std::string page = " ";
    bool sentence_start = true;
    while (page.size() < size) {
      std::string word = kWords[rng() % kWordCount];
      if (rng() % 600 == 0) word = "old mill";
      if (sentence_start) word[0] = static_cast<char>(word[0] - 'a' + 'A');
      page += word;
      sentence_start = false;
      switch (rng() % 16) {
        case 0:
          page += ". ";
          sentence_start = true;
          break;
        case 1:
          page += ", ";
          break;
        default:
          page += ' ';
      }
    }
    total += page.size();
    pages.push_back(std::move(page));
  }
  return pages;
}

const std::vector<std::string>& Pages() {
  static const std::vector<std::string> pages = MakePages();
  return pages;
}

std::int64_t PageBytes() {
  std::int64_t bytes = 0;
  for (const std::string& page : Pages()) bytes += static_cast<std::int64_t>(page.size());
  return bytes;
}

// Args: keyword count (1 or 3), Any, whole word, match case.
void BM_MatchPages(benchmark::State& state) {
  const std::vector<std::string> keywords =
      state.range(0) == 1 ? std::vector<std::string>{"castle"}
                          : std::vector<std::string>{"castle", "old mill", "winter"};
  const ferrowyn::MatchOptions options{state.range(1) != 0, state.range(2) != 0,
                                       state.range(3) != 0};
  ferrowyn::PageMatcher matcher(keywords, options);
  const std::atomic<bool> stopping{false};
  const std::int64_t bytes = PageBytes();  // also makes the pages before the clock runs
  std::int64_t listed = 0;
  std::int64_t hits = 0;
  for (auto _ : state) {
    listed = 0;
    hits = 0;
    for (const std::string& page : Pages()) {
      const ferrowyn::PageMatch match = matcher.MatchPage(page, stopping);
      listed += match.Matches ? 1 : 0;
      hits += match.Hits;
    }
    benchmark::DoNotOptimize(hits);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["pages"] = static_cast<double>(Pages().size());
  state.counters["listed"] = static_cast<double>(listed);
  state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_MatchPages)
    ->ArgsProduct({{1, 3}, {1, 0}, {0, 1}, {0, 1}})
    ->ArgNames({"keywords", "any", "word", "case"})
    ->Unit(benchmark::kMillisecond);

void BM_LiteralMatchPages(benchmark::State& state) {
  const ferrowyn::MatchOptions options{true, state.range(0) != 0, false};
  std::vector<std::string> pages;
  std::int64_t bytes = 0;
  for (const std::string& page : Pages()) {
    if (bytes >= (1 << 20)) break;
    pages.push_back(page);
    bytes += static_cast<std::int64_t>(page.size());
  }
  for (auto _ : state) {
    for (const std::string& page : pages)
      benchmark::DoNotOptimize(ferrowyn::literal::MatchPage(page, {"castle"}, options));
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_LiteralMatchPages)->Arg(0)->Arg(1)->ArgName("word")->Unit(benchmark::kMillisecond);

// One grep process over all pages, one page per line: the time includes starting grep and
// reading the file (from the page cache after the first run), which is small at 32 MB.
void BM_GrepCountIgnoreCase(benchmark::State& state) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "ferrowyn_matching_bench_pages.txt";
  {
    std::ofstream out(file, std::ios::binary);
    for (const std::string& page : Pages()) out << page << '\n';
  }
  const std::string command = "LC_ALL=C grep -c -F -i castle '" + file.string() + "' >/dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("grep did not run");
      break;
    }
  }
  std::filesystem::remove(file);
  state.SetBytesProcessed(state.iterations() * PageBytes());
}
BENCHMARK(BM_GrepCountIgnoreCase)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
