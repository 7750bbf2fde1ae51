// The desktop program's windows and the objects behind them, created in the fixed
// start-up order and released in reverse: the search-center controller and its main
// window, the setup dialog over the live settings, the help window and the viewer.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/live_settings.h"
#include "app/search_center.h"
#include "app/search_operations.h"
#include "app/settings_store.h"
#include "app/setup_dialog_logic.h"
#include "gui/tutorial_form.h"

namespace ferrowyn::gui {

class HelpWindow;
class MainWindow;
class Taboutform;
class Tsetupform;
class Tviewer;

// What the main window reaches in the windows beside it: the setup dialog, the help
// window, the tutorial, the about box and the guidance windows (wizards, Getting
// Started; guidance_windows.cpp).
class ProgramOperations : public SearchOperations {
 public:
  void ShowSetup(Tsearchmain& main) override;
  bool ShowHelp(int context) override;
  void ShowTutorial(Tsearchmain& main) override;
  // Creates the about box over `mainwindow`; it releases itself when it closes.
  void ShowAbout(Tsearchmain& main) override;
  void ShowWizard(Tsearchmain& main, Wizard wizard) override;
  void ShowGettingStarted(Tsearchmain& main, bool showagain) override;

  Tsetupform* setup = nullptr;
  HelpWindow* help = nullptr;
  Ttutorialform* tutorial = nullptr;
  UserPort* port = nullptr;
  // The parent of the about box and the guidance windows, disabled while they show.
  QWidget* mainwindow = nullptr;
  QPointer<Taboutform> about;  // the open about box, if any
};

// Lives for the whole run; GUI thread only; `port` outlives it. The constructor
// throws what the windows' creation throws (a "temp" directory that cannot be made,
// a settings store that cannot be read); the caller reports it.
class Program {
 public:
  Program(UserPort& port, SettingsStore store, std::string programdir,
          std::vector<std::string> arguments, QString helpdirectory,
          QString tutorialdirectory = Ttutorialform::DefaultTutorialDirectory());
  ~Program();

  MainWindow& window() { return *window_; }
  Tsearchmain& controller() { return *controller_; }
  Tsetupform& setup() { return *setup_; }
  HelpWindow& help() { return *help_; }
  Ttutorialform& tutorial() { return *tutorial_; }
  Tviewer& viewer() { return *viewer_; }
  LiveSettings& live() { return live_; }

 private:
  SettingsStore setupstore_;  // the setup dialog's logic keeps a reference to it
  LiveSettings live_;
  ProgramOperations operations_;
  std::unique_ptr<Tsearchmain> controller_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<HelpWindow> help_;
  std::unique_ptr<Ttutorialform> tutorial_;
  std::unique_ptr<SetupDialogLogic> setuplogic_;
  std::unique_ptr<Tsetupform> setup_;
  std::unique_ptr<Tviewer> viewer_;
};

}  // namespace ferrowyn::gui
