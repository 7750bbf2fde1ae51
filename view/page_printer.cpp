// Laying out the page printer's lines and table rows into pages, and painting a page.
#include "view/page_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <array>
#include <cmath>

namespace ferrowyn {

namespace {

// Space between a cell's grid lines and its text.
constexpr double kCellPaddingX = 0.04 * kPrinterDotsPerInch;
constexpr double kCellPaddingY = 0.02 * kPrinterDotsPerInch;
constexpr double kGridLineWidth = 0.006 * kPrinterDotsPerInch;
// Font sizes beyond these are settings gone wrong; they are held to the nearest.
constexpr int kSmallestPoints = 1;
constexpr int kLargestPoints = 500;

QFont MakeFont(const FontRecord& record) {
  QFont font(QString::fromLatin1(record.name));
  const int points = std::clamp(record.size, kSmallestPoints, kLargestPoints);
  font.setPixelSize(static_cast<int>(std::lround(points * kPrinterDotsPerInch / 72.0)));
  font.setBold((record.style & kFontBold) != 0);
  font.setItalic((record.style & kFontItalic) != 0);
  font.setUnderline((record.style & kFontUnderline) != 0);
  font.setStrikeOut((record.style & kFontStrikeout) != 0);
  // Widths are summed character by character when lines are broken; without kerning or
  // hinting that sum is the width painted, on the screen and on paper alike.
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

}  // namespace

// A font's measures: the advance of every 8-bit character, looked up instead of asked for.
struct TPagePrinter::Measure {
  explicit Measure(const QFont& font) : metrics(font) {
    for (int c = 0; c < 256; ++c) advance[c] = metrics.horizontalAdvance(QChar(c));
    linespacing = metrics.lineSpacing();
    ascent = metrics.ascent();
  }
  double Advance(QChar c) const {
    return c.unicode() < 256 ? advance[c.unicode()] : metrics.horizontalAdvance(c);
  }
  double Width(const QString& text) const {
    double width = 0;
    for (QChar c : text) width += Advance(c);
    return width;
  }
  // Breaks `text` into lines no wider than `width`: after the last blank that fits, or,
  // for a word wider than the whole line (a long URL), after its last character that
  // fits. Blanks at a break are dropped. Every line holds at least one character.
  std::vector<QString> Wrap(const QString& text, double width) const {
    std::vector<QString> lines;
    qsizetype start = 0;
    qsizetype blank = -1;   // the last blank at or after `start`
    double used = 0;        // width of text[start, i)
    double afterblank = 0;  // width of text(blank, i)
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QChar c = text[i];
      const double a = Advance(c);
      if (c == u' ') {
        // Blanks may hang past the margin; they are dropped at the break.
        blank = i;
        afterblank = 0;
        used += a;
        continue;
      }
      if (used + a > width && i > start) {
        if (blank >= start) {
          qsizetype end = blank;
          while (end > start && text[end - 1] == u' ') --end;
          lines.push_back(text.mid(start, end - start));
          start = blank + 1;
          used = afterblank;
        }
        if (used + a > width && i > start) {
          lines.push_back(text.mid(start, i - start));
          start = i;
          used = 0;
        }
        blank = -1;
        afterblank = 0;
      }
      used += a;
      afterblank += a;
    }
    qsizetype end = text.size();
    while (end > start && text[end - 1] == u' ') --end;
    if (end > start || lines.empty()) lines.push_back(text.mid(start, end - start));
    return lines;
  }

  QFontMetricsF metrics;
  std::array<double, 256> advance{};
  double linespacing = 0;
  double ascent = 0;
};

TPagePrinter::TPagePrinter() = default;
TPagePrinter::~TPagePrinter() = default;

void TPagePrinter::SetMargins(double left, double top, double right, double bottom) {
  leftmargin_ = left;
  topmargin_ = top;
  rightmargin_ = right;
  bottommargin_ = bottom;
}

QSizeF TPagePrinter::PaperDots() const { return paper_ * kPrinterDotsPerInch; }

QRectF TPagePrinter::PrintableArea() const {
  const QSizeF paper = PaperDots();
  const double left = leftmargin_ * kPrinterDotsPerInch;
  const double top = topmargin_ * kPrinterDotsPerInch;
  const double right = std::max(left, paper.width() - rightmargin_ * kPrinterDotsPerInch);
  const double bottom = std::max(top, paper.height() - bottommargin_ * kPrinterDotsPerInch);
  return QRectF(QPointF(left, top), QPointF(right, bottom));
}

void TPagePrinter::BeginDoc() {
  pages_.clear();
  fonts_.clear();
  colors_.clear();
  measures_.clear();
  records_.clear();
  table_.clear();
  wordwrap_ = true;
  gridlines_ = false;
  SetFont(defaultfont_);
  NewPage();
  current_ = 1;
}

void TPagePrinter::EndDoc() { current_ = pages_.empty() ? 0 : 1; }

void TPagePrinter::SetCurrentPage(int page) {
  current_ = pages_.empty() ? 0 : std::clamp(page, 1, PageCount());
}

void TPagePrinter::SetFont(const FontRecord& font) {
  const auto known = std::find(records_.begin(), records_.end(), font);
  if (known != records_.end()) {
    font_ = static_cast<int>(known - records_.begin());
    return;
  }
  records_.push_back(font);
  fonts_.push_back(MakeFont(font));
  colors_.push_back(QColor(font.color.red, font.color.green, font.color.blue));
  measures_.push_back(std::make_unique<Measure>(fonts_.back()));
  font_ = static_cast<int>(fonts_.size()) - 1;
}

void TPagePrinter::SetTableFormat(const std::string& format) {
  std::optional<std::vector<TableColumn>> columns = ReadTableFormat(format);
  if (!columns) throw EPagePrinterError("The table format \"" + format + "\" cannot be read.");
  table_ = std::move(*columns);
}

const TPagePrinter::Measure& TPagePrinter::CurrentMeasure() {
  if (measures_.empty()) SetFont(defaultfont_);
  return *measures_[font_];
}

void TPagePrinter::NewPage() {
  pages_.emplace_back();
  y_ = PrintableArea().top();
  gridbottom_ = -1;
}

void TPagePrinter::PlaceTextLine(const QString& text, const Measure& measure) {
  const QRectF area = PrintableArea();
  if (y_ + measure.linespacing > area.bottom() && y_ > area.top()) NewPage();
  if (!text.isEmpty()) {
    pages_.back().texts.push_back(
        {QRectF(area.left(), y_, measure.Width(text), measure.linespacing), text, font_});
  }
  y_ += measure.linespacing;
}

void TPagePrinter::WriteLine(const std::string& text) {
  const Measure& measure = CurrentMeasure();
  if (pages_.empty()) NewPage();
  const double width = PrintableArea().width();
  for (const QString& part : QString::fromLatin1(text).split(u'\n')) {
    QString line = part;
    if (line.endsWith(u'\r')) line.chop(1);
    if (!wordwrap_) {
      PlaceTextLine(line, measure);
      continue;
    }
    for (const QString& piece : measure.Wrap(line, width)) PlaceTextLine(piece, measure);
  }
}

void TPagePrinter::WriteTableRow(const std::string& row) {
  std::vector<std::string> cells;
  size_t start = 0;
  while (cells.size() + 1 < std::max<size_t>(table_.size(), 1)) {
    const size_t bar = row.find('|', start);
    if (bar == std::string::npos) break;
    cells.push_back(row.substr(start, bar - start));
    start = bar + 1;
  }
  cells.push_back(row.substr(start));
  WriteTableCells(cells);
}

void TPagePrinter::WriteTableCells(const std::vector<std::string>& cells) {
  if (table_.empty()) throw EPagePrinterError("A table row was written without a table format.");
  const Measure& measure = CurrentMeasure();
  if (pages_.empty()) NewPage();

  std::vector<std::vector<QString>> lines(table_.size());
  size_t rowlines = 1;
  for (size_t c = 0; c < table_.size(); ++c) {
    QString cell = c < cells.size() ? QString::fromLatin1(cells[c]) : QString();
    cell.replace(u'\r', u' ').replace(u'\n', u' ');
    const double inner = table_[c].width * kPrinterDotsPerInch - 2 * kCellPaddingX;
    lines[c] = wordwrap_ ? measure.Wrap(cell, inner) : std::vector<QString>{cell};
    rowlines = std::max(rowlines, lines[c].size());
  }

  const double lh = measure.linespacing;
  size_t done = 0;
  for (;;) {
    const QRectF area = PrintableArea();
    size_t fit = static_cast<size_t>(
        std::max(0.0, std::floor((area.bottom() - y_ - 2 * kCellPaddingY) / lh)));
    if (fit == 0) {
      if (y_ > area.top()) {
        NewPage();
        continue;
      }
      fit = 1;  // a line taller than the page still goes somewhere
    }
    const size_t count = std::min(fit, rowlines - done);
    const double top = y_;
    const double height = count * lh + 2 * kCellPaddingY;
    LaidOutPage& page = pages_.back();
    double x = area.left();
    for (size_t c = 0; c < table_.size(); ++c) {
      const double width = table_[c].width * kPrinterDotsPerInch;
      for (size_t j = done; j < done + count && j < lines[c].size(); ++j) {
        const QString& text = lines[c][j];
        if (text.isEmpty()) continue;
        const double advance = measure.Width(text);
        double left = x + kCellPaddingX;
        if (table_[c].alignment == CellAlignment::kRight)
          left = x + width - kCellPaddingX - advance;
        else if (table_[c].alignment == CellAlignment::kCentre)
          left = x + (width - advance) / 2;
        page.texts.push_back(
            {QRectF(left, top + kCellPaddingY + (j - done) * lh, advance, lh), text, font_});
      }
      if (gridlines_) page.lines.emplace_back(x, top, x, top + height);
      x += width;
    }
    if (gridlines_) {
      page.lines.emplace_back(x, top, x, top + height);
      // The line under the row before is this row's top line.
      if (gridbottom_ != top) page.lines.emplace_back(area.left(), top, x, top);
      page.lines.emplace_back(area.left(), top + height, x, top + height);
      gridbottom_ = top + height;
    }
    y_ = top + height;
    done += count;
    if (done >= rowlines) break;
    NewPage();
  }
}

void TPagePrinter::PaintPage(int page, QPainter& painter) const {
  if (page < 1 || page > PageCount()) return;
  const LaidOutPage& laid = pages_[page - 1];
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  if (!laid.lines.empty()) {
    QPen pen(Qt::black);
    pen.setWidthF(kGridLineWidth);
    painter.setPen(pen);
    painter.drawLines(laid.lines.data(), static_cast<int>(laid.lines.size()));
  }
  int font = -1;
  for (const PlacedText& text : laid.texts) {
    if (text.font != font) {
      font = text.font;
      painter.setFont(fonts_[font]);
      painter.setPen(colors_[font]);
    }
    painter.drawText(QPointF(text.box.left(), text.box.top() + measures_[font]->ascent), text.text);
  }
  painter.restore();
}

}  // namespace ferrowyn
