// The page printer's layout read back from the pages it reports (boxes in dots, page
// breaks, grid lines), and the print preview dialog driven as a user drives it.
#include "gui/print_preview.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/report_printing.h"
#include "gui/main_window.h"
#include "gui/program.h"
#include "tests/support/scripted_user_port.h"

namespace ferrowyn::gui {
namespace {

using testing::ScriptedUserPort;

constexpr double kDots = kPrinterDotsPerInch;
constexpr double kLeft = 0.25 * kDots;  // the default left margin
constexpr char kNoMorePages[] = "There are no more pages in this direction.";

// The texts of `page` whose boxes start inside [left, right).
std::vector<PlacedText> TextsIn(const LaidOutPage& page, double left, double right) {
  std::vector<PlacedText> found;
  for (const PlacedText& text : page.texts)
    if (text.box.left() >= left && text.box.left() < right) found.push_back(text);
  return found;
}

QString Joined(const std::vector<PlacedText>& texts, const QString& between = {}) {
  QStringList parts;
  for (const PlacedText& text : texts) parts << text.text;
  return parts.join(between);
}

TEST(PagePrinterLayout, CellsWrapInsideTheirColumnsWithAlignmentAndGrid) {
  TPagePrinter printer;
  printer.BeginDoc();
  printer.SetTableFormat("<4|<1|<3");
  printer.SetGridLines(true);
  // No blank to break at: the URL breaks where its column ends.
  const std::string url = "http://www.example.com/" + std::string(150, 'x') + ".htm";
  printer.WriteTableRow(url + "|12|cat | big dog");
  printer.EndDoc();
  ASSERT_EQ(printer.PageCount(), 1);
  const LaidOutPage& page = printer.Page(1);

  const std::vector<PlacedText> urls = TextsIn(page, kLeft, kLeft + 4 * kDots);
  ASSERT_GE(urls.size(), 2u);
  EXPECT_EQ(Joined(urls).toStdString(), url);
  for (size_t i = 0; i < urls.size(); ++i) {
    EXPECT_LE(urls[i].box.right(), kLeft + 4 * kDots) << i;
    if (i > 0) {
      EXPECT_DOUBLE_EQ(urls[i].box.top() - urls[i - 1].box.top(), urls[0].box.height());
    }
  }
  EXPECT_EQ(Joined(TextsIn(page, kLeft + 4 * kDots, kLeft + 5 * kDots)), "12");
  // A "|" inside the last cell stays in it.
  EXPECT_EQ(Joined(TextsIn(page, kLeft + 5 * kDots, kLeft + 8 * kDots)), "cat | big dog");

  // A box around each cell: the column edges, and one line above and one below the row,
  // under its last line of text.
  std::vector<double> verticals, horizontals;
  for (const QLineF& line : page.lines) {
    if (line.x1() == line.x2()) verticals.push_back(line.x1());
    if (line.y1() == line.y2()) {
      horizontals.push_back(line.y1());
      EXPECT_EQ(line.x1(), kLeft);
      EXPECT_EQ(line.x2(), kLeft + 8 * kDots);
    }
  }
  EXPECT_EQ(verticals,
            (std::vector<double>{kLeft, kLeft + 4 * kDots, kLeft + 5 * kDots, kLeft + 8 * kDots}));
  ASSERT_EQ(horizontals.size(), 2u);
  EXPECT_LT(horizontals[0], urls.front().box.top());
  EXPECT_GT(horizontals[1], urls.back().box.bottom());

  // Painted at 100 dots per inch: the grid line at the left margin and the text show, the
  // right margin stays blank.
  QImage image(850, 1100, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.scale(100 / kDots, 100 / kDots);
    printer.PaintPage(1, painter);
  }
  const int middle_y = static_cast<int>((horizontals[0] + horizontals[1]) / 2 / 12);
  EXPECT_NE(image.pixelColor(25, middle_y), QColor(Qt::white));
  const QRect first_line = QRectF(urls[0].box.topLeft() / 12, urls[0].box.size() / 12).toRect();
  bool inked = false;
  for (int x = first_line.left(); x < first_line.right(); ++x)
    inked |= image.pixelColor(x, first_line.center().y()) != QColor(Qt::white);
  EXPECT_TRUE(inked);
  for (int y = 0; y < 1100; ++y) ASSERT_EQ(image.pixelColor(840, y), QColor(Qt::white)) << y;

  // Right-aligned and centred cells keep the same distance from their grid lines as a
  // left-aligned one.
  printer.BeginDoc();
  printer.SetTableFormat("<2|>2|^2");
  printer.WriteTableRow("left|right|middle");
  const LaidOutPage& aligned = printer.Page(1);
  const PlacedText left = TextsIn(aligned, kLeft, kLeft + 2 * kDots).at(0);
  const PlacedText right = TextsIn(aligned, kLeft + 2 * kDots, kLeft + 4 * kDots).at(0);
  const PlacedText middle = TextsIn(aligned, kLeft + 4 * kDots, kLeft + 6 * kDots).at(0);
  EXPECT_EQ(right.text, "right");
  EXPECT_NEAR(kLeft + 4 * kDots - right.box.right(), left.box.left() - kLeft, 1e-6);
  EXPECT_NEAR(middle.box.center().x(), kLeft + 5 * kDots, 1e-6);
}

TEST(PagePrinterLayout, LinesWrapAtBlanksAndRowsGoOnAcrossPageBreaks) {
  TPagePrinter printer;
  printer.SetPaperSize(QSizeF(8.5, 2.0));
  printer.BeginDoc();
  std::string words;
  for (int i = 0; i < 40; ++i) words += "word" + std::to_string(i) + " ";
  words.pop_back();
  printer.WriteLine(words);
  printer.WriteLine("");
  printer.WriteLine("after");
  const LaidOutPage& first = printer.Page(1);
  std::vector<PlacedText> lines(first.texts.begin(), first.texts.end() - 1);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(Joined(lines, " ").toStdString(), words);
  for (const PlacedText& line : lines) EXPECT_LE(line.box.right(), printer.PrintableArea().right());
  // The empty line takes a line's height.
  EXPECT_DOUBLE_EQ(first.texts.back().box.top(),
                   lines.back().box.top() + 2 * lines[0].box.height());

  const double after = first.texts.back().box.top();

  // A row taller than a page: its cells go on, line after line, on the pages after.
  printer.SetTableFormat("<4|<1|<3");
  printer.SetGridLines(true);
  std::string url = "http://www.example.com/";
  for (int i = 0; i < 300; ++i) url += "dir" + std::to_string(i) + "/";
  printer.WriteTableRow(url + "|7|cat");
  printer.EndDoc();
  ASSERT_GE(printer.PageCount(), 3);
  QString cell;
  for (int n = 1; n <= printer.PageCount(); ++n) {
    const LaidOutPage& page = printer.Page(n);
    std::vector<PlacedText> part = TextsIn(page, kLeft, kLeft + 4 * kDots);
    if (n == 1)
      std::erase_if(part, [&](const PlacedText& text) { return text.box.top() <= after; });
    if (n > 1) {
      EXPECT_FALSE(part.empty()) << n;
      EXPECT_FALSE(page.lines.empty()) << n;
    }
    cell += Joined(part);
    for (const PlacedText& text : page.texts)
      EXPECT_LE(text.box.bottom(), printer.PrintableArea().bottom()) << n;
    EXPECT_EQ(Joined(TextsIn(page, kLeft + 4 * kDots, kLeft + 5 * kDots)), n == 1 ? "7" : "");
  }
  EXPECT_EQ(cell.toStdString(), url);
  EXPECT_EQ(printer.CurrentPage(), 1);

  EXPECT_THROW(printer.SetTableFormat("<4|wide"), EPagePrinterError);
}

TEST(PagePrinterLayout, RowsFillEveryPageBeforeTheNext) {
  TPagePrinter printer;
  printer.BeginDoc();
  printer.SetTableFormat("<4|<1|<3");
  printer.SetGridLines(true);
  constexpr int kRows = 300;
  for (int i = 0; i < kRows; ++i) printer.WriteTableRow("row" + std::to_string(i) + "|1|All");
  printer.EndDoc();

  int next = 0;
  const double pitch =
      printer.Page(1).texts.at(3).box.top() - printer.Page(1).texts.at(0).box.top();
  for (int n = 1; n <= printer.PageCount(); ++n) {
    const std::vector<PlacedText> rows = TextsIn(printer.Page(n), kLeft, kLeft + 4 * kDots);
    for (const PlacedText& row : rows) EXPECT_EQ(row.text, "row" + QString::number(next++));
    // A page ends only where the next row would not fit.
    if (n < printer.PageCount()) {
      EXPECT_GT(rows.back().box.bottom() + pitch, printer.PrintableArea().bottom()) << n;
    }
  }
  EXPECT_EQ(next, kRows);
  EXPECT_GE(printer.PageCount(), 4);
}

class PrintPreviewTest : public ::testing::Test {
 protected:
  template <typename T>
  T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  ScriptedUserPort port_;
};

TEST_F(PrintPreviewTest, PageButtonsStopAtBothEnds) {
  QWidget owner;
  owner.show();
  auto* dialog = ShowPrintPreview(port_, {}, kHelpQueryReport, &owner);
  EXPECT_FALSE(owner.isEnabled());
  port_.ExpectError("No document information is available for printing.");
  QTest::mouseClick(Child<QPushButton>(dialog, "BitBtn1"), Qt::LeftButton);

  TPagePrinter& printer = dialog->PagePrinter1();
  printer.SetPaperSize(QSizeF(8.5, 2.0));
  printer.BeginDoc();
  while (printer.PageCount() < 3) printer.WriteLine("line");
  dialog->EndDoc();
  QLabel* pageinfo = Child<QLabel>(dialog, "pageinfo");
  EXPECT_EQ(pageinfo->text(), "1 of 3");

  port_.ExpectError(kNoMorePages);
  QTest::mouseClick(Child<QToolButton>(dialog, "btnPrevPage"), Qt::LeftButton);
  EXPECT_EQ(pageinfo->text(), "1 of 3");
  QTest::mouseClick(Child<QToolButton>(dialog, "btnNextPage"), Qt::LeftButton);
  EXPECT_EQ(pageinfo->text(), "2 of 3");
  QTest::mouseClick(Child<QToolButton>(dialog, "btnNextPage"), Qt::LeftButton);
  EXPECT_EQ(pageinfo->text(), "3 of 3");
  port_.ExpectError(kNoMorePages);
  QTest::mouseClick(Child<QToolButton>(dialog, "btnNextPage"), Qt::LeftButton);
  EXPECT_EQ(pageinfo->text(), "3 of 3");
  EXPECT_EQ(port_.pending(), 0u);

  // Without a printer the pages go into a PDF file; giving no file name cancels.
  if (QPrinterInfo::defaultPrinter().isNull()) {
    QTemporaryDir dir;
    const std::string pdf = dir.filePath("report.pdf").toStdString();
    port_.ExpectFile(FileDialogRequest::kSave, std::nullopt)
        .ExpectInformation("Printing has been canceled.")
        .ExpectFile(FileDialogRequest::kSave, pdf);
    QTest::mouseClick(Child<QPushButton>(dialog, "BitBtn1"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(dialog, "BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(port_.pending(), 0u);
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF-"));
  }

  QTest::mouseClick(Child<QPushButton>(dialog, "BitBtn2"), Qt::LeftButton);
  EXPECT_TRUE(owner.isEnabled());
}

TEST_F(PrintPreviewTest, ZoomListShowsTheFittedZoomInForce) {
  QPointer<Tprintdlg> dialog = ShowPrintPreview(port_, {}, kHelpMailReport, nullptr);
  dialog->PagePrinter1().BeginDoc();
  dialog->EndDoc();
  QComboBox* zoomlist = Child<QComboBox>(dialog, "ZoomList");
  EXPECT_EQ(zoomlist->currentText(), "100%");
  QWidget* page = Child<QScrollArea>(dialog, "PagePrinter1")->widget();
  const QSize full = page->size();
  const int whole = zoomlist->findText("Whole Page");
  zoomlist->setCurrentIndex(whole);
  emit zoomlist->activated(whole);
  ASSERT_TRUE(QTest::qWaitFor([&] { return zoomlist->currentText().endsWith('%'); }, 5000));

  const int percent = zoomlist->currentText().chopped(1).toInt();
  EXPECT_EQ(zoomlist->currentText(), QString::number(percent) + "%");
  EXPECT_EQ(percent, dialog->zoom());
  // The whole page shows, and one percent more would not.
  const QSize room = Child<QScrollArea>(dialog, "PagePrinter1")->viewport()->size();
  EXPECT_LE(page->width(), room.width());
  EXPECT_LE(page->height(), room.height());
  EXPECT_TRUE(page->width() + full.width() / 100 + 1 > room.width() ||
              page->height() + full.height() / 100 + 1 > room.height());
  dialog->close();
  EXPECT_TRUE(dialog.isNull() || QTest::qWaitFor([&] { return dialog.isNull(); }, 5000));
}

TEST_F(PrintPreviewTest, QueryMenuPrintsTheReportOrSaysWhyNot) {
  QTemporaryDir dir;
  const std::string programdir = dir.path().toStdString();
  Program program(port_, SettingsStore(programdir + "/settings.ini"), programdir, {},
                  dir.path() + "/help");
  program.window().show();
  QAction* print = program.window().findChild<QAction*>("Print1");
  ASSERT_NE(print, nullptr);
  ASSERT_TRUE(print->isEnabled());

  const auto open_preview = [] {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<Tprintdlg*>(window); dialog && dialog->isVisible())
        return dialog;
    return static_cast<Tprintdlg*>(nullptr);
  };
  // An empty results list: the headings and the table's heading row.
  print->trigger();
  QPointer<Tprintdlg> dialog = open_preview();
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(program.window().isEnabled());
  EXPECT_EQ(Child<QLabel>(dialog, "pageinfo")->text(), "1 of 1");
  QStringList texts;
  for (const PlacedText& text : dialog->PagePrinter1().Page(1).texts) texts << text.text;
  ASSERT_EQ(texts.size(), 6);
  EXPECT_EQ(texts[0], "Ferrowyn! Query Report");
  EXPECT_EQ(texts[1], "Query Name: Untitled");
  EXPECT_TRUE(texts[2].startsWith("Date/Time: ")) << texts[2].toStdString();
  EXPECT_EQ(texts.mid(3), (QStringList{"URL", "Hits", "Found"}));
  dialog->close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, 5000));
  EXPECT_TRUE(program.window().isEnabled());

  // A body font that cannot be read: the message, and the preview stays with the headings.
  program.live().bodydetails = "Arial,big,Red";
  port_.ExpectError(kQueryReportFailed);
  print->trigger();
  dialog = open_preview();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(port_.pending(), 0u);
  EXPECT_EQ(dialog->PagePrinter1().Page(1).texts.size(), 3u);
  dialog->close();
}

}  // namespace
}  // namespace ferrowyn::gui
