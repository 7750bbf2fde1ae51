// The frame of the guidance windows.
#include "gui/guidance_dialog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include "gui/window_lock.h"

namespace ferrowyn::gui {

GuidanceDialog::GuidanceDialog(const QString& caption, QWidget* mainwindow)
    : QDialog(mainwindow), mainwindow_(mainwindow) {
  setWindowTitle(caption);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);
  // A main window that goes while this window is open deletes it as its child, after
  // saying so: from then on there is no main window to enable.
  if (mainwindow != nullptr)
    connect(mainwindow, &QObject::destroyed, this, [this] { mainwindow_ = nullptr; });
}

void GuidanceDialog::FixSize() {
  adjustSize();
  setFixedSize(sizeHint());
}

void GuidanceDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  DisableWindowAlone(mainwindow_);
  if (!event->spontaneous()) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
  }
}

void GuidanceDialog::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  // Minimising the main window hides its child windows too; only a real hide counts.
  if (!event->spontaneous()) EnableWindowAlone(mainwindow_);
}

}  // namespace ferrowyn::gui
