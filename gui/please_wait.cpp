// The please-wait window shown while a site is saved or opened.
#include "gui/please_wait.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace ferrowyn::gui {

PleaseWaitWindow::PleaseWaitWindow(const QString& caption, const QString& text, int maximum,
                                   QWidget* owner)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), owner_(owner) {
  // Not a child of the owner: disabling the owner would grey this window too.
  setWindowTitle(caption);
  setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(this);
  text_ = new QLabel(text, this);
  text_->setWordWrap(true);
  text_->setFixedWidth(225);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, maximum);
  bar_->setValue(0);
  bar_->setAccessibleName(caption);
  layout->addWidget(text_);
  layout->addWidget(bar_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  if (owner_) owner_->setEnabled(false);
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

PleaseWaitWindow::~PleaseWaitWindow() {
  if (owner_) owner_->setEnabled(true);
}

void PleaseWaitWindow::SetProgress(int position) {
  bar_->setValue(position);
  repaint();
  if (owner_) owner_->repaint();
}

void PleaseWaitWindow::closeEvent(QCloseEvent* event) {
  // Only the work that showed it closes it.
  event->ignore();
}

}  // namespace ferrowyn::gui
