// Link extraction speed on large pages with many links: the linear scan at 100 KB and 1 MB
// (time per KB should stay flat), the whole extraction with resolution and filtering, and
// the slow reference beside it for the record.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "crawl/http_client.h"
#include "crawl/link_extraction.h"
#include "crawl/page_assembly.h"
#include "tests/support/literal_link_extraction.h"

namespace {

using ferrowyn::LinkFilterSettings;

// A site's worth of real-looking HTML: navigation lists, paragraphs with inline links of
// every common form, images, comments, tables, option lists, frames and entities.
std::string GeneratedHtml(size_t size) {
  std::mt19937 rng(4242);
  const char* words[] = {"river", "stone", "the", "of", "Castle", "garden", "and",   "winter",
                         "a",     "map",   "to",  "in", "report", "tower",  "north", "old"};
  auto text = [&](int n) {
    std::string t;
    for (int i = 0; i < n; ++i) t += std::string(i ? " " : "") + words[rng() % 16];
    return t;
  };
  std::string html =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\r\n<html><head>\r\n"
      "<title>Castle Gardens &amp; Towers &mdash; Site Index</title>\r\n"
      "<meta name=\"keywords\" content=\"castle, garden\">\r\n"
      "<link rel=\"stylesheet\" href=\"/css/site.css\" type=\"text/css\">\r\n"
      "</head><body bgcolor=\"#FFFFFF\">\r\n";
  int n = 0;
  while (html.size() < size) {
    ++n;
    const unsigned sec = rng() % 40;
    const unsigned page = rng() % 2000;
    switch (rng() % 12) {
      case 0:
        html += "<ul class=\"nav\">\r\n";
        for (int i = 0; i < 6; ++i)
          html += "  <li><a href=\"/section" + std::to_string(sec) + "/item" +
                  std::to_string(rng() % 500) + ".html\">" + text(2) + "</a></li>\r\n";
        html += "</ul>\r\n";
        break;
      case 1:
        html += "<p>" + text(12) + " <a href=\"page" + std::to_string(page) + ".htm\">" + text(3) +
                "</a>, " + text(8) + " <A HREF=../archive/" + std::to_string(page) + ".shtml>" +
                text(2) + "</A>.</p>\r\n";
        break;
      case 2:
        html += "<img src=\"/img/pic" + std::to_string(page) + ".gif\" width=120 height=80 " +
                "alt=\"" + text(3) + "\">\r\n";
        break;
      case 3:
        html += "<!-- navigation block " + std::to_string(n) + ": <a href=old" +
                std::to_string(page) + ".htm> -->\r\n";
        break;
      case 4:
        html +=
            "<table border=0 cellpadding=2><tr><td><a href='detail.asp?id=" + std::to_string(page) +
            "&amp;sec=" + std::to_string(sec) + "'>" + text(2) + "</a></td><td>" + text(6) +
            "</td></tr></table>\r\n";
        break;
      case 5:
        html += "<form action=\"/cgi-bin/search\"><select name=go>\r\n";
        for (int i = 0; i < 4; ++i)
          html += "<option value=\"/topics/t" + std::to_string(rng() % 300) + ".htm\">" + text(2) +
                  "\r\n";
        html += "<option value=42>" + text(1) + "</select></form>\r\n";
        break;
      case 6:
        html += "<p>Write to <a href=\"mailto:info" + std::to_string(sec) +
                "@castle.example\">us</a> or see <a href=\"http://www.example.org/dir" +
                std::to_string(page) + "/\" target=_blank>" + text(2) + "</a>.</p>\r\n";
        break;
      case 7:
        html +=
            "<iframe name=side src=\"side" + std::to_string(sec) + ".htm\" width=200></iframe>\r\n";
        break;
      case 8:
        html += "<p>&copy; 1999 " + text(5) + " &quot;" + text(2) + "&quot; &nbsp; " + text(15) +
                "</p>\r\n";
        break;
      case 9:
        html +=
            "<a href=\"#top\">Top</a> | <a href=\"javascript:history.back()\">Back</a> | "
            "<a href=\"print" +
            std::to_string(page) + ".pdf\">Print</a><br>\r\n";
        break;
      case 10:
        html += "<script language=\"JavaScript\"><!--\r\nvar n = " + std::to_string(page) +
                ";\r\nif (n > 3) document.write('x');\r\n// --></script>\r\n";
        break;
      default:
        html += "\t\t<p align=center>" + text(20) + "</p>\r\n";
        break;
    }
  }
  html += "</body></html>\r\n";
  return html;
}

// HTML documentation installed on this machine, concatenated (and repeated) to `size`;
// empty when there is none.
std::string InstalledHtml(size_t size) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator("/usr/share/doc", error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    const std::string ext = it->path().extension().string();
    if ((ext == ".html" || ext == ".htm") && it->is_regular_file(error))
      files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  std::string html;
  while (!files.empty() && html.size() < size) {
    const size_t before = html.size();
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      html.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      if (html.size() >= size) break;
    }
    if (html.size() == before) break;
  }
  return html;
}

// The page text the crawl hands to link extraction.
std::string PageTextOf(const std::string& body) {
  std::vector<std::string> lines;
  ferrowyn::LoadMemoFromMemoryStream(lines, body);
  return ferrowyn::AssemblePage(lines).PageText;
}

const std::string& Page(bool installed, size_t size) {
  static std::map<std::pair<bool, size_t>, std::string> cache;
  std::string& page = cache[{installed, size}];
  if (page.empty()) page = PageTextOf(installed ? InstalledHtml(size) : GeneratedHtml(size));
  return page;
}

size_t SizeArg(const benchmark::State& state) { return static_cast<size_t>(state.range(0)) << 10; }

void SetCounters(benchmark::State& state, const std::string& text, size_t links) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["links"] = static_cast<double>(links);
  // Seconds per KB of page text; the reporter shows it scaled (us, ns).
  state.counters["time_per_KB"] = benchmark::Counter(
      static_cast<double>(text.size()) / 1024.0,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Comment removal, title and the keyword scan, with every value resolved.
void BM_ScanAndResolve(benchmark::State& state, bool installed) {
  const std::string& text = Page(installed, SizeArg(state));
  if (text.empty()) {
    state.SkipWithError("no HTML documentation installed");
    return;
  }
  const ferrowyn::PageBase base = ferrowyn::MakePageBase("http://www.castle.example/a/b/c.htm");
  const std::atomic<bool> stopping{false};
  size_t links = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string copy = text;
    std::vector<std::string> raw;
    state.ResumeTiming();
    const std::string uncommented = ferrowyn::RemoveComments(std::move(copy));
    benchmark::DoNotOptimize(ferrowyn::PageTitleOf(uncommented));
    ferrowyn::ScanLinkValues(uncommented, ferrowyn::DefaultFileTypes(), stopping,
                             [&](std::string&& value) { ferrowyn::ResolveLink(value, base, raw); });
    links = raw.size();
  }
  SetCounters(state, text, links);
}

// The whole extraction as the crawl worker runs it, FilterLinks included.
void BM_ExtractLinks(benchmark::State& state, bool installed) {
  const std::string& text = Page(installed, SizeArg(state));
  if (text.empty()) {
    state.SkipWithError("no HTML documentation installed");
    return;
  }
  LinkFilterSettings settings;
  settings.FileTypes = ferrowyn::DefaultFileTypes();
  settings.GrabMail = true;
  const std::atomic<bool> stopping{false};
  size_t links = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ferrowyn::LinkPage page;
    page.PageText = text;
    page.CurrentUrl = "http://www.castle.example/a/b/c.htm";
    page.Base = ferrowyn::MakePageBase(page.CurrentUrl);
    state.ResumeTiming();
    ferrowyn::ExtractLinks(page, settings, stopping, {});
    links = page.Candidates.size();
  }
  SetCounters(state, text, links);
}

// FilterLinks alone over the page's resolved links: it tests every link against all the
// candidates kept so far, so its cost grows with their number squared.
void BM_FilterLinks(benchmark::State& state) {
  const std::string& text = Page(false, SizeArg(state));
  const ferrowyn::PageBase base = ferrowyn::MakePageBase("http://www.castle.example/a/b/c.htm");
  const std::atomic<bool> stopping{false};
  std::vector<std::string> raw;
  ferrowyn::ScanLinkValues(ferrowyn::RemoveComments(text), ferrowyn::DefaultFileTypes(), stopping,
                           [&](std::string&& value) { ferrowyn::ResolveLink(value, base, raw); });
  LinkFilterSettings settings;
  settings.FileTypes = ferrowyn::DefaultFileTypes();
  std::vector<std::string> candidates;
  for (auto _ : state) ferrowyn::FilterLinks(raw, settings, {}, &stopping, candidates);
  SetCounters(state, text, candidates.size());
}

// The rescan-from-the-front reference on the same pages.
void BM_Reference(benchmark::State& state, bool installed) {
  const std::string& text = Page(installed, SizeArg(state));
  if (text.empty()) {
    state.SkipWithError("no HTML documentation installed");
    return;
  }
  std::vector<std::string> expected;
  for (auto _ : state)
    expected = ferrowyn::testing::LiteralScanPage(text, ferrowyn::DefaultFileTypes()).values;
  // The figures are only worth comparing when both give the same links.
  const std::atomic<bool> stopping{false};
  std::vector<std::string> values;
  ferrowyn::ScanLinkValues(ferrowyn::RemoveComments(text), ferrowyn::DefaultFileTypes(), stopping,
                           [&](std::string&& value) { values.push_back(value); });
  if (values != expected) state.SkipWithError("the linear scan differs from the reference");
  SetCounters(state, text, expected.size());
}

BENCHMARK_CAPTURE(BM_ScanAndResolve, generated, false)
    ->Arg(100)
    ->Arg(1024)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExtractLinks, generated, false)
    ->Arg(100)
    ->Arg(1024)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanAndResolve, installed_docs, true)
    ->Arg(100)
    ->Arg(1024)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExtractLinks, installed_docs, true)
    ->Arg(100)
    ->Arg(1024)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterLinks)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond);
// The reference costs time in the square of the page: a few runs are enough.
BENCHMARK_CAPTURE(BM_Reference, generated, false)
    ->Arg(100)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reference, generated, false)
    ->Arg(1024)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
