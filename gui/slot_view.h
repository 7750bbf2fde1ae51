// The slot view `slotview`: the eight fixed rows of the transfer and query slots,
// white text on blue, a small icon per kind of slot, and rows that cannot be selected.
#pragma once

#include <QTreeView>

#include "view/slot_view_model.h"

namespace ferrowyn::gui {

// Shows the controller's SlotViewModel, which outlives it. GUI thread only.
class SlotView : public QTreeView {
  Q_OBJECT

 public:
  explicit SlotView(SlotViewModel& model, QWidget* parent = nullptr);

  // slotviewSelectItem: a row that becomes current or selected is let go at once.
  void slotviewSelectItem();
};

}  // namespace ferrowyn::gui
