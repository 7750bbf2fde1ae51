// ferrowyn-screenshots: pictures of the program for the documentation. Crawls the
// site at the given URL from the main window, as a user would start it, and writes
// Getting Started, the main window during the crawl and after it, the site map page,
// the wizards' pages, the dialogs, and the splash window, the tutorial and the about box.
// Settings and scratch stores live in a private directory; messages go to standard
// error and questions get the answer that changes nothing.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <cstdio>

#include "gui/about_form.h"
#include "gui/dialog_screenshots.h"
#include "gui/help_window.h"
#include "gui/main_window.h"
#include "gui/program.h"
#include "gui/results_list.h"
#include "gui/tutorial_form.h"
#include "gui/viewer.h"
#include "gui/welcome.h"

namespace {

using ferrowyn::Answer;

// Answers every question with the answer that changes nothing and cancels every
// dialog; prints each message.
class AnsweringPort : public ferrowyn::UserPort {
 public:
  Answer ShowMessage(const ferrowyn::Message& message) override {
    std::fprintf(stderr, "message: %s\n", message.text.c_str());
    return message.safe_answer;
  }
  std::optional<std::string> ChooseFile(const ferrowyn::FileDialogRequest&) override {
    return std::nullopt;
  }
  ferrowyn::LoginAnswer AskLogin() override { return {ferrowyn::LoginAnswer::kNo}; }
  ferrowyn::FilterAnswer AskFilter() override { return {ferrowyn::FilterAnswer::kSkip}; }
  std::optional<ferrowyn::FontRecord> ChooseFont(const ferrowyn::FontRecord&) override {
    return std::nullopt;
  }
  std::optional<ferrowyn::Rgb> ChooseColor(ferrowyn::Rgb) override { return std::nullopt; }
  bool PrinterSetup() override { return false; }
  void ShowPleaseWait(const std::string&, const std::string&, int) override {}
  void SetPleaseWaitProgress(int) override {}
  void ClosePleaseWait() override {}
  bool OpenUrl(const std::string&) override { return false; }
  void SetClipboardText(const std::string&) override {}
};

// Serves the event loop until `done` holds; false after `limit_ms`.
template <typename Done>
bool Serve(Done done, int limit_ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > limit_ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return true;
}

bool Save(QWidget& widget, const QDir& directory, const char* name) {
  QApplication::processEvents();
  const QString path = directory.filePath(QString::fromLatin1(name));
  const bool saved = widget.grab().save(path);
  std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
  return saved;
}

// The visible top-level window of this class, if any.
QWidget* TopLevel(const char* classname) {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isVisible() && widget->inherits(classname)) return widget;
  std::fprintf(stderr, "no window %s\n", classname);
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ferrowyn"));
  if (argc != 4) {
    std::fprintf(stderr, "usage: ferrowyn-screenshots DIRECTORY URL KEYWORDS\n");
    return 2;
  }
  const QDir directory(QString::fromLocal8Bit(argv[1]));
  QTemporaryDir scratch;
  if (!directory.exists() || !scratch.isValid()) return 1;

  AnsweringPort port;
  ferrowyn::gui::Program program(
      port, ferrowyn::SettingsStore(scratch.filePath("settings.ini").toStdString()),
      scratch.path().toStdString(), {}, ferrowyn::gui::HelpWindow::DefaultHelpDirectory());
  ferrowyn::gui::MainWindow& window = program.window();
  window.resize(900, 660);
  window.show();
  Serve([&] { return !program.controller().Timer1().isActive(); }, 5000);

  bool ok = true;
  // The first start greets with Getting Started, over the disabled main window.
  QWidget* welcome = TopLevel("ferrowyn::gui::Twizardone");
  ok &= welcome != nullptr && Save(*welcome, directory, "getting-started.png");
  if (welcome != nullptr) welcome->close();

  auto* url = window.findChild<QComboBox*>(QStringLiteral("URL"));
  auto* keywords = window.findChild<QComboBox*>(QStringLiteral("querysearch"));
  auto* lower = window.findChild<QTabWidget*>(QStringLiteral("PageControl2"));
  auto* pages = window.findChild<QLabel*>(QStringLiteral("numproc"));
  url->setFocus();
  url->setEditText(QString());
  QTest::keyClicks(url, QString::fromLocal8Bit(argv[2]));
  keywords->setEditText(QString());
  QTest::keyClicks(keywords, QString::fromLocal8Bit(argv[3]));
  lower->setCurrentIndex(0);  // "Retrieval Progress": the slots at work
  QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("searchbtn")), Qt::LeftButton);

  // The fixture's slow pages keep the slots busy after the first few pages.
  const bool busy = Serve([&] { return pages->text().toInt() >= 3; }, 30000);
  ok &= busy && Save(window, directory, "main-window-crawl.png");
  Serve([&] { return !program.controller().crawlrunning(); }, 120000);
  lower->setCurrentIndex(1);
  ok &= Save(window, directory, "main-window-results.png");
  QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("ToolbarButton974")),
                    Qt::LeftButton);
  window.findChild<QTreeView*>(QStringLiteral("mainview"))->expandAll();
  auto* pagelist = window.findChild<QTreeView*>(QStringLiteral("urllistview"));
  pagelist->setCurrentIndex(pagelist->model()->index(1, 0));
  ok &= Save(window, directory, "site-map.png");

  // The first result in the viewer, its keywords marked in both panes.
  QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("ToolbarButton975")),
                    Qt::LeftButton);
  program.live().highgraph = true;
  program.live().hightext = true;
  auto* results = window.findChild<QTreeView*>(QStringLiteral("querylist"));
  results->setCurrentIndex(results->model()->index(0, 0));
  window.resultslist().keywordhighlightClick();
  ok &=
      program.viewer().isVisible() && Save(program.viewer(), directory, "viewer-query-result.png");

  // The Build and Query wizard's first two pages, over the crawled site's history, and
  // the Query wizard's first.
  window.findChild<QAction*>(QStringLiteral("DynamicBuildandQuery1"))->trigger();
  if (QWidget* wizard = TopLevel("ferrowyn::gui::Tbasicqueryform")) {
    wizard->findChild<QComboBox*>(QStringLiteral("querysearch"))->setEditText("\"site map\"");
    ok &= Save(*wizard, directory, "wizard-build-and-query-1.png");
    wizard->findChild<QStackedWidget*>(QStringLiteral("notebook"))->setCurrentIndex(1);
    ok &= Save(*wizard, directory, "wizard-build-and-query-2.png");
    wizard->close();
  } else {
    ok = false;
  }
  window.findChild<QAction*>(QStringLiteral("QueryOnly1"))->trigger();
  if (QWidget* wizard = TopLevel("ferrowyn::gui::Tonlyquery")) {
    ok &= Save(*wizard, directory, "wizard-query-1.png");
    wizard->close();
  } else {
    ok = false;
  }

  // The query report of these results in the print preview, as "&Print..." opens it.
  window.findChild<QAction*>(QStringLiteral("Print1"))->trigger();
  QWidget* preview = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->objectName() == QStringLiteral("Tprintdlg") && top->isVisible()) preview = top;
  ok &= preview != nullptr && Save(*preview, directory, "query-report-preview.png");
  if (preview != nullptr) preview->close();

  program.tutorial().ShowTutorial();
  ok &= program.tutorial().isVisible() && Save(program.tutorial(), directory, "tutorial.png");
  program.tutorial().close();
  window.findChild<QAction*>(QStringLiteral("About1"))->trigger();
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* about = qobject_cast<ferrowyn::gui::Taboutform*>(top)) {
      ok &= Save(*about, directory, "about.png");
      about->close();
    }
  }
  {
    ferrowyn::gui::Twelcome splash;
    splash.ShowNow();
    ok &= Save(splash, directory, "splash.png");
  }

  if (!ferrowyn::gui::SaveDialogScreenshots(directory.path())) {
    std::fprintf(stderr, "the dialogs' pictures could not all be written\n");
    ok = false;
  }
  return ok ? 0 : 1;
}
