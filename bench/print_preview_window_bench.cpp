// The query report's page printer on a 10,000-row results list: laying the report out,
// paging through it in the preview (each page painted), and writing it as a PDF file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <memory>
#include <random>
#include <string>

#include "app/report_printing.h"
#include "gui/print_preview.h"
#include "tests/support/silent_user_port.h"
#include "view/page_output.h"

namespace ferrowyn {
namespace {

constexpr int kRows = 10000;

// Results as a query lists them: URLs of 40 to 120 characters (some wrap in their
// column), hit counts, and the keywords found.
std::unique_ptr<QueryListModel> Results() {
  auto results = std::make_unique<QueryListModel>();
  std::mt19937 rng(18);
  for (int i = 0; i < kRows; ++i) {
    std::string url = "http://www.example.com/";
    const int length = 40 + static_cast<int>(rng() % 80);
    while (static_cast<int>(url.size()) < length) url += static_cast<char>('a' + rng() % 26);
    url += "/" + std::to_string(i) + ".htm";
    results->AppendRow(url, std::to_string(rng() % 500), i % 3 == 0 ? "All" : "tide | moon");
  }
  return results;
}

LiveSettings Fonts() {
  LiveSettings live;
  live.titledetails = "Times New Roman,12,Bold,Black,Underline";
  live.subtitledetails = "Times New Roman,10,Red";
  live.bodydetails = "Times New Roman,9,Blue";
  return live;
}

void BM_LayOutReport(benchmark::State& state) {
  const auto results = Results();
  const LiveSettings live = Fonts();
  int pages = 0;
  for (auto _ : state) {
    TPagePrinter printer;
    WriteQueryReport(printer, live, "tides.fwb", *results);
    pages = printer.PageCount();
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_LayOutReport)->Unit(benchmark::kMillisecond);

// One press of a page button and the page painted at 100%.
void BM_PreviewPaging(benchmark::State& state) {
  const auto results = Results();
  const LiveSettings live = Fonts();
  testing::SilentUserPort port;
  gui::Tprintdlg* dialog = gui::ShowPrintPreview(port, {}, gui::kHelpQueryReport, nullptr);
  WriteQueryReport(dialog->PagePrinter1(), live, "tides.fwb", *results);
  dialog->EndDoc();
  QWidget* page = dialog->findChild<QScrollArea*>("PagePrinter1")->widget();
  QApplication::processEvents();
  for (auto _ : state) {
    TPagePrinter& printer = dialog->PagePrinter1();
    if (printer.CurrentPage() == printer.PageCount()) printer.SetCurrentPage(0);
    dialog->btnNextPageClick();
    page->repaint();
  }
  delete dialog;
}
BENCHMARK(BM_PreviewPaging)->Unit(benchmark::kMicrosecond);

void BM_WritePdf(benchmark::State& state) {
  const auto results = Results();
  TPagePrinter printer;
  WriteQueryReport(printer, Fonts(), "tides.fwb", *results);
  QTemporaryDir dir;
  for (auto _ : state) WritePdfFile(printer, dir.filePath("report.pdf"));
  state.counters["pages"] = printer.PageCount();
}
BENCHMARK(BM_WritePdf)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ferrowyn

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
