// The program's own help window: help context numbers open help/NNNN.htm from
// the help directory, with back, forward, contents and links between topics.
#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

#include "base/user_port.h"

class QTextBrowser;
class QToolButton;

namespace ferrowyn::gui {

// Owned by the program for the whole run (the caller deletes it: it is a window of
// its own, not a child of `parent`); GUI thread only. The port outlives it.
class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kContentsTopic = 1000;

  HelpWindow(QString help_directory, UserPort& port, QWidget* parent = nullptr);

  // Shows the window at help/NNNN.htm. When the page cannot be read, the port
  // shows "There was an error while trying to load the help file." and the window
  // keeps what it showed. Returns whether the page was shown.
  bool ShowTopic(int context);

  // The one place that says where the help pages are: the program's "help" folder
  // (ProgramFilesFolder()).
  static QString DefaultHelpDirectory();
  // help/NNNN.htm for a context number.
  QString TopicPath(int context) const;

  QTextBrowser* browser() const { return browser_; }

 private:
  bool ShowPage(const QUrl& page);
  void FollowLink(const QUrl& link);
  void UpdateButtons();

  QString help_directory_;
  UserPort& port_;
  QTextBrowser* browser_ = nullptr;
  QToolButton* back_ = nullptr;
  QToolButton* forward_ = nullptr;
  QToolButton* contents_ = nullptr;
  QPointer<QWidget> placement_;
  bool placed_ = false;
};

}  // namespace ferrowyn::gui
