// The site map page and the viewer at size: sorting 10,000 page list rows and 10,000
// results by a column, a find in the page list that runs through every row, and a 1 MB
// page opened graphic-free into both panes of the viewer (offscreen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <memory>
#include <random>
#include <string>

#include "gui/find_answer_test_util.h"
#include "gui/main_window.h"
#include "gui/page_commands.h"
#include "gui/program.h"
#include "gui/site_map_page.h"
#include "gui/viewer.h"
#include "store/site_layout.h"
#include "tests/support/silent_user_port.h"
#include "view/list_sorting.h"

namespace {

using namespace ferrowyn;
constexpr int kRows = 10000;

std::string RandomWord(std::mt19937& rng, int length) {
  std::string word;
  for (int i = 0; i < length; ++i) {
    const int letter = static_cast<int>(rng() % 52);
    word += static_cast<char>(letter < 26 ? 'a' + letter : 'A' + letter - 26);
  }
  return word;
}

// The program with a site of kRows pages in its page list and a 1 MB page in its store.
struct Site {
  Site() : programdir(dir.path().toStdString()) {
    QDir(dir.path()).mkpath("data");
    // Getting Started switched off: nothing covers the window at start-up.
    SettingsStore(programdir + "/settings.ini").Write("Defaults", "ShowFirst", "On");
    program = std::make_unique<gui::Program>(port, SettingsStore(programdir + "/settings.ini"),
                                             programdir, std::vector<std::string>{},
                                             dir.path() + "/help");
    // Showing the window empties its views, so the rows come after it.
    program->window().show();
    Tsearchmain& main = program->controller();
    std::mt19937 rng(17);
    for (int i = 0; i < kRows; ++i) {
      main.urllistview().AddRow("http://www.example.com/" + RandomWord(rng, 12) + ".htm",
                                RandomWord(rng, 30));
    }
    main.QDB().SetFileName(programdir + "/data/temp.fwt");
    std::string page = " <html><head><title>Big page</title></head><body>";
    while (page.size() < (1 << 20)) {
      page += "<h2>" + RandomWord(rng, 8) + "</h2><p>";
      for (int i = 0; i < 60; ++i) page += RandomWord(rng, 1 + rng() % 9) + " ";
      page += "<br><a href=\"x.htm\">link</a> &amp; <b>bold</b></p>";
    }
    main.QDB().AddItem(page + "</body></html>", DisplayKey(kBigPage));
    main.state().siteloaded = true;
  }
  static constexpr char kBigPage[] = "http://www.example.com/big.htm";

  QTemporaryDir dir;
  std::string programdir;
  testing::SilentUserPort port;
  std::unique_ptr<gui::Program> program;
};

// Made in main after the application object and released before it.
std::unique_ptr<Site> site_instance;
Site& TheSite() {
  if (!site_instance) site_instance = std::make_unique<Site>();
  return *site_instance;
}

void BM_SortPageList(benchmark::State& state) {
  Site& site = TheSite();
  PageListModel& rows = site.program->controller().urllistview();
  int column = 0;
  for (auto _ : state) {
    rows.sort(column, Qt::AscendingOrder);  // by URL, then by title: each a real sort
    column = 1 - column;
  }
}
BENCHMARK(BM_SortPageList)->Unit(benchmark::kMillisecond);

void BM_SortResults(benchmark::State& state) {
  QueryListModel results;
  QTreeView view;
  view.setModel(&results);
  std::mt19937 rng(5);
  for (int i = 0; i < kRows; ++i) {
    const std::string url = RandomWord(rng, 20);
    const std::string hits = std::to_string(rng() % 500);
    results.AppendRow(url, hits, RandomWord(rng, 10));
  }
  int column = 0;
  for (auto _ : state) {
    SortQueryList(results, column);  // URL, Hits, Found in turn
    column = (column + 1) % 3;
  }
}
BENCHMARK(BM_SortResults)->Unit(benchmark::kMillisecond);

// Find Again for a text only the last row holds: a scan through every row to it, then
// the short one from behind it to the end (with its message), counted as one.
void BM_FindThroughEveryRow(benchmark::State& state) {
  Site& site = TheSite();
  Tsearchmain& main = site.program->controller();
  gui::SiteMapPage& page = site.program->window().sitemappage();
  const std::string last = main.urllistview().Row(kRows - 1).Title;
  gui::testing::AnswerFind(QString::fromStdString(last), true);
  page.searchmainit(true);
  page.searchmainit(false);  // past it: from the top again next time
  for (auto _ : state) {
    page.searchmainit(false);
    if (page.findnextrow() != kRows) state.SkipWithError("the last row was not found");
    page.searchmainit(false);
  }
}
BENCHMARK(BM_FindThroughEveryRow)->Unit(benchmark::kMillisecond);

// Opening the 1 MB page graphic-free: read, both renderings, both panes loaded.
void BM_ShowMegabytePage(benchmark::State& state) {
  Site& site = TheSite();
  gui::PageCommands commands(site.program->controller(), site.program->viewer());
  for (auto _ : state) {
    commands.displayinternalnokeys(Site::kBigPage);
    QApplication::processEvents();
  }
  if (site.program->viewer().windowTitle() != QStringLiteral("Big page"))
    state.SkipWithError("the page was not shown");
}
BENCHMARK(BM_ShowMegabytePage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  site_instance.reset();
  return 0;
}
