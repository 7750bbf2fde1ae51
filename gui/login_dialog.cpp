// The site login dialog (first outline).
#include "gui/login_dialog.h"

namespace ferrowyn::gui {

Tpassdialog::Tpassdialog(QWidget* parent) : QDialog(parent) {}
LoginAnswer Tpassdialog::Ask() { return {}; }

}  // namespace ferrowyn::gui
