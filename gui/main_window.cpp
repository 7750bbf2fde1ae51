// The main window: builds the controls, shows the controller's state and forwards
// the user's actions to the controller's handlers.
#include "gui/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWindow>

#include "gui/field_colors.h"
#include "gui/page_commands.h"
#include "gui/paint_throttle.h"
#include "gui/results_list.h"
#include "gui/site_map_page.h"
#include "gui/slot_view.h"
#include "gui/theme_icons.h"

namespace ferrowyn::gui {

namespace {
constexpr int kDesignedWidth = 780;
constexpr int kDesignedHeight = 580;
// At most 25 repaints a second: smooth to the eye, and the crawl keeps its pace.
constexpr int kRepaintIntervalMs = 40;
constexpr char kKeywordHint[] = "Phrase searches should be in quotation marks.";

QString Text(const std::string& text) { return QString::fromLatin1(text); }
std::string Bytes(const QString& text) { return text.toLatin1().toStdString(); }

QLabel* Heading(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  QFont font = label->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.25);
  label->setFont(font);
  return label;
}

// A label and the control it names; the label's buddy gives the control its
// accessible name and its mnemonic.
QLabel* Caption(const char* text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setBuddy(buddy);
  QString name = label->text();
  name.remove(QLatin1Char('&'));
  if (name.endsWith(QLatin1Char(':'))) name.chop(1);
  buddy->setAccessibleName(name);
  return label;
}

QComboBox* HistoryBox(const char* name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return box;
}

// A counter of the statistics panel: "Pages Retrieved" and its value.
QLabel* Counter(QFormLayout* form, const char* caption, const char* name, QWidget* parent) {
  auto* value = new QLabel(parent);
  value->setObjectName(QString::fromLatin1(name));
  value->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  value->setFocusPolicy(Qt::TabFocus);
  // A fixed size: a new count, several times a second during a crawl, then repaints
  // the label alone instead of laying out the whole window again.
  const QFontMetrics metrics = value->fontMetrics();
  value->setFixedSize(metrics.horizontalAdvance(QStringLiteral("0000000000.00")),
                      metrics.height() + 2);
  form->addRow(Caption(caption, value, parent), value);
  return value;
}

QTreeView* ListView(const char* name, QAbstractItemModel& model, QWidget* parent) {
  auto* view = new QTreeView(parent);
  view->setObjectName(QString::fromLatin1(name));
  view->setModel(&model);
  view->setRootIsDecorated(false);
  view->setUniformRowHeights(true);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  return view;
}

QToolButton* ToolbarButton(const char* caption, const char* name, IconId icon, QMenu* menu,
                           QToolBar* bar) {
  auto* button = new QToolButton(bar);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(QString::fromLatin1(caption));
  button->setAccessibleName(button->text());
  button->setIcon(ThemeIcon(icon));
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setFocusPolicy(Qt::TabFocus);
  if (menu != nullptr) {
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
  bar->addWidget(button);
  return button;
}
}  // namespace

MainWindow::MainWindow(Tsearchmain& main, QWidget* parent) : QMainWindow(parent), main_(main) {
  setObjectName(QStringLiteral("searchmain"));
  setWindowIcon(ThemeIcon(IconId::kProgram));
  resize(kDesignedWidth, kDesignedHeight);
  menus_ = MakeMainMenus(this, main_);
  BuildToolbar();

  pages_ = new QStackedWidget(this);
  pages_->addWidget(BuildSearchPage());
  pages_->addWidget(BuildSiteMapPage());
  setCentralWidget(pages_);

  ConnectControls();
  new PaintThrottle(this, kRepaintIntervalMs);
  // ShowSlotStatus cuts the slot texts to what fits in the page list's font.
  const QFontMetrics metrics = urllistview_->fontMetrics();
  main_.SetTextWidth([metrics](std::string_view text) {
    return metrics.horizontalAdvance(QString::fromLatin1(text.data(), qsizetype(text.size())));
  });
  Refresh();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildToolbar() {
  Toolbar971_ = new QToolBar(QStringLiteral("Toolbar"), this);
  Toolbar971_->setObjectName(QStringLiteral("Toolbar971"));
  Toolbar971_->setAllowedAreas(Qt::TopToolBarArea);
  Toolbar971_->setMovable(true);
  Toolbar971_->setFloatable(true);
  addToolBar(Qt::TopToolBarArea, Toolbar971_);

  QToolButton* search =
      ToolbarButton("Search", "ToolbarButton975", IconId::kSearch, menus_.startmenu, Toolbar971_);
  QToolButton* map = ToolbarButton("Site Mapping", "ToolbarButton974", IconId::kSiteMapping,
                                   menus_.mapmenu, Toolbar971_);
  QToolButton* help =
      ToolbarButton("Help", "ToolbarButton972", IconId::kHelp, menus_.helpmenu, Toolbar971_);
  QToolButton* exit =
      ToolbarButton("Exit", "ToolbarButton971", IconId::kExit, nullptr, Toolbar971_);
  connect(search, &QToolButton::clicked, &main_, &Tsearchmain::ToolbarButton975Click);
  connect(map, &QToolButton::clicked, &main_, &Tsearchmain::ToolbarButton974Click);
  connect(help, &QToolButton::clicked, &main_, &Tsearchmain::ToolbarButton972Click);
  connect(exit, &QToolButton::clicked, &main_, &Tsearchmain::ToolbarButton971Click);
  // The drop-downs open from the keyboard too: Down on a focused button.
  for (QToolButton* button : {search, map, help}) button->installEventFilter(this);
  connect(Toolbar971_, &QToolBar::topLevelChanged, this,
          [this](bool floating) { main_.Toolbar971DockChanged(!floating); });
}

QWidget* MainWindow::BuildSearchPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("TabSheet1"));

  URL_ = HistoryBox("URL", page);
  querysearch_ = HistoryBox("querysearch", page);
  any_ = new QRadioButton(QStringLiteral("Any"), page);
  any_->setObjectName(QStringLiteral("any"));
  all_ = new QRadioButton(QStringLiteral("All"), page);
  all_->setObjectName(QStringLiteral("all"));
  auto* anyall = new QButtonGroup(page);
  anyall->addButton(any_);
  anyall->addButton(all_);
  word_ = new QCheckBox(QStringLiteral("Match Whole Word Only"), page);
  word_->setObjectName(QStringLiteral("word"));
  casesensitive_ = new QCheckBox(QStringLiteral("Match Case"), page);
  casesensitive_->setObjectName(QStringLiteral("casesensitive"));
  searchbtn_ = new QPushButton(page);
  searchbtn_->setObjectName(QStringLiteral("searchbtn"));
  clearbtn_ = new QPushButton(page);
  clearbtn_->setObjectName(QStringLiteral("clearbtn"));

  auto* fields = new QGridLayout;
  fields->addWidget(Caption("Enter the &URL you wish to search:", URL_, page), 0, 0, 1, 2);
  fields->addWidget(URL_, 1, 0, 1, 2);
  fields->addWidget(Caption("&Keywords:", querysearch_, page), 2, 0, 1, 2);
  fields->addWidget(querysearch_, 3, 0, 1, 2);
  auto* options = new QHBoxLayout;
  for (QWidget* option : {static_cast<QWidget*>(any_), static_cast<QWidget*>(all_),
                          static_cast<QWidget*>(word_), static_cast<QWidget*>(casesensitive_)}) {
    options->addWidget(option);
  }
  options->addStretch();
  fields->addLayout(options, 4, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(searchbtn_);
  buttons->addWidget(clearbtn_);
  buttons->addStretch();
  fields->addLayout(buttons, 5, 0, 1, 2);

  auto* upper = new QHBoxLayout;
  upper->addLayout(fields, 3);
  upper->addWidget(BuildStatistics(), 2);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(Heading("Ferrowyn! Search Center", page));
  layout->addLayout(upper);
  layout->addWidget(BuildLowerPanel(), 1);

  setTabOrder(URL_, querysearch_);
  setTabOrder(querysearch_, any_);
  setTabOrder(any_, all_);
  setTabOrder(all_, word_);
  setTabOrder(word_, casesensitive_);
  setTabOrder(casesensitive_, searchbtn_);
  setTabOrder(searchbtn_, clearbtn_);
  setTabOrder(clearbtn_, PageControl3_);
  return page;
}

QWidget* MainWindow::BuildStatistics() {
  PageControl3_ = new QTabWidget(this);
  PageControl3_->setObjectName(QStringLiteral("PageControl3"));
  auto* retrieval = new QWidget(PageControl3_);
  retrieval->setObjectName(QStringLiteral("TabSheet4"));
  auto* rform = new QFormLayout(retrieval);
  elapsedview_ = Counter(rform, "Time Elapsed", "elapsedview", retrieval);
  numproc_ = Counter(rform, "Pages Retrieved", "numproc", retrieval);
  bytestran_ = Counter(rform, "Kilobytes Transferred", "bytestran", retrieval);
  auto* query = new QWidget(PageControl3_);
  query->setObjectName(QStringLiteral("TabSheet7"));
  auto* qform = new QFormLayout(query);
  hits_ = Counter(qform, "Number of Hits", "hits", query);
  pagesavl_ = Counter(qform, "Pages Searched", "pagesavl", query);
  pages_label_ = Counter(qform, "Total Pages", "pages", query);
  PageControl3_->addTab(retrieval, QStringLiteral("Retrieval Statistics"));
  PageControl3_->addTab(query, QStringLiteral("Query Statistics"));
  return PageControl3_;
}

QWidget* MainWindow::BuildLowerPanel() {
  PageControl2_ = new QTabWidget(this);
  PageControl2_->setObjectName(QStringLiteral("PageControl2"));
  slotview_ = new SlotView(main_.slotview(), PageControl2_);
  slotview_->setAccessibleName(QStringLiteral("Retrieval Progress"));
  querylist_ = ListView("querylist", main_.querylist(), PageControl2_);
  querylist_->setAccessibleName(QStringLiteral("Query Results"));
  querylist_->header()->resizeSection(0, 420);
  resultslist_ = new ResultsList(main_, querylist_, this);
  resultslist_->BindMenu(menus_.startmenu);
  PageControl2_->addTab(slotview_, QStringLiteral("Retrieval Progress"));
  PageControl2_->addTab(querylist_, QStringLiteral("Query Results"));
  return PageControl2_;
}

QWidget* MainWindow::BuildSiteMapPage() {
  sitemappage_ = new SiteMapPage(main_, this);
  sitemappage_->BindMenu(menus_.mapmenu, menus_.FindAgain1);
  mainview_ = sitemappage_->mainview();
  urllistview_ = sitemappage_->urllistview();
  return sitemappage_;
}

void MainWindow::AttachViewer(PageViewer& viewer, std::function<void(int)> help) {
  pagecommands_ = std::make_unique<PageCommands>(main_, viewer);
  sitemappage_->SetCommands(pagecommands_.get(), std::move(help));
  resultslist_->SetCommands(pagecommands_.get());
}

void MainWindow::ConnectControls() {
  connect(&main_, &Tsearchmain::changed, this, &MainWindow::Refresh);
  connect(&main_, &Tsearchmain::closeRequested, this, &QWidget::close);
  connect(&main_, &Tsearchmain::heightChangeRequested, this,
          [this](int delta) { resize(width(), height() + delta); });
  connect(&main_, &Tsearchmain::hintsChanged, this, &MainWindow::ApplyHints);

  SearchCenterState& state = main_.state();
  connect(URL_, &QComboBox::editTextChanged, this, [this, &state](const QString& text) {
    if (!refreshing_) state.fields.URL.text = Bytes(text);
  });
  connect(querysearch_, &QComboBox::editTextChanged, this, [this, &state](const QString& text) {
    if (!refreshing_) state.fields.querysearch.text = Bytes(text);
  });
  connect(any_, &QRadioButton::toggled, this, [this, &state](bool on) {
    if (!refreshing_) state.any = on;
  });
  connect(word_, &QCheckBox::toggled, this, [this, &state](bool on) {
    if (!refreshing_) state.word = on;
  });
  connect(casesensitive_, &QCheckBox::toggled, this, [this, &state](bool on) {
    if (!refreshing_) state.casesensitive = on;
  });
  // The user may look at either tab; the controller switches them when it reports.
  connect(PageControl3_, &QTabWidget::currentChanged, this, [this, &state](int index) {
    if (!refreshing_) state.statisticspage = StatisticsPage(index);
  });
  connect(PageControl2_, &QTabWidget::currentChanged, this, [this, &state](int index) {
    if (!refreshing_) state.lowerpage = LowerPage(index);
  });
  connect(searchbtn_, &QPushButton::clicked, &main_, &Tsearchmain::SearchBtnClick);
  connect(clearbtn_, &QPushButton::clicked, &main_, &Tsearchmain::clearbtnClick);
  URL_->installEventFilter(this);
  querysearch_->installEventFilter(this);

  // Help for the page shown, from anywhere in the window.
  auto* help = new QAction(this);
  help->setShortcut(QKeySequence::HelpContents);
  connect(help, &QAction::triggered, &main_, &Tsearchmain::ToolbarButton972Click);
  addAction(help);
}

void MainWindow::Refresh() {
  const SearchCenterState& state = main_.state();
  refreshing_ = true;
  setWindowTitle(Text(state.caption));
  pages_->setCurrentIndex(state.activepage == MainPage::kSearch ? 0 : 1);
  UseMenuShortcuts(state.popupmenu);

  RefreshHistory(URL_, state.fields.URL);
  RefreshHistory(querysearch_, state.fields.querysearch);
  // Against this window: while a guidance window shows, the whole window is disabled.
  if (querysearch_->isEnabledTo(this) != state.querysearchenabled)
    SetFieldEnabled(querysearch_, state.querysearchenabled);
  any_->setChecked(state.any);
  all_->setChecked(!state.any);
  word_->setChecked(state.word);
  casesensitive_->setChecked(state.casesensitive);

  searchbtn_->setText(Text(state.searchbtn.caption));
  searchbtn_->setEnabled(state.searchbtn.enabled);
  clearbtn_->setText(Text(state.clearbtn.caption));
  clearbtn_->setEnabled(state.clearbtn.enabled);
  menus_.EngageFerrowyn1->setEnabled(state.EngageFerrowyn1.enabled);
  menus_.HaltSearch1->setEnabled(state.HaltSearch1.enabled);
  menus_.EnableHints1->setChecked(main_.live().hints);

  PageControl3_->setCurrentIndex(state.statisticspage == StatisticsPage::kRetrieval ? 0 : 1);
  PageControl2_->setCurrentIndex(state.lowerpage == LowerPage::kRetrievalProgress ? 0 : 1);
  elapsedview_->setText(Text(state.elapsedview));
  numproc_->setText(Text(state.numproc));
  bytestran_->setText(Text(state.bytestran));
  hits_->setText(Text(state.hits));
  pagesavl_->setText(Text(state.pagesavl));
  pages_label_->setText(Text(state.pages));

  cursor_.Show(state.cursor);
  refreshing_ = false;
}

void MainWindow::RefreshHistory(QComboBox* box, const HistoryField& field) {
  bool same = box->count() == static_cast<int>(field.items.size());
  for (int i = 0; same && i < box->count(); ++i) same = box->itemText(i) == Text(field.items[i]);
  if (!same) {
    box->clear();
    for (const std::string& item : field.items) box->addItem(Text(item));
  }
  const QString text = Text(field.text);
  if (box->currentText() != text) box->setEditText(text);
}

void MainWindow::UseMenuShortcuts(WindowMenu menu) {
  if (menu == shortcutmenu_) return;
  shortcutmenu_ = menu;
  const bool start = menu == WindowMenu::kStartMenu;
  // The toolbar's drop-downs hold both menus, which would make both menus' keys work
  // everywhere (Ctrl+O is in each): the other menu's items lose their keys meanwhile.
  for (QAction* action : start ? menus_.mapshortcuts : menus_.startshortcuts) {
    action->setShortcut(QKeySequence());
    removeAction(action);
  }
  for (QAction* action : start ? menus_.startshortcuts : menus_.mapshortcuts) {
    action->setShortcut(action->property(kShortcutProperty).value<QKeySequence>());
    addAction(action);
  }
}

void MainWindow::ApplyHints(bool on) {
  querysearch_->setToolTip(on ? QString::fromLatin1(kKeywordHint) : QString());
  menus_.EnableHints1->setChecked(on);
}

void MainWindow::BringForward() {
  if (isMinimized()) {
    showNormal();
  } else {
    show();
  }
  raise();
  activateWindow();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  URL_->setFocus();
  main_.FormShow();
  const WindowPosition& position = main_.state().windowposition;
  move(position.left.value_or(x()), position.top.value_or(y()));
  resize(position.width.value_or(width()), position.height.value_or(height()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  const CloseAction action = main_.FormClose({y(), x(), width(), height()});
  if (action == CloseAction::kClose) {
    event->accept();
    emit closed();
  } else {
    event->ignore();
  }
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu =
      main_.state().popupmenu == WindowMenu::kStartMenu ? menus_.startmenu : menus_.mapmenu;
  menu->popup(event->globalPos());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (watched == URL_) return main_.URLKeyDown(key);
  if (watched == querysearch_) return main_.mainsearchKeyDown(key);
  if (auto* button = qobject_cast<QToolButton*>(watched); button && key == Qt::Key_Down) {
    button->showMenu();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace ferrowyn::gui
