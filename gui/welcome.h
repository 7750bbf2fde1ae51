// The splash window `Twelcome` ("Welcome!"): the program's picture and its version,
// shown while the program starts.
#pragma once

#include <QEventLoop>
#include <QTimer>
#include <QWidget>

namespace ferrowyn::gui {

// No border, no caption bar, on top of other windows, centred on the screen. Its
// 2-second timer runs from creation and hides it when it fires. GUI thread only;
// the start-up sequence owns it.
class Twelcome : public QWidget {
  Q_OBJECT

 public:
  explicit Twelcome(QWidget* parent = nullptr);

  // Shows the window and paints it now, before the caller goes on without serving
  // the event loop. The wait for the platform to put the window on screen is
  // bounded: a window that never appears does not hold up the start.
  void ShowNow();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer timer_;
  bool painted_ = false;
  QEventLoop* waiting_ = nullptr;  // ShowNow's wait for the first paint
};

}  // namespace ferrowyn::gui
