// Holds back a window's repaint requests that come sooner than the interval after the
// last one; a timer sends one request when the interval is over.
#include "gui/paint_throttle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace ferrowyn::gui {

PaintThrottle::PaintThrottle(QWidget* window, int interval_ms)
    : QObject(window), window_(window), interval_ms_(interval_ms) {
  later_.setSingleShot(true);
  // The window keeps its pending regions and asks for no further repaint while one
  // request is outstanding, so the held-back request is sent again here.
  connect(&later_, &QTimer::timeout, this, [this] {
    QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
  });
  window_->installEventFilter(this);
}

bool PaintThrottle::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::UpdateRequest) return false;
  if (last_.isValid() && last_.elapsed() < interval_ms_) {
    if (!later_.isActive()) later_.start(static_cast<int>(interval_ms_ - last_.elapsed()));
    return true;
  }
  later_.stop();
  last_.start();
  return false;
}

}  // namespace ferrowyn::gui
