// The page printer's pages on printers and in PDF files.
#include "view/page_output.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <string_view>

#include "store/query_file.h"

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
  // Replaced as every file we write is: never over anything but a regular file, and only
  // once the new one is complete on disk.
  try {
    ReplaceFileWith(QFile::encodeName(path).toStdString(),
                    std::string_view(pdf.data().constData(), pdf.data().size()));
  } catch (const EQueryFileError& error) {
    throw EPagePrinterError(error.what());
  }
}

}  // namespace ferrowyn
