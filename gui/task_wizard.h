// What the three task wizards share: a notebook of pages, each with a picture and a row
// of buttons, Help at the wizard's topic, and the refusal of a page with a message.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/search_center.h"
#include "app/search_operations.h"
#include "gui/guidance_dialog.h"

class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace ferrowyn::gui {

// GUI thread only. `main` and `operations` outlive the wizard; see GuidanceDialog for
// `mainwindow`. Deletes itself when closed, so each start makes a new one. What the
// main window's operations throw reaches the caller of the button's click.
class TaskWizard : public GuidanceDialog {
  Q_OBJECT

 public:
  TaskWizard(const char* caption, int helpcontext, Tsearchmain& main, SearchOperations& operations,
             QWidget* mainwindow);

  // The notebook; its pages are named "1", "2", "3".
  QStackedWidget* notebook() const { return notebook_; }

 protected:
  // Adds the next page with `picture` on its left; returns the layout its controls go
  // into, above the buttons.
  QVBoxLayout* AddPage(const QString& picture);
  // The page's button row, in this order; "Help" opens the wizard's topic and
  // "Cancel" closes the wizard; the caller connects the others.
  std::vector<QPushButton*> AddButtons(QVBoxLayout* page,
                                       std::initializer_list<const char*> captions);
  void GoTo(int page);
  // Shows `message` as an error when there is one; true then (the wizard stays).
  bool Refused(const std::optional<std::string>& message);
  // The end of a wizard: hidden, `start` run, then closed.
  template <typename Start>
  void Finish(Start start) {
    hide();
    start();
    close();
  }

  Tsearchmain& main_;
  SearchOperations& ops_;

 private:
  int helpcontext_;
  QStackedWidget* notebook_ = nullptr;
};

}  // namespace ferrowyn::gui
