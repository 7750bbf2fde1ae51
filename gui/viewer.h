// The viewer window `Tviewer`: one stored page graphic-free, its HTML above and its
// text-only rendering below, with find, toggle, print and hand-over to the browser.
#pragma once

#include <QMainWindow>
#include <QTextBrowser>
#include <functional>
#include <string>

#include "app/settings_store.h"
#include "base/user_port.h"
#include "gui/find_form.h"
#include "view/page_viewer.h"

class QAction;
class QSplitter;
class QToolBar;

namespace ferrowyn::gui {

inline constexpr char kViewerSection[] = "Viewer";
inline constexpr char kBrowserLaunchFailed[] = "Couldn't launch default browser.";

// A pane that never loads anything: no images, no style sheets, no pages behind links,
// so that a stored page shows without the network and without files.
class GraphicFreePane : public QTextBrowser {
  Q_OBJECT

 public:
  explicit GraphicFreePane(QWidget* parent = nullptr);
  QVariant loadResource(int type, const QUrl& name) override;
};

// Created once at start-up and kept for the whole run; GUI thread only. `store`,
// `port` and `mainwindow` outlive it; `help` opens a help topic.
class Tviewer : public QMainWindow, public PageViewer {
  Q_OBJECT

 public:
  Tviewer(const SettingsStore& store, UserPort& port, std::function<void(int)> help,
          QWidget* mainwindow);

  // PageViewer.
  void ShowPage(const ViewerPage& page) override;

  void newbrowser();
  void activebrowser();
  void findinhtml(bool ask);
  void toggle();
  void printhtml();
  void collapse();
  void savesettings();
  void loadsettings();

  // The pane that find and print act on.
  QTextBrowser* ChosenPane() const;

  const std::string& pageurl() const { return pageurl_; }
  int helptopic() const { return helptopic_; }
  QTextBrowser* HTMLViewer1() const { return HTMLViewer1_; }
  QTextBrowser* plaintext() const { return plaintext_; }
  QSplitter* PTSplitter1() const { return PTSplitter1_; }
  QAction* FindAgain1() const { return FindAgain1_; }
  // The splitter's position: the top pane's height while both panes show.
  int BarPosition() const { return position_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildToolbar();
  void BuildMenu();
  void SetBarPosition(int position);
  int SplitterHeight() const;
  // Prints `pane` on the default printer, or into a PDF file the user names when no
  // printer is installed.
  void PrintPane(QTextBrowser* pane);

  const SettingsStore& store_;
  UserPort& port_;
  std::function<void(int)> help_;
  QWidget* mainwindow_;

  std::string pageurl_;
  int helptopic_ = 0;
  FindState find_;

  QToolBar* Toolbar971_ = nullptr;
  QSplitter* PTSplitter1_ = nullptr;
  GraphicFreePane* HTMLViewer1_ = nullptr;
  GraphicFreePane* plaintext_ = nullptr;
  QAction* FindAgain1_ = nullptr;
  bool statusbarhidden_ = false;
  int position_ = 0;
};

}  // namespace ferrowyn::gui
