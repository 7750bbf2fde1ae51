// The program's own help window over the pages in the help directory.
#include "gui/help_window.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/program_directory.h"

namespace ferrowyn::gui {

namespace {
constexpr char kHelpLoadError[] = "There was an error while trying to load the help file.";

QToolButton* NavigationButton(const QString& caption, const QString& icon,
                              QStyle::StandardPixmap fallback, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(caption);
  button->setIcon(QIcon::fromTheme(icon, parent->style()->standardIcon(fallback)));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAccessibleName(QString(caption).remove('&'));
  return button;
}
}  // namespace

// A window of its own, without a parent: a dialog that is modal to the main window
// (the setup, login and filter dialogs) would otherwise block the help its Help
// button opens. `parent` only places the window the first time.
HelpWindow::HelpWindow(QString help_directory, UserPort& port, QWidget* parent)
    : QWidget(nullptr, Qt::Window),
      help_directory_(std::move(help_directory)),
      port_(port),
      placement_(parent) {
  setWindowTitle("Ferrowyn! Help");
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  contents_ = NavigationButton("&Contents", "go-home", QStyle::SP_DirHomeIcon, this);
  back_ = NavigationButton("&Back", "go-previous", QStyle::SP_ArrowBack, this);
  forward_ = NavigationButton("&Forward", "go-next", QStyle::SP_ArrowForward, this);
  bar->addWidget(contents_);
  bar->addWidget(back_);
  bar->addWidget(forward_);
  bar->addStretch();
  layout->addLayout(bar);
  browser_ = new QTextBrowser(this);
  // Links are followed here so that a missing topic gets the same message as a
  // missing context, and web or mail links go to the system's programs.
  browser_->setOpenLinks(false);
  browser_->setSearchPaths({help_directory_});
  browser_->setAccessibleName("Help topic");
  layout->addWidget(browser_);
  connect(contents_, &QToolButton::clicked, this, [this] { ShowTopic(kContentsTopic); });
  connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
  connect(browser_, &QTextBrowser::historyChanged, this, &HelpWindow::UpdateButtons);
  connect(browser_, &QTextBrowser::sourceChanged, this,
          [this] { setWindowTitle("Ferrowyn! Help - " + browser_->documentTitle()); });
  UpdateButtons();
  resize(640, 520);
}

bool HelpWindow::ShowTopic(int context) {
  if (!ShowPage(QUrl::fromLocalFile(TopicPath(context)))) return false;
  if (!isVisible() && !placed_ && placement_) {
    move(placement_->geometry().center() - rect().center());
    placed_ = true;
  }
  show();
  raise();
  activateWindow();
  return true;
}

bool HelpWindow::ShowPage(const QUrl& page) {
  if (!QFileInfo(page.toLocalFile()).isReadable()) {
    port_.Error(kHelpLoadError);
    return false;
  }
  browser_->setSource(page);
  return true;
}

void HelpWindow::FollowLink(const QUrl& link) {
  const QUrl target = browser_->source().resolved(link);
  if (!target.isLocalFile()) {
    QDesktopServices::openUrl(target);
    return;
  }
  if (target.hasFragment() &&
      target.adjusted(QUrl::RemoveFragment) == browser_->source().adjusted(QUrl::RemoveFragment)) {
    browser_->scrollToAnchor(target.fragment());
    return;
  }
  ShowPage(target);
}

QString HelpWindow::DefaultHelpDirectory() {
  return QString::fromStdString(ProgramFilesFolder("help"));
}

QString HelpWindow::TopicPath(int context) const {
  return QDir(help_directory_).filePath(QString::number(context) + ".htm");
}

void HelpWindow::UpdateButtons() {
  back_->setEnabled(browser_->isBackwardAvailable());
  forward_->setEnabled(browser_->isForwardAvailable());
}

}  // namespace ferrowyn::gui
