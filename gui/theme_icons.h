// Icons of the program's windows: the desktop's freedesktop icon theme first, Qt's
// own standard pixmaps where the theme has none (or there is no theme at all).
#pragma once

#include <QIcon>

namespace ferrowyn::gui {

enum class IconId {
  kSearch,        // toolbar "Search"
  kSiteMapping,   // toolbar "Site Mapping"
  kHelp,          // toolbar "Help"
  kExit,          // toolbar "Exit"
  kTransferSlot,  // slot view: a transfer slot's row
  kQuerySlot,     // slot view: a query slot's row
  kProgram,       // the windows' icon
};

// GUI thread only; needs a QApplication.
QIcon ThemeIcon(IconId id);

}  // namespace ferrowyn::gui
