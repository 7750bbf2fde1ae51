// The results list's commands.
#include "gui/results_list.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTreeView>

#include "gui/page_commands.h"
#include "view/list_sorting.h"

namespace ferrowyn::gui {

ResultsList::ResultsList(Tsearchmain& main, QTreeView* querylist, QObject* parent)
    : QObject(parent), main_(main), querylist_(querylist) {
  querypopup_ = new QMenu(querylist_);
  querypopup_->setObjectName(QStringLiteral("querypopup"));
  keywordhighlight_ = querypopup_->addAction(QStringLiteral("&Keyword Highlight"));
  keywordhighlight_->setObjectName(QStringLiteral("keywordhighlight"));
  queryopenbrowser_ = querypopup_->addAction(QStringLiteral("&Open In Browser"));
  queryopenbrowser_->setObjectName(QStringLiteral("queryopenbrowser"));
  querypopup_->setDefaultAction(keywordhighlight_);
  connect(keywordhighlight_, &QAction::triggered, this, &ResultsList::keywordhighlightClick);
  connect(queryopenbrowser_, &QAction::triggered, this, &ResultsList::queryopenbrowserClick);

  querylist_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(querylist_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    const bool selected = SelectedUrl().has_value();
    keywordhighlight_->setEnabled(selected);
    queryopenbrowser_->setEnabled(selected);
    querypopup_->popup(querylist_->viewport()->mapToGlobal(at));
  });
  connect(querylist_, &QAbstractItemView::doubleClicked, this, [this] {
    if (SelectedUrl()) keywordhighlightClick();
  });
  querylist_->header()->setSectionsClickable(true);
  connect(querylist_->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { SortQueryList(main_.querylist(), column); });
}

void ResultsList::BindMenu(QMenu* startmenu) {
  if (QAction* item = startmenu->findChild<QAction*>(QStringLiteral("KeywordHighlight2"))) {
    connect(item, &QAction::triggered, this, &ResultsList::keywordhighlightClick);
    item->setEnabled(true);
  }
  if (QAction* item = startmenu->findChild<QAction*>(QStringLiteral("Browser"))) {
    connect(item, &QAction::triggered, this, &ResultsList::BrowserClick);
    item->setEnabled(true);
  }
}

std::optional<std::string> ResultsList::SelectedUrl() const {
  const QModelIndexList rows = querylist_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return std::nullopt;
  return rows.front().data().toString().toLatin1().toStdString();
}

void ResultsList::keywordhighlightClick() {
  if (commands_ != nullptr) commands_->displayinternal(SelectedUrl());
}

void ResultsList::queryopenbrowserClick() {
  if (const auto url = SelectedUrl(); url && commands_ != nullptr) commands_->OpenInBrowser(*url);
}

void ResultsList::BrowserClick() {
  const std::optional<std::string> url = SelectedUrl();
  if (!url) return main_.port().Error(kSelectQueryResultFirst);
  if (commands_ != nullptr) commands_->OpenInBrowser(*url);
}

}  // namespace ferrowyn::gui
