// Pictures of the dialogs for the documentation: each setup page, the login,
// filter and please-wait windows, a message box and the help window.
#pragma once

#include <QString>

namespace ferrowyn::gui {

// Writes PNG files into `directory` (which must exist) using a scratch settings
// store; a QApplication must exist. Returns false when a file cannot be written.
bool SaveDialogScreenshots(const QString& directory);

}  // namespace ferrowyn::gui
