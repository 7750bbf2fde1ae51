// The setup dialog: six pages of settings drawn over the setup dialog's logic.
// Every control shows the live settings when the dialog shows and writes each
// change back at once; OK, Cancel, Help and closing go to the logic.
#pragma once

#include <QDialog>

#include "app/live_settings.h"
#include "app/setup_dialog_logic.h"

class QTabWidget;

namespace ferrowyn::gui {

class HelpWindow;

// Owned by the main window for the whole run; GUI thread only. The logic, the
// live settings and the help window outlive it. Errors the logic throws reach
// the caller of exec().
class Tsetupform : public QDialog {
  Q_OBJECT

 public:
  Tsetupform(SetupDialogLogic& logic, LiveSettings& live, HelpWindow& help,
             QWidget* parent = nullptr);
  ~Tsetupform() override;

  // The page widget, so tests and screenshots can turn pages.
  QTabWidget* pages() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  struct Controls;
  void Build();
  void Refresh();  // every control from the live settings

  SetupDialogLogic& logic_;
  LiveSettings& live_;
  HelpWindow& help_;
  Controls* controls_ = nullptr;  // owned; the widgets themselves belong to the dialog
};

}  // namespace ferrowyn::gui
