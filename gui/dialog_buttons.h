// The row of buttons under a dialog, in the dialog's own order rather than the
// platform's button box order, so that the tab order follows what the user reads.
#pragma once

#include <QPushButton>
#include <initializer_list>
#include <vector>

class QBoxLayout;

namespace ferrowyn::gui {

// Adds a right-aligned row of buttons with these captions to `into`; the first
// is the default button. Returns the buttons in caption order.
std::vector<QPushButton*> AddButtonRow(QBoxLayout* into, QWidget* parent,
                                       std::initializer_list<const char*> captions);

}  // namespace ferrowyn::gui
