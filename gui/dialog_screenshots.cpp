// Pictures of the dialogs (first outline).
#include "gui/dialog_screenshots.h"

namespace ferrowyn::gui {

bool SaveDialogScreenshots(const QString&) { return false; }

}  // namespace ferrowyn::gui
