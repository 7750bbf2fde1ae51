// The about box `Taboutform`: the program's picture, its version, the maker's
// notices and a link to the maker's home page.
#pragma once

#include <QPointer>
#include <QWidget>

#include "base/user_port.h"

namespace ferrowyn::gui {

// Not modal: `owner` (the main window) is disabled while the box shows and enabled
// again when it closes, by "Close" or by its close box; closing releases the box.
// Create it with new; it deletes itself on closing. GUI thread only; the port
// outlives it.
class Taboutform : public QWidget {
  Q_OBJECT

 public:
  Taboutform(UserPort& port, QWidget* owner);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The link label: hands the home page to the browser.
  void LinkClick();

  UserPort& port_;
  QPointer<QWidget> owner_;
};

}  // namespace ferrowyn::gui
