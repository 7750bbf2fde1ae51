// The row of buttons under a dialog.
#include "gui/dialog_buttons.h"

#include <QBoxLayout>

namespace ferrowyn::gui {

std::vector<QPushButton*> AddButtonRow(QBoxLayout* into, QWidget* parent,
                                       std::initializer_list<const char*> captions) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  std::vector<QPushButton*> buttons;
  for (const char* caption : captions) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    row->addWidget(button);
    buttons.push_back(button);
  }
  if (!buttons.empty()) buttons.front()->setDefault(true);
  into->addLayout(row);
  return buttons;
}

}  // namespace ferrowyn::gui
