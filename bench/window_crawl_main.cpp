// window_crawl: one crawl through the desktop program's main window, for the crawl
// benchmark to set beside ferrowyn-cli. The window is built and shown as at start-up
// (on whatever platform QT_QPA_PLATFORM names; the benchmark uses offscreen), the URL
// is typed and the search button pressed; at the end the page list goes to standard
// output as "URL<TAB>title" lines and the crawl's own time to standard error.
// Settings and scratch stores live in a private directory: the defaults apply.
// Usage: window_crawl URL SLOTS
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <string>

#include "cli/cli_user_port.h"
#include "gui/help_window.h"
#include "gui/main_window.h"
#include "gui/program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ferrowyn"));
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_crawl URL SLOTS\n");
    return 2;
  }
  QTemporaryDir scratch;
  if (!scratch.isValid()) return 1;
  ferrowyn::cli::CliUserPort port;
  // Getting Started switched off: nothing covers the window at start-up.
  ferrowyn::SettingsStore(scratch.filePath("settings.ini").toStdString())
      .Write("Defaults", "ShowFirst", "On");
  ferrowyn::gui::Program program(
      port, ferrowyn::SettingsStore(scratch.filePath("settings.ini").toStdString()),
      scratch.path().toStdString(), {}, ferrowyn::gui::HelpWindow::DefaultHelpDirectory());
  ferrowyn::Tsearchmain& main = program.controller();
  ferrowyn::gui::MainWindow& window = program.window();
  window.show();
  while (main.Timer1().isActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);

  // As ferrowyn-cli crawl --slots N --scope directory.
  program.live().searchbar = std::stoi(argv[2]);
  program.live().searchtype = ferrowyn::SearchType::kDirectory;
  auto* url = window.findChild<QComboBox*>(QStringLiteral("URL"));
  url->setEditText(QString());
  QTest::keyClicks(url, QString::fromLocal8Bit(argv[1]));

  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("searchbtn")), Qt::LeftButton);
  while (main.crawlrunning() || main.crawl().AnyWorkerRunning()) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  const double seconds = clock.elapsed() / 1000.0;

  const auto& rows = main.urllistview().Rows();
  for (const auto& row : rows) std::printf("%s\t%s\n", row.Url.c_str(), row.Title.c_str());
  std::fprintf(stderr, "window crawl: %zu pages in %.2f s, %.1f pages/s\n", rows.size(), seconds,
               seconds > 0 ? rows.size() / seconds : 0.0);
  return 0;
}
