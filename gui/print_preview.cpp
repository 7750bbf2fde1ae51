// The print preview dialog: the page view, the page buttons, the zoom list and printing.
#include "gui/print_preview.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "gui/page_printing.h"
#include "gui/qt_user_port.h"
#include "gui/window_lock.h"

namespace ferrowyn::gui {

namespace {
constexpr char kNoMorePages[] = "There are no more pages in this direction.";
constexpr char kNothingToPrint[] = "No document information is available for printing.";
constexpr char kPrintingCanceled[] = "Printing has been canceled.";
constexpr int kZoomTimerMs = 50;
constexpr int kScrollStep = 16;
// Room around the page inside the view, in pixels.
constexpr int kPageGap = 8;

const char* const kZoomItems[] = {"200%", "175%",         "150%",          "125%",      "100%",
                                  "50%",  "Fit To Width", "Fit To Height", "Whole Page"};
}  // namespace

// The current page on white paper at the dialog's zoom.
class PagePreview : public QWidget {
 public:
  PagePreview(const TPagePrinter& printer, QWidget* parent) : QWidget(parent), printer_(printer) {}

  // Pixels per dot at `zoom` percent on this screen.
  double Scale(int zoom) const { return logicalDpiX() / kPrinterDotsPerInch * zoom / 100.0; }
  QSize PaperPixels(int zoom) const {
    const QSizeF dots = printer_.PaperDots();
    return QSize(static_cast<int>(std::ceil(dots.width() * Scale(zoom))),
                 static_cast<int>(std::ceil(dots.height() * Scale(zoom))));
  }
  void SetZoom(int zoom) {
    zoom_ = zoom;
    setFixedSize(PaperPixels(zoom) + QSize(2 * kPageGap, 2 * kPageGap));
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect paper(QPoint(kPageGap, kPageGap), PaperPixels(zoom_));
    painter.fillRect(paper, Qt::white);
    painter.setPen(Qt::darkGray);
    painter.drawRect(paper.adjusted(0, 0, -1, -1));
    painter.setClipRect(paper);
    painter.translate(paper.topLeft());
    painter.scale(Scale(zoom_), Scale(zoom_));
    printer_.PaintPage(printer_.CurrentPage(), painter);
  }

 private:
  const TPagePrinter& printer_;
  int zoom_ = 100;
};

Tprintdlg::Tprintdlg(UserPort& port, std::function<void(int)> help, int helptopic, QWidget* owner)
    // Not a child of the owner: disabling the owner would disable this window too.
    : QDialog(nullptr), port_(port), help_(std::move(help)), helptopic_(helptopic), owner_(owner) {
  setObjectName(QStringLiteral("Tprintdlg"));
  setWindowTitle(QStringLiteral("Display/Print"));
  setAttribute(Qt::WA_DeleteOnClose);
  setSizeGripEnabled(true);
  resize(658, 452);
  // Laid out on the paper of the printer it will be printed on.
  const QSizeF paper = SharedPrinter().pageLayout().fullRect(QPageLayout::Inch).size();
  if (!paper.isEmpty()) PagePrinter1_.SetPaperSize(paper);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName(QStringLiteral("PagePrinter1"));
  scroll_->setAlignment(Qt::AlignCenter);
  scroll_->horizontalScrollBar()->setSingleStep(kScrollStep);
  scroll_->verticalScrollBar()->setSingleStep(kScrollStep);
  preview_ = new PagePreview(PagePrinter1_, scroll_);
  preview_->SetZoom(zoom_);
  scroll_->setWidget(preview_);
  layout->addWidget(scroll_, 1);

  auto* panel = new QHBoxLayout;
  panel->setContentsMargins(8, 6, 8, 8);
  pageinfo_ = new QLabel(QStringLiteral("Change Page:"), this);
  pageinfo_->setObjectName(QStringLiteral("pageinfo"));
  pageinfo_->setMinimumWidth(90);
  btnPrevPage_ = new QToolButton(this);
  btnPrevPage_->setObjectName(QStringLiteral("btnPrevPage"));
  btnPrevPage_->setArrowType(Qt::LeftArrow);
  btnNextPage_ = new QToolButton(this);
  btnNextPage_->setObjectName(QStringLiteral("btnNextPage"));
  btnNextPage_->setArrowType(Qt::RightArrow);
  auto* send = new QPushButton(QStringLiteral("Send to Printer"), this);
  send->setObjectName(QStringLiteral("BitBtn1"));
  auto* zoomlabel = new QLabel(QStringLiteral("Zoom"), this);
  ZoomList_ = new QComboBox(this);
  ZoomList_->setObjectName(QStringLiteral("ZoomList"));
  for (const char* item : kZoomItems) ZoomList_->addItem(QString::fromLatin1(item));
  // Editable only so that it can show a fitted zoom, which is not one of its items.
  ZoomList_->setEditable(true);
  ZoomList_->setInsertPolicy(QComboBox::NoInsert);
  ZoomList_->lineEdit()->setReadOnly(true);
  ZoomList_->setMinimumContentsLength(12);
  zoomlabel->setBuddy(ZoomList_);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("BitBtn2"));
  auto* helpbutton = new QPushButton(QStringLiteral("Help"), this);
  helpbutton->setObjectName(QStringLiteral("BitBtn3"));
  panel->addWidget(pageinfo_);
  panel->addWidget(btnPrevPage_);
  panel->addWidget(btnNextPage_);
  panel->addSpacing(12);
  panel->addWidget(send);
  panel->addStretch(1);
  panel->addWidget(zoomlabel);
  panel->addWidget(ZoomList_);
  panel->addSpacing(12);
  panel->addWidget(cancel);
  panel->addWidget(helpbutton);
  layout->addLayout(panel);

  ZoomTimer_.setSingleShot(true);
  ZoomTimer_.setInterval(kZoomTimerMs);
  connect(&ZoomTimer_, &QTimer::timeout, this, &Tprintdlg::ZoomTimerTimer);
  connect(btnPrevPage_, &QToolButton::clicked, this, &Tprintdlg::btnPrevPageClick);
  connect(btnNextPage_, &QToolButton::clicked, this, &Tprintdlg::btnNextPageClick);
  connect(ZoomList_, &QComboBox::activated, this, &Tprintdlg::ZoomListChange);
  connect(send, &QPushButton::clicked, this, &Tprintdlg::BitBtn1Click);
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);
  connect(helpbutton, &QPushButton::clicked, this, &Tprintdlg::BitBtn3Click);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

Tprintdlg::~Tprintdlg() {
  EnableWindowAlone(owner_);
}

void Tprintdlg::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  EnableWindowAlone(owner_);
}

void Tprintdlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  DisableWindowAlone(owner_);
  SetZoom(100);
  ZoomList_->setCurrentIndex(ZoomList_->findText(QStringLiteral("100%")));
}

void Tprintdlg::EndDoc() {
  PagePrinter1_.EndDoc();
  ShowPageInfo();
  scroll_->verticalScrollBar()->setValue(0);
}

void Tprintdlg::ShowPageInfo() {
  pageinfo_->setText(QString::number(PagePrinter1_.CurrentPage()) + " of " +
                     QString::number(PagePrinter1_.PageCount()));
  preview_->update();
}

void Tprintdlg::btnPrevPageClick() {
  if (PagePrinter1_.CurrentPage() < 2) {
    port_.Error(kNoMorePages);
    return;
  }
  PagePrinter1_.SetCurrentPage(PagePrinter1_.CurrentPage() - 1);
  ShowPageInfo();
}

void Tprintdlg::btnNextPageClick() {
  if (PagePrinter1_.CurrentPage() >= PagePrinter1_.PageCount()) {
    port_.Error(kNoMorePages);
    return;
  }
  PagePrinter1_.SetCurrentPage(PagePrinter1_.CurrentPage() + 1);
  ShowPageInfo();
}

int Tprintdlg::FitWidthZoom() const {
  // The room without scroll bars, less the vertical one when the page is then too tall.
  const QSize room = scroll_->maximumViewportSize() - QSize(2 * kPageGap, 2 * kPageGap);
  const QSize paper = preview_->PaperPixels(100);
  int zoom = std::max(1, room.width() * 100 / std::max(1, paper.width()));
  if (preview_->PaperPixels(zoom).height() > room.height()) {
    const int bar = scroll_->verticalScrollBar()->sizeHint().width();
    zoom = std::max(1, (room.width() - bar) * 100 / std::max(1, paper.width()));
  }
  return zoom;
}

int Tprintdlg::FitHeightZoom() const {
  const QSize room = scroll_->maximumViewportSize() - QSize(2 * kPageGap, 2 * kPageGap);
  const QSize paper = preview_->PaperPixels(100);
  int zoom = std::max(1, room.height() * 100 / std::max(1, paper.height()));
  if (preview_->PaperPixels(zoom).width() > room.width()) {
    const int bar = scroll_->horizontalScrollBar()->sizeHint().height();
    zoom = std::max(1, (room.height() - bar) * 100 / std::max(1, paper.height()));
  }
  return zoom;
}

void Tprintdlg::SetZoom(int percent) {
  zoom_ = percent;
  preview_->SetZoom(percent);
}

void Tprintdlg::ZoomListChange() {
  const QString choice = ZoomList_->currentText();
  if (choice == "Fit To Width") {
    SetZoom(FitWidthZoom());
  } else if (choice == "Fit To Height") {
    SetZoom(FitHeightZoom());
  } else if (choice == "Whole Page") {
    SetZoom(std::min(FitWidthZoom(), FitHeightZoom()));
  } else if (choice.endsWith('%')) {
    SetZoom(choice.chopped(1).toInt());
  }
  ZoomTimer_.start();
}

void Tprintdlg::ZoomTimerTimer() {
  ZoomTimer_.stop();
  ZoomList_->setEditText(QString::number(zoom_) + "%");
}

void Tprintdlg::BitBtn1Click() {
  if (PagePrinter1_.PageCount() == 0) {
    port_.Error(kNothingToPrint);
    return;
  }
  try {
    if (!PrintDocument(PagePrinter1_, port_, this)) port_.Information(kPrintingCanceled);
  } catch (const EPagePrinterError& error) {
    port_.Error(error.what());
  }
}

void Tprintdlg::BitBtn3Click() {
  if (help_) help_(helptopic_);
}

Tprintdlg* ShowPrintPreview(UserPort& port, std::function<void(int)> help, int helptopic,
                            QWidget* owner) {
  auto* dialog = new Tprintdlg(port, std::move(help), helptopic, owner);
  dialog->show();
  return dialog;
}

}  // namespace ferrowyn::gui
