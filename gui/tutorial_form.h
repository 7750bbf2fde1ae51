// The tutorial window `Ttutorialform`: four HTML pages from the "tutorial" folder
// beside the program, with a button per page and links between the pages.
#pragma once

#include <QMainWindow>
#include <QString>

#include "base/user_port.h"

class QShowEvent;
class QTextBrowser;

namespace ferrowyn::gui {

// Created hidden at start-up and owned by the program for the whole run (a window of
// its own: the caller deletes it); GUI thread only. The port outlives it.
class Ttutorialform : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kPageCount = 4;

  Ttutorialform(QString tutorial_directory, UserPort& port, QWidget* parent = nullptr);

  // The Help menu's "&Tutorial" and Getting Started's "Open Tutorial": shows the
  // window at page 1, or only brings it forward when it is already visible.
  void ShowTutorial();

  // Shows tutorialN.htm (N from 1 to 4) with the caption "Ferrowyn! Tutorial - Page
  // N", as the page buttons do. A missing page shows "Files are missing from the
  // Ferrowyn! tutorial. Please re-install." and leaves pane and caption as they were.
  bool ShowPage(int page);

  // The one place that says where the tutorial is: "tutorial" beside the executable.
  static QString DefaultTutorialDirectory();

  QTextBrowser* HTMLViewer1() const;

 protected:
  // Each time the window becomes visible it starts again at page 1.
  void showEvent(QShowEvent* event) override;

 private:
  class Pane;

  // A link under the pointer / a link clicked, with its target exactly as written
  // in the page.
  void HTMLViewer1HotSpotCovered(const QString& target);
  void HTMLViewer1HotSpotClick(const QString& target);
  // What the pane itself does with a link: jumps within the page, and other local
  // pages it can read; anything else it leaves alone.
  void FollowInPane(const QString& target);

  QString tutorial_directory_;
  UserPort& port_;
  Pane* pane_ = nullptr;
  bool placed_ = false;
};

}  // namespace ferrowyn::gui
