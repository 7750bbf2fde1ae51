// Disabling and enabling the main window alone.
#include "gui/main_window_lock.h"

#include <QWidget>

namespace ferrowyn::gui {

void DisableMainWindow(QWidget* main) {
  if (main == nullptr) return;
  main->setEnabled(false);
  // Windows of their own (help, viewer, setup, the guidance window itself) keep
  // working; one that was disabled for its own reasons stays so.
  for (QWidget* child : main->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow() && !child->testAttribute(Qt::WA_ForceDisabled)) child->setEnabled(true);
  }
}

void EnableMainWindow(QWidget* main) {
  if (main != nullptr) main->setEnabled(true);
}

}  // namespace ferrowyn::gui
