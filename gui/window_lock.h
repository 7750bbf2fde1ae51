// Disabling a window (the main window under a wizard, the about box or a print
// preview; the mail miner under its preview) without disabling the other windows that
// belong to it: Qt disables a window's child windows with it, and the help window
// opened from the window on top must stay usable.
#pragma once

class QWidget;

namespace ferrowyn::gui {

// GUI thread only. `window` may be null (nothing happens).
void DisableWindowAlone(QWidget* window);
void EnableWindowAlone(QWidget* window);

}  // namespace ferrowyn::gui
