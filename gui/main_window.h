// The main window `Tsearchmain` on screen: the toolbar, the search page, the site map
// page, the menus and their shortcuts over the search-center controller. The window
// shows the controller's state and hands every user action to the controller's
// handler of the same name; it decides nothing itself.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "app/search_center.h"
#include "gui/cursor.h"
#include "gui/main_menus.h"
#include "view/page_viewer.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QToolBar;
class QTreeView;

namespace ferrowyn::gui {

class PageCommands;
class ResultsList;
class SiteMapPage;
class SlotView;

// GUI thread only. The controller outlives the window. Controls carry the names by
// which the controller knows them as object names ("URL", "searchbtn", ...).
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(Tsearchmain& main, QWidget* parent = nullptr);
  ~MainWindow() override;

  // A later start of the program asked for this window: restore it when it is
  // minimised, else bring it to the front.
  void BringForward();

  Tsearchmain& controller() { return main_; }

  // Pages opened from the site map page and the results list go to `viewer`; `help`
  // opens a help topic. Both outlive the window.
  void AttachViewer(PageViewer& viewer, std::function<void(int)> help);
  SiteMapPage& sitemappage() { return *sitemappage_; }
  ResultsList& resultslist() { return *resultslist_; }

 signals:
  // The window has closed: the program ends.
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildToolbar();
  QWidget* BuildSearchPage();
  QWidget* BuildStatistics();
  QWidget* BuildLowerPanel();
  QWidget* BuildSiteMapPage();
  void ConnectControls();
  // Shows the controller's state; cheap when little changed, since a crawl reports
  // every step.
  void Refresh();
  void RefreshHistory(QComboBox* box, const HistoryField& field);
  void UseMenuShortcuts(WindowMenu menu);
  void ApplyHints(bool on);

  Tsearchmain& main_;
  MainMenus menus_;
  CursorFollower cursor_;
  bool shown_ = false;
  bool refreshing_ = false;
  WindowMenu shortcutmenu_ = WindowMenu::kMapMenu;

  QToolBar* Toolbar971_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QComboBox* URL_ = nullptr;
  QComboBox* querysearch_ = nullptr;
  QRadioButton* any_ = nullptr;
  QRadioButton* all_ = nullptr;
  QCheckBox* word_ = nullptr;
  QCheckBox* casesensitive_ = nullptr;
  QPushButton* searchbtn_ = nullptr;
  QPushButton* clearbtn_ = nullptr;
  QTabWidget* PageControl3_ = nullptr;
  QTabWidget* PageControl2_ = nullptr;
  QLabel* elapsedview_ = nullptr;
  QLabel* numproc_ = nullptr;
  QLabel* bytestran_ = nullptr;
  QLabel* hits_ = nullptr;
  QLabel* pagesavl_ = nullptr;
  QLabel* pages_label_ = nullptr;
  SlotView* slotview_ = nullptr;
  QTreeView* querylist_ = nullptr;
  QTreeView* mainview_ = nullptr;
  QTreeView* urllistview_ = nullptr;
  SiteMapPage* sitemappage_ = nullptr;
  ResultsList* resultslist_ = nullptr;
  std::unique_ptr<PageCommands> pagecommands_;
};

}  // namespace ferrowyn::gui
