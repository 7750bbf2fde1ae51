// The tutorial window over the pages in the tutorial folder.
#include "gui/tutorial_form.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <functional>

#include "gui/qt_user_port.h"

namespace ferrowyn::gui {

namespace {
constexpr char kCaption[] = "Ferrowyn! Tutorial";
constexpr char kFilesMissing[] =
    "Files are missing from the Ferrowyn! tutorial. Please re-install.";
}  // namespace

// The HTML pane. It reports links by their targets as the page writes them: the
// rules for clicks look at the letters as written, which a URL would change (letter
// case of a scheme, escapes) and resolve against the page's folder.
class Ttutorialform::Pane : public QTextBrowser {
 public:
  std::function<void(const QString&)> covered;
  std::function<void(const QString&)> clicked;

  explicit Pane(QWidget* parent) : QTextBrowser(parent) {
    // The window follows links itself, by its own rules.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
      clicked(activated_.isEmpty() ? link.toString() : activated_);
    });
  }

 protected:
  void mouseMoveEvent(QMouseEvent* event) override {
    QTextBrowser::mouseMoveEvent(event);
    Cover(anchorAt(event->position().toPoint()));
  }
  void leaveEvent(QEvent* event) override {
    QTextBrowser::leaveEvent(event);
    Cover(QString());
  }
  // A click activates the link under the pointer, Enter the link that has focus;
  // either is known here, before the pane reports the activation.
  void mouseReleaseEvent(QMouseEvent* event) override {
    activated_ = anchorAt(event->position().toPoint());
    QTextBrowser::mouseReleaseEvent(event);
    activated_.clear();
  }
  void keyPressEvent(QKeyEvent* event) override {
    activated_ = textCursor().charFormat().anchorHref();
    QTextBrowser::keyPressEvent(event);
    activated_.clear();
  }

 private:
  void Cover(const QString& target) {
    if (target == covering_) return;
    covering_ = target;
    covered(target);
  }

  QString activated_;
  QString covering_;
};

Ttutorialform::Ttutorialform(QString tutorial_directory, UserPort& port, QWidget* parent)
    : QMainWindow(parent), tutorial_directory_(std::move(tutorial_directory)), port_(port) {
  setWindowTitle(kCaption);
  QToolBar* bar = addToolBar("Tutorial");
  bar->setObjectName("ToolBar1");
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setContextMenuPolicy(Qt::PreventContextMenu);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  static const char* const kButtons[kPageCount][2] = {{"Page One", "page1"},
                                                      {"Page Two", "page2"},
                                                      {"Page Three", "page3"},
                                                      {"Page Four", "page4"}};
  for (int page = 1; page <= kPageCount; ++page) {
    QAction* button = bar->addAction(kButtons[page - 1][0], this, [this, page] { ShowPage(page); });
    button->setObjectName(kButtons[page - 1][1]);
    bar->addSeparator();
  }
  bar->addAction("Close", this, &QWidget::close)->setObjectName("Close");

  pane_ = new Pane(this);
  pane_->setObjectName("HTMLViewer1");
  pane_->covered = [this](const QString& target) { HTMLViewer1HotSpotCovered(target); };
  pane_->clicked = [this](const QString& target) { HTMLViewer1HotSpotClick(target); };
  QPalette palette = pane_->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  pane_->setPalette(palette);
  QFont font("Times New Roman");
  font.setStyleHint(QFont::Serif);
  pane_->document()->setDefaultFont(font);
  pane_->document()->setDefaultStyleSheet(
      "pre, code, tt, kbd { font-family: \"Courier New\", monospace; }");
  setCentralWidget(pane_);
  statusBar()->setSizeGripEnabled(true);
  resize(760, 580);
}

QTextBrowser* Ttutorialform::HTMLViewer1() const { return pane_; }

QString Ttutorialform::DefaultTutorialDirectory() {
  return QDir(QCoreApplication::applicationDirPath()).filePath("tutorial");
}

void Ttutorialform::ShowTutorial() {
  if (!isVisible()) {
    if (!placed_) {
      if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
      placed_ = true;
    }
    show();
  } else if (isMinimized()) {
    showNormal();
  }
  raise();
  activateWindow();
}

void Ttutorialform::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A window restored by the desktop shows what it showed before.
  if (!event->spontaneous()) ShowPage(1);
}

bool Ttutorialform::ShowPage(int page) {
  const QString path = QDir(tutorial_directory_).filePath(QString("tutorial%1.htm").arg(page));
  const QFileInfo file(path);
  if (!file.isFile() || !file.isReadable()) {
    port_.Error(kFilesMissing);
    return false;
  }
  pane_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
  // No history: only the buttons and links move between pages, so that the caption
  // always names the page shown.
  pane_->clearHistory();
  setWindowTitle(QString("%1 - Page %2").arg(kCaption).arg(page));
  return true;
}

void Ttutorialform::HTMLViewer1HotSpotCovered(const QString& target) {
  statusBar()->showMessage(target);
}

void Ttutorialform::HTMLViewer1HotSpotClick(const QString& target) {
  const QString lower = target.toLower();
  if (lower.contains("http://") || lower.contains("mailto:")) {
    // The browser or the mail program opens; what it answers is its own business.
    port_.OpenUrl(Latin1(target));
    return;
  }
  for (int page = 1; page <= kPageCount; ++page) {
    if (target.contains(QString("tutorial%1").arg(page))) {
      ShowPage(page);
      break;
    }
  }
  FollowInPane(target);
}

void Ttutorialform::FollowInPane(const QString& target) {
  const QUrl link(target);
  if (!link.isRelative() && !link.isLocalFile()) return;
  const QUrl shown = pane_->source();
  const QUrl resolved = shown.resolved(link);
  if (resolved.adjusted(QUrl::RemoveFragment) == shown.adjusted(QUrl::RemoveFragment)) {
    if (resolved.hasFragment()) pane_->scrollToAnchor(resolved.fragment());
    return;
  }
  // Another page the pane can read: shown as it is, the caption stays. A link that
  // leads nowhere leaves the page in place rather than emptying the pane.
  const QFileInfo file(resolved.toLocalFile());
  if (!resolved.isLocalFile() || !file.isFile() || !file.isReadable()) return;
  pane_->setSource(resolved);
  pane_->clearHistory();
  if (resolved.hasFragment()) pane_->scrollToAnchor(resolved.fragment());
}

}  // namespace ferrowyn::gui
