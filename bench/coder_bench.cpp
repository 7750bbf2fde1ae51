// Speed of the item block coder beside LZ4 on the same items: HTML pages, plain
// text and random bytes, compressed and expanded one item at a time.
#include <benchmark/benchmark.h>
#include <lz4.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "store/item_coder.h"

namespace {

using Items = std::vector<std::string>;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t TotalSize(const Items& items) {
  std::size_t total = 0;
  for (const auto& item : items) total += item.size();
  return total;
}

// HTML-like pages of a realistic structure: navigation, tables, paragraphs of
// English-like words, links with repeated prefixes.
Items GeneratedPages(std::size_t total) {
  static const char* const kWords[] = {
      "the",     "of",     "and",  "to",      "in",       "is",      "that",  "for",
      "it",      "as",     "was",  "with",    "be",       "by",      "on",    "not",
      "search",  "site",   "page", "results", "document", "example", "query", "keyword",
      "network", "server", "file", "program", "window",   "display", "text",  "options"};
  std::mt19937 rng(1234);
  auto word = [&] { return kWords[rng() % 32]; };
  Items pages;
  std::size_t made = 0;
  while (made < total) {
    std::string p =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html><head>";
    p += "<title>" + std::string(word()) + " " + word() + "</title>\n";
    p += "<link rel=\"stylesheet\" href=\"../style.css\" type=\"text/css\"></head>\n<body>\n";
    p += "<div class=\"nav\"><a href=\"index.html\">Home</a> | <a href=\"contents.html\">"
         "Contents</a> | <a href=\"search.html\">Search</a></div>\n";
    const std::size_t target = 3000 + rng() % 40000;
    while (p.size() < target) {
      switch (rng() % 4) {
        case 0:
          p += "<p>";
          for (int i = 0, n = 20 + rng() % 80; i < n; ++i) {
            p += word();
            p += (rng() % 12 == 0) ? ". " : " ";
          }
          p += "</p>\n";
          break;
        case 1:
          p += "<table border=\"0\" cellpadding=\"2\" cellspacing=\"0\">\n";
          for (int r = 0, n = 2 + rng() % 8; r < n; ++r) {
            p += "  <tr><td class=\"name\"><a href=\"" + std::string(word()) + "_" +
                 std::to_string(rng() % 100) + ".html\">" + word() + "</a></td><td>" + word() +
                 " " + word() + "</td></tr>\n";
          }
          p += "</table>\n";
          break;
        case 2:
          p += "<h2><a name=\"sec" + std::to_string(rng() % 50) + "\">" + word() + " " + word() +
               "</a></h2>\n";
          break;
        default:
          p += "<ul>\n";
          for (int r = 0, n = 2 + rng() % 6; r < n; ++r)
            p += "<li><a href=\"http://www.example.com/" + std::string(word()) + "/" + word() +
                 ".htm\">" + word() + "</a></li>\n";
          p += "</ul>\n";
      }
    }
    p += "<hr><address>Generated page</address>\n</body></html>\n";
    made += p.size();
    pages.push_back(std::move(p));
  }
  return pages;
}

// Real pages from installed documentation when there are enough of them.
const Items& HtmlPages() {
  static const Items pages = [] {
    Items found;
    std::size_t total = 0;
    std::error_code ec;
    std::vector<std::filesystem::path> paths;
    for (auto it = std::filesystem::recursive_directory_iterator("/usr/share/doc", ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      const auto& path = it->path();
      if (it->is_regular_file(ec) && (path.extension() == ".html" || path.extension() == ".htm"))
        paths.push_back(path);
    }
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) {
      std::string page = ReadFile(path);
      if (page.empty()) continue;
      total += page.size();
      found.push_back(std::move(page));
      if (total > 8 << 20) break;
    }
    if (total >= 1 << 20) {
      std::printf("html: %zu pages, %zu bytes from /usr/share/doc\n", found.size(), total);
      return found;
    }
    Items generated = GeneratedPages(4 << 20);
    std::printf("html: %zu generated pages, %zu bytes\n", generated.size(), TotalSize(generated));
    return generated;
  }();
  return pages;
}

// Plain text: the licence texts when installed, else English-like text; cut
// into items of 32 KB so that every size of item is a full piece.
const Items& PlainText() {
  static const Items items = [] {
    std::string text;
    std::error_code ec;
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/common-licenses", ec))
      if (entry.is_regular_file(ec)) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) text += ReadFile(path);
    const char* source = "/usr/share/common-licenses";
    if (text.size() < 256 << 10) {
      source = "generated";
      text.clear();
      std::mt19937 rng(99);
      static const char* const kWords[] = {"time",  "person", "year",  "way",  "day",  "thing",
                                           "man",   "world",  "life",  "hand", "part", "child",
                                           "eye",   "woman",  "place", "work", "week", "case",
                                           "point", "number", "group", "the",  "a",    "of"};
      while (text.size() < 2 << 20) {
        text += kWords[rng() % 24];
        text += rng() % 15 == 0 ? ".\n" : " ";
      }
    }
    Items cut;
    for (std::size_t at = 0; at < text.size(); at += ferrowyn::kPieceSize)
      cut.push_back(text.substr(at, ferrowyn::kPieceSize));
    std::printf("text: %zu items, %zu bytes (%s)\n", cut.size(), text.size(), source);
    return cut;
  }();
  return items;
}

const Items& RandomBytes() {
  static const Items items = [] {
    std::mt19937_64 rng(7);
    Items made;
    for (int i = 0; i < 64; ++i) {
      std::string s(ferrowyn::kPieceSize, '\0');
      for (auto& c : s) c = static_cast<char>(rng());
      made.push_back(std::move(s));
    }
    return made;
  }();
  return items;
}

const Items& Corpus(int which) {
  switch (which) {
    case 0:
      return HtmlPages();
    case 1:
      return PlainText();
    default:
      return RandomBytes();
  }
}

void Label(benchmark::State& state, const Items& items, std::size_t packed) {
  static const char* const kNames[] = {"html", "text", "random"};
  state.SetLabel(kNames[state.range(0)]);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TotalSize(items)));
  state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(TotalSize(items));
}

void BM_CoderCompress(benchmark::State& state) {
  const Items& items = Corpus(static_cast<int>(state.range(0)));
  std::string out;
  std::size_t packed = 0;
  for (auto _ : state) {
    packed = 0;
    for (const auto& item : items) {
      out.clear();
      packed += ferrowyn::CompressItem(item, out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  Label(state, items, packed);
}

void BM_CoderExpand(benchmark::State& state) {
  const Items& items = Corpus(static_cast<int>(state.range(0)));
  Items stored;
  std::size_t packed = 0;
  for (const auto& item : items) {
    stored.emplace_back();
    packed += ferrowyn::CompressItem(item, stored.back());
  }
  for (std::size_t i = 0; i < items.size(); ++i)
    if (ferrowyn::ExpandItem(stored[i]) != items[i]) state.SkipWithError("round trip differs");
  for (auto _ : state) {
    for (const auto& s : stored) {
      std::string item = ferrowyn::ExpandItem(s);
      benchmark::DoNotOptimize(item.data());
    }
  }
  Label(state, items, packed);
}

void BM_Lz4Compress(benchmark::State& state) {
  const Items& items = Corpus(static_cast<int>(state.range(0)));
  std::vector<char> out;
  std::size_t packed = 0;
  for (auto _ : state) {
    packed = 0;
    for (const auto& item : items) {
      const int bound = LZ4_compressBound(static_cast<int>(item.size()));
      if (out.size() < static_cast<std::size_t>(bound)) out.resize(bound);
      packed += static_cast<std::size_t>(
          LZ4_compress_default(item.data(), out.data(), static_cast<int>(item.size()), bound));
      benchmark::DoNotOptimize(out.data());
    }
  }
  Label(state, items, packed);
}

void BM_Lz4Decompress(benchmark::State& state) {
  const Items& items = Corpus(static_cast<int>(state.range(0)));
  Items packed_items;
  std::size_t packed = 0;
  for (const auto& item : items) {
    std::string out(LZ4_compressBound(static_cast<int>(item.size())), '\0');
    out.resize(LZ4_compress_default(item.data(), out.data(), static_cast<int>(item.size()),
                                    static_cast<int>(out.size())));
    packed += out.size();
    packed_items.push_back(std::move(out));
  }
  // LZ4 at its best: one output buffer for all items, never cleared.
  std::vector<char> item(ferrowyn::kPieceSize);
  for (auto _ : state) {
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (item.size() < items[i].size()) item.resize(items[i].size());
      LZ4_decompress_safe(packed_items[i].data(), item.data(),
                          static_cast<int>(packed_items[i].size()),
                          static_cast<int>(items[i].size()));
      benchmark::DoNotOptimize(item.data());
    }
  }
  Label(state, items, packed);
}

BENCHMARK(BM_CoderCompress)->DenseRange(0, 2);
BENCHMARK(BM_Lz4Compress)->DenseRange(0, 2);
BENCHMARK(BM_CoderExpand)->DenseRange(0, 2);
BENCHMARK(BM_Lz4Decompress)->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
