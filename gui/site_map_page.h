// The main window's site map page: the site map `mainview` above the page list
// `urllistview`, their pop-up menus, and the commands of `mapmenu` that act on them
// (open graphic-free or in the browser, toggle the panes, find in the page list).
#pragma once

#include <QSplitter>
#include <functional>
#include <string>

#include "app/search_center.h"
#include "crawl/link_queue.h"
#include "gui/find_form.h"

class QAction;
class QMenu;
class QTreeView;

namespace ferrowyn::gui {

class PageCommands;

inline constexpr char kSelectUrlFirst[] = "You must first select a URL to open.";

// Part of the main window; GUI thread only. The controller outlives it.
class SiteMapPage : public QSplitter {
  Q_OBJECT

 public:
  SiteMapPage(Tsearchmain& main, QWidget* parent);

  // Connects the items of `mapmenu` that act on this page; `FindAgain1` is the one
  // whose enabled state follows the finds.
  void BindMenu(QMenu* mapmenu, QAction* FindAgain1);
  // Where opened pages go, and the help; until then opening does nothing.
  void SetCommands(PageCommands* commands, std::function<void(int)> help);

  void OpenInternal1Click();
  void OpenInBrowser2Click();
  void Toggle1Click();
  // Finds the next page list row holding the text; `ask` shows the find dialog first.
  void searchmainit(bool ask);

  QTreeView* mainview() const { return mainview_; }
  QTreeView* urllistview() const { return urllistview_; }
  QMenu* PopupMenuMainView() const { return PopupMenuMainView_; }
  QMenu* pagelist() const { return pagelist_; }
  SiteMapNode clickednode() const { return clickednode_; }
  int findnextrow() const { return findnextrow_; }
  // Position of the bar between the panes: the site map's height.
  int BarPosition() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The URL of `clickednode`, or nullopt when it is not set or names no node any more.
  std::optional<std::string> ClickedUrl() const;
  std::optional<std::string> SelectedUrl() const;
  void Open(const std::optional<std::string>& url, bool browser);
  void SetBarPosition(int position);
  bool RowMatches(int row, const std::string& folded) const;

  Tsearchmain& main_;
  PageCommands* commands_ = nullptr;
  std::function<void(int)> help_;
  QWidget* mapside_ = nullptr;   // the site map with its heading
  QWidget* listside_ = nullptr;  // the page list with its heading
  QTreeView* mainview_ = nullptr;
  QTreeView* urllistview_ = nullptr;
  QMenu* PopupMenuMainView_ = nullptr;
  QMenu* pagelist_ = nullptr;
  QAction* OpenInternally1_ = nullptr;
  QAction* mapopenurl_ = nullptr;
  QAction* OpenInternal2_ = nullptr;
  QAction* listopeninbrowser_ = nullptr;
  QAction* FindAgain1_ = nullptr;

  SiteMapNode clickednode_ = kNoNode;
  FindState lastfind_;        // lastfindtext, lastfindcase
  std::string searchedtext_;  // the text of the previous search
  int findnextrow_ = 0;
};

}  // namespace ferrowyn::gui
