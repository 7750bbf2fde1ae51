// The page printer `TPagePrinter`: a document of text lines and table rows in fonts,
// laid out into pages as it is written, and painted on any paint device (the preview,
// a printer, a PDF file), so that what is previewed is what is printed.
#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/font_record.h"
#include "view/table_format.h"

class QPainter;

namespace ferrowyn {

// Page geometry is laid out in dots of this many per inch, whatever paints it.
inline constexpr double kPrinterDotsPerInch = 1200.0;

// A table format or a font the page printer cannot use. what() says why.
class EPagePrinterError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One line of text placed on a page: its box (left, top, width = the text's advance,
// height = the font's line spacing), in dots from the paper's top-left corner.
struct PlacedText {
  QRectF box;
  QString text;
  int font = 0;  // index into TPagePrinter::fonts()
};

// What a page holds once laid out.
struct LaidOutPage {
  std::vector<PlacedText> texts;
  std::vector<QLineF> lines;  // grid lines, in dots
};

// Owned by its user; GUI thread only (fonts are measured through Qt's font database,
// so a QGuiApplication must exist). Writing lays out at once: the page count and the
// pages are valid after every write. Throws EPagePrinterError from SetTableFormat and from
// a table row written without a format.
class TPagePrinter {
 public:
  TPagePrinter();
  ~TPagePrinter();
  TPagePrinter(const TPagePrinter&) = delete;
  TPagePrinter& operator=(const TPagePrinter&) = delete;

  // --- Page setup (inches); takes effect at the next BeginDoc.
  // Default: US Letter, 8.5 x 11 inches.
  void SetPaperSize(QSizeF inches) { paper_ = inches; }
  // Default: 0.25 left and right, one fifteenth top and bottom.
  void SetMargins(double left, double top, double right, double bottom);
  // The font the document starts in. Default: "Courier New", 10 points, black.
  void SetDefaultFont(const FontRecord& font) { defaultfont_ = font; }
  // The print job's title. Default: "PagePrinter Testing".
  void SetTitle(const std::string& title) { title_ = title; }
  const std::string& title() const { return title_; }
  QSizeF paper() const { return paper_; }

  // --- Writing.
  // An empty document: one empty page, current page 1, the default font, word wrap on,
  // no table format, grid lines off.
  void BeginDoc();
  // Ends the document: the first page becomes current.
  void EndDoc();
  // The font of the lines and rows written after it. A face that is not installed
  // falls back to the nearest one, as Qt chooses it.
  void SetFont(const FontRecord& font);
  void SetWordWrap(bool on) { wordwrap_ = on; }
  // "<4|<1|<3": columns separated by "|", each an optional "<" (left), ">" (right)
  // or "^" (centred) and a width in inches. Throws EPagePrinterError on any other text.
  void SetTableFormat(const std::string& format);
  void SetGridLines(bool on) { gridlines_ = on; }
  // A line of text from the left margin, wrapped at the right margin when word wrap is
  // on; an empty text is an empty line. Line breaks inside the text start new lines.
  void WriteLine(const std::string& text);
  // A table row: cells separated by "|" fill the columns in order. Missing cells are
  // empty; the text past the last column's "|" stays in the last cell, "|" included, so
  // that nothing written is lost. Cells wrap inside their columns when word wrap is on;
  // the row goes on over page breaks until every cell is written. Without a table
  // format this throws EPagePrinterError.
  void WriteTableRow(const std::string& row);
  // The same with the cells given one by one, for texts that may hold "|" themselves.
  void WriteTableCells(const std::vector<std::string>& cells);

  // --- The laid-out document.
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // 1-based, 0 while there are no pages; SetCurrentPage clamps into 1..PageCount().
  int CurrentPage() const { return current_; }
  void SetCurrentPage(int page);
  const LaidOutPage& Page(int page) const { return pages_.at(page - 1); }
  // The fonts the pages refer to (pixel-sized in dots).
  const std::vector<QFont>& fonts() const { return fonts_; }
  const std::vector<QColor>& colors() const { return colors_; }
  // The printable area of the page, in dots.
  QRectF PrintableArea() const;
  QSizeF PaperDots() const;

  // Paints page `page` on `painter`, whose coordinates are in dots from the paper's
  // top-left corner (scale it by device resolution / kPrinterDotsPerInch first). The
  // paper itself is not filled.
  void PaintPage(int page, QPainter& painter) const;

 private:
  struct Measure;
  void NewPage();
  // One line of text from the left margin, on a new page when it does not fit.
  void PlaceTextLine(const QString& text, const Measure& measure);
  const Measure& CurrentMeasure();

  QSizeF paper_{8.5, 11.0};
  double leftmargin_ = 0.25, topmargin_ = 1.0 / 15, rightmargin_ = 0.25, bottommargin_ = 1.0 / 15;
  FontRecord defaultfont_{"Courier New", 10, {}, 0};
  std::string title_ = "PagePrinter Testing";

  bool wordwrap_ = true;
  bool gridlines_ = false;
  std::vector<TableColumn> table_;
  std::vector<FontRecord> records_;
  std::vector<QFont> fonts_;
  std::vector<QColor> colors_;
  std::vector<std::unique_ptr<Measure>> measures_;  // per font
  int font_ = 0;
  std::vector<LaidOutPage> pages_;
  double y_ = 0;            // where the next line goes on the last page, in dots
  double gridbottom_ = -1;  // the bottom grid line of the last row on the last page
  int current_ = 0;
};

}  // namespace ferrowyn
