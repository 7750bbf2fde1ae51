// Disabling the main window while a guidance window (a wizard, Getting Started) is
// up, without disabling the other windows that belong to it: Qt disables a window's
// child windows with it, and the help window opened from a wizard must stay usable.
#pragma once

class QWidget;

namespace ferrowyn::gui {

// GUI thread only. `main` may be null (nothing happens).
void DisableMainWindow(QWidget* main);
void EnableMainWindow(QWidget* main);

}  // namespace ferrowyn::gui
