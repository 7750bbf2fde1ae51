// The query report in the print preview, and the menu item that opens it.
#include "gui/print_query.h"

#include <exception>

#include "app/report_printing.h"
#include "gui/cursor.h"

namespace ferrowyn::gui {

Tprintdlg* printquery(Tsearchmain& main, std::function<void(int)> help, QWidget* window) {
  Tprintdlg* dialog = nullptr;
  bool failed = false;
  {
    HourglassCursor wait;
    dialog = ShowPrintPreview(main.port(), std::move(help), kHelpQueryReport, window);
    try {
      WriteQueryReport(dialog->PagePrinter1(), main.live(), main.state().sitename,
                       main.querylist());
      dialog->EndDoc();
    } catch (const std::exception&) {
      failed = true;
    }
  }
  // The normal cursor is back before the message shows.
  if (failed) main.port().Error(kQueryReportFailed);
  return dialog;
}

void BindQueryPrinting(QAction* Print1, Tsearchmain& main, std::function<void(int)> help,
                       QWidget* window) {
  QObject::connect(Print1, &QAction::triggered, &main,
                   [&main, help, window] { printquery(main, help, window); });
  Print1->setEnabled(true);
}

}  // namespace ferrowyn::gui
