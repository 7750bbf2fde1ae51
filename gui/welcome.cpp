// The splash window shown while the program starts.
#include "gui/welcome.h"

#include <QEventLoop>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "gui/program_pictures.h"

namespace ferrowyn::gui {

namespace {
constexpr int kSplashMilliseconds = 2000;
// How long ShowNow waits at most for the window to be painted.
constexpr int kPaintWaitMilliseconds = 500;
}  // namespace

Twelcome::Twelcome(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setWindowTitle("Welcome!");
  setAttribute(Qt::WA_ShowWithoutActivating);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);  // room for the frame line
  layout->setSpacing(0);
  QLabel* version = AddPictureAndVersion(*layout, this);
  version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  version->setContentsMargins(8, 4, 8, 4);
  version->setAutoFillBackground(true);
  QPalette palette = version->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, QColor(0x0b, 0x3c, 0x5d));
  version->setPalette(palette);
  adjustSize();
  if (QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - rect().center());
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &QWidget::hide);
  timer_.start(kSplashMilliseconds);
}

void Twelcome::ShowNow() {
  show();
  raise();
  repaint();
  if (painted_) return;
  // Only a window the platform has put on screen can be painted; until then serve
  // the platform's events (nothing else exists yet to react to them).
  QEventLoop loop;
  waiting_ = &loop;
  QTimer::singleShot(kPaintWaitMilliseconds, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  waiting_ = nullptr;
}

void Twelcome::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  painter.setPen(QColor(0x0b, 0x3c, 0x5d));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painted_ = true;
  if (waiting_ != nullptr) waiting_->quit();
}

}  // namespace ferrowyn::gui
