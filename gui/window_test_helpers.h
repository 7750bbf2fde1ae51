// Helpers of the window tests: answering a modal window once it shows, and
// finding a button by its caption.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <functional>

namespace ferrowyn::gui::testing {

// Runs `act` on the first modal window other than `outer` once it shows.
inline void WhenModalShows(std::function<void(QWidget*)> act, QWidget* outer = nullptr) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, act, outer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == outer) return;
    poll->stop();
    poll->deleteLater();
    act(modal);
  });
  poll->start(1);
}

inline QAbstractButton* ButtonNamed(QWidget* window, const QString& text) {
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
    if (button->text().remove('&') == text && button->isVisibleTo(window)) return button;
  ADD_FAILURE() << "no button " << text.toStdString();
  return nullptr;
}

}  // namespace ferrowyn::gui::testing
