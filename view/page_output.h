// Sending the page printer's pages to a paged device: a printer, or a PDF file written
// without any window.
#pragma once

#include <QString>
#include <functional>

#include "view/page_printer.h"

class QPagedPaintDevice;

namespace ferrowyn {

// Paints every page of `document` on `device`, whose origin is the paper's top-left
// corner (a QPrinter with full-page painting, a QPdfWriter without margins), one device
// page per page. `next_page(n)` is asked before page n (from 1); when it answers false
// nothing more is painted and this returns false. Throws EPagePrinterError when the
// device cannot be painted on. GUI thread.
bool PaintDocument(const TPagePrinter& document, QPagedPaintDevice& device,
                   const std::function<bool(int page)>& next_page = {});

// Writes `document` as a PDF file at `path` (its paper size, the document's title),
// replacing only a regular file, and only once the whole new file is on disk. Throws
// EPagePrinterError with the reason when it cannot. GUI thread.
void WritePdfFile(const TPagePrinter& document, const QString& path);

}  // namespace ferrowyn
