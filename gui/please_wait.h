// The please-wait window (`Tplswaitform`): a small fixed window without title-bar
// buttons, with a word-wrapped text and a progress bar, shown while a site is
// saved or opened. The owner is disabled while it shows.
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace ferrowyn::gui {

// Created by the user port each time it is needed; GUI thread only.
class PleaseWaitWindow : public QWidget {
  Q_OBJECT

 public:
  PleaseWaitWindow(const QString& caption, const QString& text, int maximum, QWidget* owner);
  ~PleaseWaitWindow() override;  // enables the owner again

  // Sets the bar and repaints this window and the owner at once, since the event
  // loop does not run while the work goes on.
  void SetProgress(int position);

  QLabel* text() const { return text_; }
  QProgressBar* bar() const { return bar_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QPointer<QWidget> owner_;
  QLabel* text_ = nullptr;
  QProgressBar* bar_ = nullptr;
};

}  // namespace ferrowyn::gui
