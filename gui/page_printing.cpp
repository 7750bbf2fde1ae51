// Printing a page printer's document on the default printer or into a PDF file.
#include "gui/page_printing.h"

#include <QApplication>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <cmath>

#include "gui/qt_user_port.h"
#include "view/page_output.h"

namespace ferrowyn::gui {

bool UsePdfFileWithoutPrinter(QPrinter& printer, UserPort& port) {
  if (!QPrinterInfo::defaultPrinter().isNull() && printer.outputFormat() == QPrinter::NativeFormat)
    return true;
  FileDialogRequest request;
  request.mode = FileDialogRequest::kSave;
  request.title = "Print to File";
  request.filter = "PDF Files (*.pdf)|*.pdf";
  request.default_extension = ".pdf";
  request.overwrite_prompt = true;
  const std::optional<std::string> file = port.ChooseFile(request);
  if (!file) return false;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QFile::decodeName(QByteArray::fromStdString(*file)));
  return true;
}

bool PrintDocument(const TPagePrinter& document, UserPort& port, QWidget* parent) {
  QPrinter& printer = SharedPrinter();
  if (!UsePdfFileWithoutPrinter(printer, port)) return false;
  printer.setDocName(Latin1(document.title()));
  printer.setFullPage(true);
  // The preview was laid out on this printer's paper; a document laid out on another
  // gets paper of its own size.
  const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Inch).size();
  if (std::abs(paper.width() - document.paper().width()) > 0.01 ||
      std::abs(paper.height() - document.paper().height()) > 0.01) {
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageSize(QPageSize(document.paper(), QPageSize::Inch));
  }

  QProgressDialog progress(QStringLiteral("Printing..."), QStringLiteral("Cancel"), 0,
                           document.PageCount(), parent);
  progress.setWindowTitle(QStringLiteral("Printing"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  const bool printed = PaintDocument(document, printer, [&progress, &printer](int page) {
    progress.setValue(page - 1);
    QApplication::processEvents();
    // Abandoned while the job is open, so that nothing of it reaches the printer.
    if (progress.wasCanceled()) printer.abort();
    return !progress.wasCanceled();
  });
  if (!printed) return false;
  progress.setValue(document.PageCount());
  return true;
}

}  // namespace ferrowyn::gui
