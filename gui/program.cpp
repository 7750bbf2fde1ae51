// The program's windows in their start-up order.
#include "gui/program.h"

#include <QApplication>

#include "gui/about_form.h"
#include "gui/help_window.h"
#include "gui/main_window.h"
#include "gui/print_query.h"
#include "gui/setup_form.h"
#include "gui/viewer.h"

namespace ferrowyn::gui {

void ProgramOperations::ShowSetup(Tsearchmain& main) {
  if (setup != nullptr) setup->exec();
  main.NotifyChanged();  // the dialog may have cleared the histories
}

bool ProgramOperations::ShowHelp(int context) {
  if (help == nullptr) return false;
  // The help window reports a page it cannot load itself; the caller's own report
  // would say the same a second time.
  help->ShowTopic(context);
  return true;
}

void ProgramOperations::ShowTutorial(Tsearchmain&) {
  if (tutorial != nullptr) tutorial->ShowTutorial();
}

void ProgramOperations::ShowAbout(Tsearchmain&) {
  if (port == nullptr) return;
  // The main window is disabled while a box shows, so this happens only when asked
  // from elsewhere: the one box comes forward.
  if (about) {
    about->raise();
    return;
  }
  about = new Taboutform(*port, mainwindow);
  about->show();
}

Program::Program(UserPort& port, SettingsStore store, std::string programdir,
                 std::vector<std::string> arguments, QString helpdirectory,
                 QString tutorialdirectory)
    : setupstore_(store) {
  controller_ = std::make_unique<Tsearchmain>(port, std::move(store), programdir, live_,
                                              operations_, std::move(arguments));
  window_ = std::make_unique<MainWindow>(*controller_);
  operations_.mainwindow = window_.get();
  help_ = std::make_unique<HelpWindow>(std::move(helpdirectory), port, window_.get());
  help_->setWindowFlag(Qt::Window);
  operations_.help = help_.get();
  operations_.port = &port;
  tutorial_ = std::make_unique<Ttutorialform>(std::move(tutorialdirectory), port);
  operations_.tutorial = tutorial_.get();
  QApplication::setApplicationDisplayName(QStringLiteral("Ferrowyn!"));
  setuplogic_ = std::make_unique<SetupDialogLogic>(setupstore_, std::move(programdir), live_,
                                                   controller_->state().fields, port);
  setup_ = std::make_unique<Tsetupform>(*setuplogic_, live_, *help_, window_.get());
  operations_.setup = setup_.get();
  // The mail miner is created here once it exists.
  HelpWindow* help = help_.get();
  viewer_ = std::make_unique<Tviewer>(
      controller_->store(), port, [help](int topic) { help->ShowTopic(topic); }, window_.get());
  window_->AttachViewer(*viewer_, [help](int topic) { help->ShowTopic(topic); });
  BindQueryPrinting(
      window_->findChild<QAction*>(QStringLiteral("Print1")), *controller_,
      [help](int topic) { help->ShowTopic(topic); }, window_.get());
}

Program::~Program() {
  delete operations_.about.data();
  viewer_.reset();
  operations_.setup = nullptr;
  operations_.help = nullptr;
  operations_.mainwindow = nullptr;
  setup_.reset();
  setuplogic_.reset();
  operations_.tutorial = nullptr;
  tutorial_.reset();
  help_.reset();
  window_.reset();
}

}  // namespace ferrowyn::gui
