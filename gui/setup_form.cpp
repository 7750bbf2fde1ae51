// The setup dialog (first outline).
#include "gui/setup_form.h"

#include <QTabWidget>

#include "gui/help_window.h"

namespace ferrowyn::gui {

struct Tsetupform::Controls {
  QTabWidget* pages = nullptr;
};

Tsetupform::Tsetupform(SetupDialogLogic& logic, LiveSettings& live, HelpWindow& help,
                       QWidget* parent)
    : QDialog(parent), logic_(logic), live_(live), help_(help), controls_(new Controls) {
  controls_->pages = new QTabWidget(this);
}
Tsetupform::~Tsetupform() { delete controls_; }
QTabWidget* Tsetupform::pages() const { return controls_->pages; }
void Tsetupform::showEvent(QShowEvent* event) { QDialog::showEvent(event); }
void Tsetupform::done(int result) { QDialog::done(result); }
void Tsetupform::Build() {}
void Tsetupform::Refresh() {}

}  // namespace ferrowyn::gui
