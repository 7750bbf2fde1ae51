// The main window's menus. Items made here without a command start disabled: the
// site map page and the results list connect and enable theirs, the program enables the
// query report's "&Print...", and those of windows not there yet (the mail miner) stay
// disabled, so that no shortcut or click silently does nothing.
#include "gui/main_menus.h"

namespace ferrowyn::gui {

namespace {
using Command = void (Tsearchmain::*)();

QAction* Item(QMenu* menu, const char* caption, const char* name, Tsearchmain& main,
              Command command, QKeySequence shortcut = {}) {
  QAction* action = menu->addAction(QString::fromLatin1(caption));
  action->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) {
    action->setShortcut(shortcut);
    action->setProperty(kShortcutProperty, shortcut);
  }
  if (command != nullptr) {
    QObject::connect(action, &QAction::triggered, &main, [&main, command] { (main.*command)(); });
  } else {
    action->setEnabled(false);
  }
  return action;
}
}  // namespace

MainMenus MakeMainMenus(QWidget* owner, Tsearchmain& main) {
  MainMenus menus;

  QMenu* start = new QMenu(owner);
  start->setObjectName(QStringLiteral("startmenu"));
  menus.EngageFerrowyn1 =
      Item(start, "&Ferrowyn!", "EngageFerrowyn1", main, &Tsearchmain::EngageFerrowyn1Click,
           QKeySequence(Qt::CTRL | Qt::Key_S));
  menus.HaltSearch1 = Item(start, "&Halt Search", "HaltSearch1", main,
                           &Tsearchmain::HaltSearch1Click, QKeySequence(Qt::CTRL | Qt::Key_H));
  start->addSeparator();
  QMenu* wizards = start->addMenu(QStringLiteral("&Wizards"));
  wizards->setObjectName(QStringLiteral("Wizards1"));
  Item(wizards, "&Basic Build...", "BasicBuild1", main, &Tsearchmain::BasicBuild1Click);
  Item(wizards, "&Dynamic Build and Query...", "DynamicBuildandQuery1", main,
       &Tsearchmain::DynamicBuildandQuery1Click);
  Item(wizards, "&Query Only...", "QueryOnly1", main, &Tsearchmain::QueryOnly1Click);
  start->addSeparator();
  QMenu* query = start->addMenu(QStringLiteral("&Query"));
  query->setObjectName(QStringLiteral("Query2"));
  Item(query, "&Open...", "Open1", main, &Tsearchmain::Open1Click);
  Item(query, "&Save...", "Save1", main, &Tsearchmain::Save1Click);
  Item(query, "&Delete...", "Delete2", main, &Tsearchmain::Delete2Click);
  Item(query, "&Print...", "Print1", main, nullptr);
  QAction* highlight = Item(start, "&Keyword Highlight", "KeywordHighlight2", main, nullptr,
                            QKeySequence(Qt::CTRL | Qt::Key_K));
  QAction* browser =
      Item(start, "&Open In Browser", "Browser", main, nullptr, QKeySequence(Qt::CTRL | Qt::Key_O));
  start->addSeparator();
  Item(start, "Setu&p...", "Setup1", main, &Tsearchmain::Setup1Click);
  menus.startmenu = start;
  menus.startshortcuts = {menus.EngageFerrowyn1, menus.HaltSearch1, highlight, browser};

  QMenu* map = new QMenu(owner);
  map->setObjectName(QStringLiteral("mapmenu"));
  QMenu* site = map->addMenu(QStringLiteral("&Site"));
  site->setObjectName(QStringLiteral("Site1"));
  Item(site, "&Open...", "OpenSite1", main, &Tsearchmain::OpenSite1Click);
  Item(site, "&Save...", "SaveSite1", main, &Tsearchmain::SaveSite1Click);
  Item(site, "&Delete...", "EraseSite1", main, &Tsearchmain::EraseSite1Click);
  QAction* toggle =
      Item(map, "&Toggle View", "Toggle1", main, nullptr, QKeySequence(Qt::CTRL | Qt::Key_T));
  Item(map, "&Export to HTML...", "SaveURLList1", main, &Tsearchmain::SaveURLList1Click);
  map->addSeparator();
  QAction* find = Item(map, "&Find In Page List...", "Find1", main, nullptr,
                       QKeySequence(Qt::CTRL | Qt::Key_F));
  menus.FindAgain1 =
      Item(map, "Find &Again", "FindAgain1", main, nullptr, QKeySequence(Qt::Key_F3));
  map->addSeparator();
  QAction* graphicfree = Item(map, "&Open Graphic-Free", "OpenInternal1", main, nullptr,
                              QKeySequence(Qt::CTRL | Qt::Key_O));
  QAction* inbrowser = Item(map, "Open In &Browser", "OpenInBrowser2", main, nullptr,
                            QKeySequence(Qt::CTRL | Qt::Key_B));
  Item(map, "&Mail Miner", "MailMiner1", main, nullptr);
  menus.mapmenu = map;
  menus.mapshortcuts = {toggle, find, menus.FindAgain1, graphicfree, inbrowser};

  QMenu* help = new QMenu(owner);
  help->setObjectName(QStringLiteral("helpmenu"));
  Item(help, "&Contents", "Contents1", main, &Tsearchmain::Contents1Click);
  Item(help, "&Tutorial", "Registration1", main, &Tsearchmain::Registration1Click);
  menus.EnableHints1 =
      Item(help, "&Show Hints", "EnableHints1", main, &Tsearchmain::EnableHints1Click);
  menus.EnableHints1->setCheckable(true);
  Item(help, "&Getting Started...", "GettingStarted1", main, &Tsearchmain::GettingStarted1Click);
  help->addSeparator();
  Item(help, "&Castrel Software Home Page", "HomePage1", main, &Tsearchmain::HomePage1Click);
  Item(help, "&About...", "About1", main, &Tsearchmain::About1Click);
  menus.helpmenu = help;
  return menus;
}

}  // namespace ferrowyn::gui
