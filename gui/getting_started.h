// The Getting Started window `Twizardone`: a welcome with three suggested steps, each
// with a button that leads to the tutorial, the search page or the site map page, and
// the box that keeps the window from showing at start-up.
#pragma once

#include "app/search_center.h"
#include "app/search_operations.h"
#include "gui/guidance_dialog.h"

class QCheckBox;

namespace ferrowyn::gui {

// GUI thread only. `main` and `operations` outlive the window; see GuidanceDialog for
// `mainwindow`. Deletes itself when closed; closing writes "ShowFirst" ("On" when `showagain` is
// checked) and reports a refused write as an error.
class Twizardone : public GuidanceDialog {
  Q_OBJECT

 public:
  Twizardone(bool showagain, Tsearchmain& main, SearchOperations& operations, QWidget* mainwindow);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Tsearchmain& main_;
  SearchOperations& ops_;
  QCheckBox* showagain_ = nullptr;
};

}  // namespace ferrowyn::gui
