// The main window's menus: `startmenu` (the search button's drop-down and the
// search page's right-click menu), `mapmenu` (the site map page's) and `helpmenu`,
// with their items wired to the controller's commands.
#pragma once

#include <QAction>
#include <QList>
#include <QMenu>

#include "app/search_center.h"

namespace ferrowyn::gui {

// The property of an item that holds its keyboard shortcut, while the item's own
// shortcut is switched off.
inline constexpr char kShortcutProperty[] = "ferrowynShortcut";

// The menus and the items the window needs to reach. The menus belong to `owner`;
// the controller outlives them. GUI thread only.
struct MainMenus {
  QMenu* startmenu = nullptr;
  QMenu* mapmenu = nullptr;
  QMenu* helpmenu = nullptr;

  QAction* EngageFerrowyn1 = nullptr;  // "&Ferrowyn!"
  QAction* HaltSearch1 = nullptr;      // "&Halt Search"
  QAction* FindAgain1 = nullptr;       // mapmenu "Find &Again"
  QAction* EnableHints1 = nullptr;     // "&Show Hints", checkable

  // The items with a keyboard shortcut, per menu: the window makes the current
  // menu's shortcuts work anywhere in it.
  QList<QAction*> startshortcuts;
  QList<QAction*> mapshortcuts;
};

MainMenus MakeMainMenus(QWidget* owner, Tsearchmain& main);

}  // namespace ferrowyn::gui
