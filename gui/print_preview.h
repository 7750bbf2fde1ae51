// The print preview dialog `Tprintdlg` ("Display/Print"): a report laid out by its page
// printer, shown a page at a time at a zoom, and sent to the printer from there. The
// query report and the mail list are both previewed in it.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "base/user_port.h"
#include "view/page_printer.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace ferrowyn::gui {

// Help topics of the two reports.
inline constexpr int kHelpQueryReport = 1033;
inline constexpr int kHelpMailReport = 1067;

class PagePreview;

// GUI thread only. Created for one report and released when closed (Qt::WA_DeleteOnClose).
// `owner` (the main window, or the mail miner when it opens the preview) is disabled
// while the dialog shows and enabled again when it closes; `help` opens a help topic.
// `port` outlives the dialog.
class Tprintdlg : public QDialog {
  Q_OBJECT

 public:
  Tprintdlg(UserPort& port, std::function<void(int)> help, int helptopic, QWidget* owner);
  ~Tprintdlg() override;

  TPagePrinter& PagePrinter1() { return PagePrinter1_; }
  // Ends the document and shows that it is complete: its first page, and "1 of N" in
  // `pageinfo`.
  void EndDoc();
  // The zoom in force, in percent.
  int zoom() const { return zoom_; }

  void btnPrevPageClick();
  void btnNextPageClick();
  void ZoomListChange();
  void ZoomTimerTimer();
  void BitBtn1Click();  // "Send to Printer"
  void BitBtn3Click();  // "Help"

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void SetZoom(int percent);
  void ShowPageInfo();
  // The zoom at which the page's width / height fills the visible area.
  int FitWidthZoom() const;
  int FitHeightZoom() const;

  UserPort& port_;
  std::function<void(int)> help_;
  int helptopic_;
  QPointer<QWidget> owner_;
  TPagePrinter PagePrinter1_;
  int zoom_ = 100;

  QScrollArea* scroll_ = nullptr;
  PagePreview* preview_ = nullptr;
  QLabel* pageinfo_ = nullptr;
  QToolButton* btnPrevPage_ = nullptr;
  QToolButton* btnNextPage_ = nullptr;
  QComboBox* ZoomList_ = nullptr;
  QTimer ZoomTimer_;
};

// Creates a preview dialog for a new report and shows it (non-modal). The caller then
// writes the document into PagePrinter1() from BeginDoc and calls EndDoc().
Tprintdlg* ShowPrintPreview(UserPort& port, std::function<void(int)> help, int helptopic,
                            QWidget* owner);

}  // namespace ferrowyn::gui
