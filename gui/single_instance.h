// One running copy of the desktop program per user: a later start asks the running
// copy to bring its main window forward and then ends.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace ferrowyn::gui {

// Lives as long as the program's first copy; GUI thread only. Never throws.
class SingleInstanceGuard : public QObject {
  Q_OBJECT

 public:
  // `name`: the local socket's name; DefaultName() unless a test chooses another.
  explicit SingleInstanceGuard(QString name = DefaultName(), QObject* parent = nullptr);

  // True when this is the only copy: the guard then listens for later starts.
  // False when another copy answered: it has been asked to come forward, and this
  // copy is to end. A socket left behind by a copy that was killed is removed, so it
  // never blocks a start.
  bool Claim();

  // "ferrowyn-" and the user's login name: one guard per user.
  static QString DefaultName();

 signals:
  // A later start asked this copy to restore or raise its main window.
  void activationRequested();

 private:
  bool AskRunningCopy();
  void ServeLaterStart();

  QString name_;
  QLocalServer server_;
};

}  // namespace ferrowyn::gui
