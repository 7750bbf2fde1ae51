// Start-up with the splash window, and the Help menu's tutorial and about box over a
// started program. Messages go to a scripted port.
#include "gui/start_up.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include "gui/about_form.h"
#include "gui/main_window.h"
#include "gui/welcome.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn::gui {
namespace {

using testing::ScriptedUserPort;
using Strings = std::vector<std::string>;

template <typename T>
T* TopLevel() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* found = qobject_cast<T*>(widget)) return found;
  return nullptr;
}

// Writes down, in order, the splash's first painting and the main window's showing,
// each with whether the other window existed at that moment.
class StartWatcher : public QObject {
 public:
  Strings log;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && qobject_cast<Twelcome*>(watched) != nullptr &&
        (log.empty() || log.back().rfind("splash", 0) != 0)) {
      log.push_back(TopLevel<MainWindow>() ? "splash painted beside a main window"
                                           : "splash painted");
    }
    if (event->type() == QEvent::Show && qobject_cast<MainWindow*>(watched) != nullptr)
      log.push_back(TopLevel<Twelcome>() ? "main window shown beside the splash"
                                         : "main window shown");
    return false;
  }
};

class StartUpTest : public ::testing::Test {
 protected:
  std::unique_ptr<Program> Start() {
    return StartProgram([this] {
      const std::string programdir = dir_.path().toStdString();
      SettingsStore store(programdir + "/settings.ini");
      // Getting Started stays away: it would hold the main window disabled.
      store.Write("Defaults", "ShowFirst", "On");
      return std::make_unique<Program>(port_, store, programdir, Strings{}, dir_.filePath("help"),
                                       dir_.filePath("tutorial"));
    });
  }

  QTemporaryDir dir_;
  ScriptedUserPort port_;
};

TEST_F(StartUpTest, SplashIsPaintedBeforeTheWindowsAndGoneWhenTheMainWindowShows) {
  StartWatcher watcher;
  qApp->installEventFilter(&watcher);
  std::unique_ptr<Program> program = Start();
  program->window().show();
  qApp->removeEventFilter(&watcher);
  EXPECT_EQ(watcher.log, (Strings{"splash painted", "main window shown"}));
}

TEST_F(StartUpTest, HelpMenuShowsTheTutorialAndTheAboutBoxOverADisabledMainWindow) {
  std::unique_ptr<Program> program = Start();
  MainWindow& window = program->window();
  window.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !program->controller().Timer1().isActive(); }));

  port_.ExpectError("Files are missing from the Ferrowyn! tutorial. Please re-install.");
  window.findChild<QAction*>("Registration1")->trigger();
  EXPECT_TRUE(program->tutorial().isVisible());
  program->tutorial().close();

  window.findChild<QAction*>("About1")->trigger();
  QPointer<Taboutform> about = TopLevel<Taboutform>();
  ASSERT_TRUE(about);
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(about->findChild<QLabel*>("version")->text().toStdString(), "Version 2.2");
  EXPECT_FALSE(window.isEnabled());

  auto* link = about->findChild<QLabel*>("homepage");
  port_.set_open_url_result(false);
  port_.ExpectError("An error occured while trying to open your web browser.");
  QTest::mouseClick(link, Qt::LeftButton);
  port_.set_open_url_result(true);
  QTest::mouseClick(link, Qt::LeftButton);
  EXPECT_EQ(port_.events(),
            (Strings{"open http://www.ferrowyn.example/", "open http://www.ferrowyn.example/"}));

  about->close();  // as its close box does
  EXPECT_TRUE(window.isEnabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return about.isNull(); }));
}

}  // namespace
}  // namespace ferrowyn::gui
