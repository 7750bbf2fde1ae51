// Printing on the system's default printer, or, where no printer is installed, into a
// PDF file whose name the user gives.
#pragma once

#include "base/user_port.h"
#include "view/page_printer.h"

class QPrinter;
class QWidget;

namespace ferrowyn::gui {

// With no default printer installed, turns `printer` into a PDF file printer after
// asking for the file's name through `port`; false when the user cancelled that.
// True at once when a printer is installed. GUI thread.
bool UsePdfFileWithoutPrinter(QPrinter& printer, UserPort& port);

// Prints every page of `document` on the shared printer, with a progress window over
// `parent` whose Cancel stops the job. False when the user cancelled (the file name or
// the progress). Throws EPagePrinterError when the printer fails. GUI thread.
bool PrintDocument(const TPagePrinter& document, UserPort& port, QWidget* parent);

}  // namespace ferrowyn::gui
