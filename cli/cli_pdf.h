// Printing a report into a PDF file for the commands' --pdf, with what they say about it
// on standard error.
#pragma once

#include <functional>
#include <string>

#include "view/page_printer.h"

namespace ferrowyn::cli {

// Lays the document out with `write` into a fresh page printer and writes it as the PDF
// file `out`. Says "N pages written to "OUT"." on success; when `write` throws, says
// `failed`; when the file cannot be written, says why. True on success. Needs a
// QGuiApplication; main thread only.
bool PrintPdf(const std::function<void(TPagePrinter&)>& write, const char* failed,
              const std::string& out);

}  // namespace ferrowyn::cli
