// The program's guidance windows: each wizard and Getting Started made anew on every
// start, over the main window.
#include "gui/build_wizard.h"
#include "gui/getting_started.h"
#include "gui/program.h"
#include "gui/query_wizard.h"

namespace ferrowyn::gui {

void ProgramOperations::ShowWizard(Tsearchmain& main, Wizard wizard) {
  TaskWizard* window = nullptr;
  switch (wizard) {
    case Wizard::kBasicBuild:
      window = new Tbasicbuildform(main, *this, mainwindow);
      break;
    case Wizard::kDynamicBuildAndQuery:
      window = new Tbasicqueryform(main, *this, mainwindow);
      break;
    case Wizard::kQueryOnly:
      window = new Tonlyquery(main, *this, mainwindow);
      break;
  }
  if (window != nullptr) window->show();
}

void ProgramOperations::ShowGettingStarted(Tsearchmain& main, bool showagain) {
  (new Twizardone(showagain, main, *this, mainwindow))->show();
}

}  // namespace ferrowyn::gui
