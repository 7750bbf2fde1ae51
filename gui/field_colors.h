// The two backgrounds of an edit field: white while it can be edited, silver while
// it is disabled.
#pragma once

#include <QColor>

class QWidget;

namespace ferrowyn::gui {

inline const QColor kFieldSilver(0xC0, 0xC0, 0xC0);

// Enables or disables `field` and paints its background to match. GUI thread only.
void SetFieldEnabled(QWidget* field, bool enabled);

}  // namespace ferrowyn::gui
