// `printquery`: the query report of the results list, laid out in a new print preview.
#pragma once

#include <QAction>
#include <functional>

#include "app/search_center.h"
#include "gui/print_preview.h"

namespace ferrowyn::gui {

// Opens the preview over `window` (disabled while it shows) and lays out the report of
// the rows `main`'s results list holds now. A failure is reported with the report's
// message and leaves the dialog open with what was laid out. Returns the dialog.
// GUI thread only.
Tprintdlg* printquery(Tsearchmain& main, std::function<void(int)> help, QWidget* window);

// Makes the Query menu's "&Print..." (`Print1`) run printquery and enables it.
void BindQueryPrinting(QAction* Print1, Tsearchmain& main, std::function<void(int)> help,
                       QWidget* window);

}  // namespace ferrowyn::gui
