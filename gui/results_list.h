// The commands of the search page's results list `querylist`: its pop-up menu, double
// clicks, sorting by a column header, and the start menu's items that act on it.
#pragma once

#include <QObject>
#include <optional>
#include <string>

#include "app/search_center.h"

class QAction;
class QMenu;
class QTreeView;

namespace ferrowyn::gui {

class PageCommands;

// Part of the main window; GUI thread only. The controller and the view outlive it.
class ResultsList : public QObject {
  Q_OBJECT

 public:
  ResultsList(Tsearchmain& main, QTreeView* querylist, QObject* parent);

  // Connects "&Keyword Highlight" (`KeywordHighlight2`) and "&Open In Browser"
  // (`Browser`) of the start menu.
  void BindMenu(QMenu* startmenu);
  void SetCommands(PageCommands* commands) { commands_ = commands; }

  void keywordhighlightClick();
  void queryopenbrowserClick();
  void BrowserClick();

  QMenu* querypopup() const { return querypopup_; }

 private:
  std::optional<std::string> SelectedUrl() const;

  Tsearchmain& main_;
  QTreeView* querylist_;
  PageCommands* commands_ = nullptr;
  QMenu* querypopup_ = nullptr;
  QAction* keywordhighlight_ = nullptr;
  QAction* queryopenbrowser_ = nullptr;
};

}  // namespace ferrowyn::gui
