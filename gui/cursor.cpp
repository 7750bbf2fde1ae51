// The hourglass cursor helpers over Qt's application override cursor.
#include "gui/cursor.h"

#include <QApplication>

namespace ferrowyn::gui {

HourglassCursor::HourglassCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

HourglassCursor::~HourglassCursor() { QApplication::restoreOverrideCursor(); }

CursorFollower::~CursorFollower() { Show(Cursor::kNormal); }

void CursorFollower::Show(Cursor cursor) {
  const bool wanted = cursor == Cursor::kHourglass;
  if (wanted == overridden_) return;
  if (wanted) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
  overridden_ = wanted;
}

}  // namespace ferrowyn::gui
