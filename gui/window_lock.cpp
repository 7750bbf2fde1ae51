// Disabling and enabling one window alone.
#include "gui/window_lock.h"

#include <QWidget>

namespace ferrowyn::gui {

void DisableWindowAlone(QWidget* window) {
  if (window == nullptr) return;
  window->setEnabled(false);
  // Windows of their own (help, viewer, setup, the guidance window itself) keep
  // working; one that was disabled for its own reasons stays so.
  for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow() && !child->testAttribute(Qt::WA_ForceDisabled)) child->setEnabled(true);
  }
}

void EnableWindowAlone(QWidget* window) {
  if (window != nullptr) window->setEnabled(true);
}

}  // namespace ferrowyn::gui
