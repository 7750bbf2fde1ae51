// The slot view's looks: colours from the model's rule, icons by image index.
#include "gui/slot_view.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStyledItemDelegate>

#include "gui/theme_icons.h"

namespace ferrowyn::gui {

namespace {
// Draws each row's icon from its image index: 0 a transfer slot, 1 a query slot.
class SlotIconDelegate : public QStyledItemDelegate {
 public:
  explicit SlotIconDelegate(QObject* parent)
      : QStyledItemDelegate(parent),
        icons_{ThemeIcon(IconId::kTransferSlot), ThemeIcon(IconId::kQuerySlot)} {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != SlotViewModel::kName) return;
    const QVariant image = index.data(SlotViewModel::kImageIndexRole);
    if (!image.isValid()) return;
    const int which = image.toInt();
    if (which < 0 || which >= 2) return;
    option->icon = icons_[which];
    option->features |= QStyleOptionViewItem::HasDecoration;
  }

 private:
  QIcon icons_[2];
};

bool OnlyTwoHundredFiftySixColours() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr && screen->depth() <= 8;
}
}  // namespace

SlotView::SlotView(SlotViewModel& model, QWidget* parent) : QTreeView(parent) {
  setObjectName(QStringLiteral("slotview"));
  setModel(&model);
  setItemDelegate(new SlotIconDelegate(this));
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setIconSize(QSize(16, 16));
  header()->setStretchLastSection(true);
  header()->resizeSection(SlotViewModel::kName, 110);

  const Rgb background = SlotViewModel::Background(OnlyTwoHundredFiftySixColours());
  QPalette colours = palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    colours.setColor(group, QPalette::Base,
                     QColor(background.red, background.green, background.blue));
    colours.setColor(group, QPalette::Text, Qt::white);
    colours.setColor(group, QPalette::AlternateBase,
                     QColor(background.red, background.green, background.blue));
  }
  setPalette(colours);
  setAutoFillBackground(true);

  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          &SlotView::slotviewSelectItem);
  connect(this, &QAbstractItemView::pressed, this, &SlotView::slotviewSelectItem);
}

void SlotView::slotviewSelectItem() {
  if (!selectionModel()->hasSelection() && !currentIndex().isValid()) return;
  selectionModel()->clear();
}

}  // namespace ferrowyn::gui
