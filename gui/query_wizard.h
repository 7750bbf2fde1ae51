// The Query wizard `Tonlyquery`: page 1 opens a saved site, page 2 takes the keywords
// and runs the query over the stored site from the main window.
#pragma once

#include "gui/task_wizard.h"
#include "gui/wizard_controls.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace ferrowyn::gui {

// GUI thread only; see TaskWizard for ownership.
class Tonlyquery : public TaskWizard {
  Q_OBJECT

 public:
  Tonlyquery(Tsearchmain& main, SearchOperations& operations, QWidget* mainwindow);

 private:
  void OpenClick();
  void NextClick();
  void SearchClick();

  QLineEdit* siteselected_ = nullptr;
  QComboBox* querysearch_ = nullptr;
  QueryOptions options_;
};

}  // namespace ferrowyn::gui
