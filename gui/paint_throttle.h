// Repaints of a window at most so many times a second. A crawl changes the slot rows,
// the counters and the lists hundreds of times a second, and every change asks for a
// repaint on the thread that also serves the crawl workers; painting each one slows
// the crawl itself. Changes made between two repaints are painted together.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

namespace ferrowyn::gui {

// Watches `window` (a top-level widget, which outlives it); GUI thread only.
class PaintThrottle : public QObject {
  Q_OBJECT

 public:
  PaintThrottle(QWidget* window, int interval_ms);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  int interval_ms_;
  QElapsedTimer last_;  // since the last repaint let through
  QTimer later_;        // the repaint held back
};

}  // namespace ferrowyn::gui
