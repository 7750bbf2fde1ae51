// The site map page and its commands.
#include "gui/site_map_page.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include "base/case_folding.h"
#include "gui/cursor.h"
#include "gui/page_commands.h"

namespace ferrowyn::gui {

namespace {

constexpr int kBarWidth = 3;
constexpr int kFindBarPosition = 148;
// A find lets the window repaint and take input every so many rows.
constexpr int kRowsBetweenEvents = 1024;

bool Holds(const std::string& text, const std::string& sought, bool matchcase) {
  return (matchcase ? text : AsciiLower(text)).find(sought) != std::string::npos;
}

// A view under its heading; the heading names the view for assistive tools.
QWidget* Headed(const char* heading, QTreeView* view, const QMargins& margins, QWidget* parent) {
  auto* side = new QWidget(parent);
  auto* label = new QLabel(QString::fromLatin1(heading), side);
  label->setBuddy(view);
  view->setParent(side);
  view->setAccessibleName(label->text());
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(margins);
  layout->addWidget(label);
  layout->addWidget(view);
  return side;
}

QAction* PopupItem(QMenu* menu, const char* caption, const char* name) {
  QAction* action = menu->addAction(QString::fromLatin1(caption));
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

}  // namespace

SiteMapPage::SiteMapPage(Tsearchmain& main, QWidget* parent)
    : QSplitter(Qt::Vertical, parent), main_(main) {
  setObjectName(QStringLiteral("PTSplitter1"));
  setChildrenCollapsible(true);

  mainview_ = new QTreeView(this);
  mainview_->setObjectName(QStringLiteral("mainview"));
  mainview_->setModel(&main_.mainview());
  mainview_->setHeaderHidden(true);
  mainview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  mainview_->setContextMenuPolicy(Qt::CustomContextMenu);
  mainview_->viewport()->installEventFilter(this);

  urllistview_ = new QTreeView(this);
  urllistview_->setObjectName(QStringLiteral("urllistview"));
  urllistview_->setModel(&main_.urllistview());
  urllistview_->setRootIsDecorated(false);
  urllistview_->setUniformRowHeights(true);
  urllistview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  urllistview_->setSelectionBehavior(QAbstractItemView::SelectRows);
  urllistview_->setSelectionMode(QAbstractItemView::SingleSelection);
  urllistview_->setContextMenuPolicy(Qt::CustomContextMenu);
  urllistview_->header()->setSectionsClickable(true);
  urllistview_->header()->resizeSection(0, 380);

  mapside_ = Headed("Ferrowyn! Site Map", mainview_, QMargins(6, 6, 6, 0), this);
  listside_ = Headed("Ferrowyn! Page List", urllistview_, QMargins(6, 0, 6, 6), this);
  addWidget(mapside_);
  addWidget(listside_);

  PopupMenuMainView_ = new QMenu(this);
  PopupMenuMainView_->setObjectName(QStringLiteral("PopupMenuMainView"));
  OpenInternally1_ = PopupItem(PopupMenuMainView_, "&Open Graphic-Free", "OpenInternally1");
  mapopenurl_ = PopupItem(PopupMenuMainView_, "Open In &Browser", "mapopenurl");
  PopupMenuMainView_->setDefaultAction(OpenInternally1_);
  pagelist_ = new QMenu(this);
  pagelist_->setObjectName(QStringLiteral("pagelist"));
  OpenInternal2_ = PopupItem(pagelist_, "&Open Graphic-Free", "OpenInternal2");
  listopeninbrowser_ = PopupItem(pagelist_, "Open In &Browser", "listopeninbrowser");
  pagelist_->setDefaultAction(OpenInternal2_);

  connect(OpenInternally1_, &QAction::triggered, this, [this] { Open(ClickedUrl(), false); });
  connect(mapopenurl_, &QAction::triggered, this, [this] { Open(ClickedUrl(), true); });
  connect(OpenInternal2_, &QAction::triggered, this, [this] { Open(SelectedUrl(), false); });
  connect(listopeninbrowser_, &QAction::triggered, this, [this] { Open(SelectedUrl(), true); });
  connect(mainview_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    PopupMenuMainView_->popup(mainview_->viewport()->mapToGlobal(at));
  });
  connect(urllistview_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    const bool selected = SelectedUrl().has_value();
    OpenInternal2_->setEnabled(selected);
    listopeninbrowser_->setEnabled(selected);
    pagelist_->popup(urllistview_->viewport()->mapToGlobal(at));
  });
  connect(urllistview_, &QAbstractItemView::doubleClicked, this,
          [this] { Open(SelectedUrl(), false); });
  connect(urllistview_->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { main_.urllistview().sort(column, Qt::AscendingOrder); });
}

void SiteMapPage::BindMenu(QMenu* mapmenu, QAction* FindAgain1) {
  FindAgain1_ = FindAgain1;
  const std::pair<const char*, std::function<void()>> items[] = {
      {"Toggle1", [this] { Toggle1Click(); }},
      {"Find1", [this] { searchmainit(true); }},
      {"FindAgain1", [this] { searchmainit(false); }},
      {"OpenInternal1", [this] { OpenInternal1Click(); }},
      {"OpenInBrowser2", [this] { OpenInBrowser2Click(); }},
  };
  for (const auto& [name, command] : items) {
    QAction* action = mapmenu->findChild<QAction*>(QString::fromLatin1(name));
    if (action == nullptr) continue;
    connect(action, &QAction::triggered, this, command);
    action->setEnabled(action != FindAgain1_);
  }
}

void SiteMapPage::SetCommands(PageCommands* commands, std::function<void(int)> help) {
  commands_ = commands;
  help_ = std::move(help);
}

bool SiteMapPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == mainview_->viewport() && event->type() == QEvent::MouseButtonPress) {
    const QModelIndex index =
        mainview_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (index.isValid()) {
      clickednode_ = main_.mainview().NodeAt(index);
      mainview_->setCurrentIndex(index);
    }
    OpenInternally1_->setEnabled(index.isValid());
    mapopenurl_->setEnabled(index.isValid());
  }
  return QSplitter::eventFilter(watched, event);
}

std::optional<std::string> SiteMapPage::ClickedUrl() const {
  if (!main_.mainview().Contains(clickednode_)) return std::nullopt;
  return main_.mainview().Text(clickednode_);
}

std::optional<std::string> SiteMapPage::SelectedUrl() const {
  const QModelIndexList rows = urllistview_->selectionModel()->selectedRows();
  if (rows.isEmpty() || rows.front().row() >= main_.urllistview().RowCount()) return std::nullopt;
  return main_.urllistview().Row(rows.front().row()).Url;
}

void SiteMapPage::Open(const std::optional<std::string>& url, bool browser) {
  if (!url || commands_ == nullptr) return;
  if (browser) {
    commands_->OpenInBrowser(*url);
  } else {
    commands_->displayinternalnokeys(*url);
  }
}

void SiteMapPage::OpenInternal1Click() {
  if (mainview_->hasFocus()) {
    if (!ClickedUrl()) return main_.port().Error(kSelectUrlFirst);
    return Open(ClickedUrl(), false);
  }
  Open(SelectedUrl(), false);
}

void SiteMapPage::OpenInBrowser2Click() {
  if (mainview_->hasFocus()) {
    if (!ClickedUrl()) return main_.port().Error(kSelectUrlFirst);
    return Open(ClickedUrl(), true);
  }
  Open(SelectedUrl(), true);
}

int SiteMapPage::BarPosition() const {
  const QList<int> panes = sizes();
  return panes.isEmpty() ? 0 : panes.front();
}

void SiteMapPage::SetBarPosition(int position) {
  const int total = height();
  position = std::clamp(position, 0, total);
  setSizes({position, total - position});
}

void SiteMapPage::Toggle1Click() {
  if (!mapside_->isHidden() && !listside_->isHidden()) {
    mapside_->hide();
    setHandleWidth(0);
    SetBarPosition(0);
  } else if (mapside_->isHidden() && !listside_->isHidden()) {
    listside_->hide();
    mapside_->show();
    setHandleWidth(0);
    SetBarPosition(height());
  } else {
    setHandleWidth(kBarWidth);
    mapside_->show();
    listside_->show();
    SetBarPosition(height() / 2);
  }
}

bool SiteMapPage::RowMatches(int row, const std::string& sought) const {
  const PageListRow& page = main_.urllistview().Row(row);
  return Holds(page.Url, sought, lastfind_.matchcase) ||
         Holds(page.Title, sought, lastfind_.matchcase);
}

void SiteMapPage::searchmainit(bool ask) {
  if (main_.state().activepage != MainPage::kSiteMap) main_.ToolbarButton974Click();
  if (listside_->isHidden()) {
    setHandleWidth(kBarWidth);
    mapside_->show();
    listside_->show();
    SetBarPosition(kFindBarPosition);
  }
  urllistview_->setFocus();
  if (!AskFind(lastfind_, ask, help_, window())) return;

  std::optional<HourglassCursor> hourglass(std::in_place);
  if (lastfind_.text != searchedtext_) findnextrow_ = 0;
  searchedtext_ = lastfind_.text;
  const std::string sought = lastfind_.matchcase ? lastfind_.text : AsciiLower(lastfind_.text);
  const PageListModel& rows = main_.urllistview();
  for (int row = findnextrow_; !sought.empty() && row < rows.RowCount(); ++row) {
    if (row % kRowsBetweenEvents == kRowsBetweenEvents - 1) QApplication::processEvents();
    if (row >= rows.RowCount() || !RowMatches(row, sought)) continue;
    const QModelIndex index = main_.urllistview().index(row, 0);
    urllistview_->setCurrentIndex(index);
    urllistview_->scrollTo(index);
    if (FindAgain1_ != nullptr) FindAgain1_->setEnabled(true);
    findnextrow_ = row + 1;
    return;
  }
  hourglass.reset();
  if (FindAgain1_ != nullptr) FindAgain1_->setEnabled(false);
  findnextrow_ = 0;
  main_.port().Information(NotFoundMessage(lastfind_.text));
}

}  // namespace ferrowyn::gui
