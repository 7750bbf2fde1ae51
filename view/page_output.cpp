// The page printer's pages on printers and in PDF files.
#include "view/page_output.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace ferrowyn {

bool PaintDocument(const TPagePrinter& document, QPagedPaintDevice& device,
                   const std::function<bool(int page)>& next_page) {
  QPainter painter;
  if (!painter.begin(&device)) throw EPagePrinterError("The printer could not be started.");
  const double sx = device.logicalDpiX() / kPrinterDotsPerInch;
  const double sy = device.logicalDpiY() / kPrinterDotsPerInch;
  for (int page = 1; page <= document.PageCount(); ++page) {
    if (next_page && !next_page(page)) return false;
    if (page > 1 && !device.newPage()) throw EPagePrinterError("The printer refused a new page.");
    painter.save();
    painter.scale(sx, sy);
    document.PaintPage(page, painter);
    painter.restore();
  }
  if (!painter.end()) throw EPagePrinterError("The printer could not finish the document.");
  return true;
}

void WritePdfFile(const TPagePrinter& document, const QString& path) {
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&pdf);
    writer.setTitle(QString::fromLatin1(document.title()));
    writer.setCreator(QStringLiteral("Ferrowyn"));
    writer.setResolution(static_cast<int>(kPrinterDotsPerInch));
    writer.setPageLayout(QPageLayout(QPageSize(document.paper(), QPageSize::Inch),
                                     QPageLayout::Portrait, QMarginsF()));
    PaintDocument(document, writer);
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(pdf.data()) != pdf.data().size() ||
      !file.commit()) {
    throw EPagePrinterError("The file \"" + path.toStdString() +
                            "\" could not be written: " + file.errorString().toStdString());
  }
}

}  // namespace ferrowyn
