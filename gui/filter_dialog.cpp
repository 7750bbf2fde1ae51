// The filter dialog (first outline).
#include "gui/filter_dialog.h"

namespace ferrowyn::gui {

Tfilterdialog::Tfilterdialog(QWidget* parent) : QDialog(parent) {}
FilterAnswer Tfilterdialog::Ask() { return {}; }

}  // namespace ferrowyn::gui
