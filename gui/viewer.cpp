// The viewer window.
#include "gui/viewer.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolBar>
#include <optional>

#include "app/default_browser.h"
#include "gui/page_commands.h"
#include "gui/page_printing.h"

namespace ferrowyn::gui {

namespace {

constexpr int kClientWidth = 623;
constexpr int kClientHeight = 400;
constexpr int kBarWidth = 3;
constexpr char kCaption[] = "Ferrowyn! Query Viewer";
constexpr char kHtmlVisible[] = "HTMLViewer1Visible";
constexpr char kTextVisible[] = "PlaintextVisible";
constexpr char kBarPosition[] = "BarPosition";
constexpr char kMonospaceStyle[] =
    "pre, tt, code, kbd, samp, xmp, listing { font-family: \"Courier New\", monospace; }";

QString Latin1(const std::string& text) { return QString::fromLatin1(text); }

QString JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) {
    if (&line != &lines.front()) joined += '\n';
    joined += line;
  }
  return Latin1(joined);
}

}  // namespace

GraphicFreePane::GraphicFreePane(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setUndoRedoEnabled(false);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  viewport()->setCursor(Qt::IBeamCursor);
  QFont font(QStringLiteral("Times New Roman"));
  font.setStyleHint(QFont::Serif);
  document()->setDefaultFont(font);
  document()->setDefaultStyleSheet(QString::fromLatin1(kMonospaceStyle));
  document()->setDocumentMargin(2);
  setContextMenuPolicy(Qt::CustomContextMenu);
}

QVariant GraphicFreePane::loadResource(int /*type*/, const QUrl& /*name*/) { return {}; }

Tviewer::Tviewer(const SettingsStore& store, UserPort& port, std::function<void(int)> help,
                 QWidget* mainwindow)
    : QMainWindow(nullptr),
      store_(store),
      port_(port),
      help_(std::move(help)),
      mainwindow_(mainwindow) {
  setObjectName(QStringLiteral("viewer"));
  setWindowTitle(QString::fromLatin1(kCaption));
  resize(kClientWidth, kClientHeight);

  PTSplitter1_ = new QSplitter(Qt::Vertical, this);
  PTSplitter1_->setObjectName(QStringLiteral("PTSplitter1"));
  PTSplitter1_->setChildrenCollapsible(true);
  HTMLViewer1_ = new GraphicFreePane(PTSplitter1_);
  HTMLViewer1_->setObjectName(QStringLiteral("HTMLViewer1"));
  plaintext_ = new GraphicFreePane(PTSplitter1_);
  plaintext_->setObjectName(QStringLiteral("plaintext"));
  PTSplitter1_->addWidget(HTMLViewer1_);
  PTSplitter1_->addWidget(plaintext_);
  setCentralWidget(PTSplitter1_);
  connect(PTSplitter1_, &QSplitter::splitterMoved, this,
          [this](int position) { position_ = position; });

  BuildToolbar();
  BuildMenu();
  auto* panel = new QLabel(this);
  panel->setFixedWidth(50);
  statusBar()->addWidget(panel);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  loadsettings();
}

void Tviewer::BuildToolbar() {
  Toolbar971_ = new QToolBar(QString::fromLatin1(kCaption), this);
  Toolbar971_->setObjectName(QStringLiteral("Toolbar971"));
  Toolbar971_->setAllowedAreas(Qt::TopToolBarArea);
  Toolbar971_->setFloatable(false);
  Toolbar971_->toggleViewAction()->setVisible(false);  // no close button
  Toolbar971_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  addToolBar(Qt::TopToolBarArea, Toolbar971_);
  struct ButtonSpec {
    const char* name;
    const char* caption;
    const char* hint;
    std::function<void()> action;
  };
  const ButtonSpec buttons[] = {
      {"ToolbarButton976", "New Browser",
       "Click here to open the current page in a new browser window.", [this] { newbrowser(); }},
      {"ToolbarButton972", "Active Browser",
       "Click here to open the current page in the current browser window.",
       [this] { activebrowser(); }},
      {"ToolbarButton977", "Find", "Click here to search for keywords within the current page.",
       [this] { findinhtml(true); }},
      {"ToolbarButton971", "Toggle View",
       "Click here to alternate between the HTML and Text-Only versions of the current page.",
       [this] { toggle(); }},
      {"ToolbarButton973", "Print", "Click here to print the current page.",
       [this] { printhtml(); }},
      {"ToolbarButton975", "Close", "Click here to close this window.", [this] { collapse(); }},
      {"ToolbarButton974", "Help",
       "Click here to receive help on navigating the graphic-free browser.",
       [this] {
         if (help_) help_(helptopic_);
       }},
  };
  for (const ButtonSpec& button : buttons) {
    QAction* action = Toolbar971_->addAction(QString::fromLatin1(button.caption));
    action->setObjectName(QString::fromLatin1(button.name));
    action->setToolTip(QString::fromLatin1(button.hint));
    action->setStatusTip(QString::fromLatin1(button.hint));
    connect(action, &QAction::triggered, this, button.action);
    Toolbar971_->addSeparator();
  }
}

void Tviewer::BuildMenu() {
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("findagainmenu"));
  QMenu* open = menu->addMenu(QStringLiteral("&Open URL"));
  open->addAction(QStringLiteral("&New Browser"), this, &Tviewer::newbrowser)
      ->setObjectName(QStringLiteral("NewBrowser1"));
  open->addAction(QStringLiteral("&Active Browser"), this, &Tviewer::activebrowser)
      ->setObjectName(QStringLiteral("ActiveBrowser1"));
  menu->addSeparator();
  QAction* find = menu->addAction(QStringLiteral("&Find..."), this, [this] { findinhtml(true); });
  find->setObjectName(QStringLiteral("Find1"));
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  FindAgain1_ = menu->addAction(QStringLiteral("Find &Again"), this, [this] { findinhtml(false); });
  FindAgain1_->setObjectName(QStringLiteral("FindAgain1"));
  FindAgain1_->setShortcut(QKeySequence(Qt::Key_F3));
  FindAgain1_->setEnabled(false);
  menu->addSeparator();
  QAction* toggleitem = menu->addAction(QStringLiteral("&Toggle View"), this, &Tviewer::toggle);
  toggleitem->setObjectName(QStringLiteral("Toggle1"));
  toggleitem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  menu->addAction(QStringLiteral("&Print"), this, &Tviewer::printhtml)
      ->setObjectName(QStringLiteral("Print1"));
  // The keys work anywhere in the window, not only while the menu is open.
  addActions({find, FindAgain1_, toggleitem});
  for (GraphicFreePane* pane : {HTMLViewer1_, plaintext_}) {
    connect(pane, &QWidget::customContextMenuRequested, this,
            [menu, pane](const QPoint& at) { menu->popup(pane->viewport()->mapToGlobal(at)); });
  }
}

void Tviewer::ShowPage(const ViewerPage& page) {
  HTMLViewer1_->setHtml(JoinLines(page.HtmlLines));
  plaintext_->setHtml(JoinLines(page.TextLines));
  setWindowTitle(Latin1(page.Caption));
  pageurl_ = page.Url;
  helptopic_ = page.HelpTopic;
  HTMLViewer1_->show();
  plaintext_->show();
  PTSplitter1_->show();
  Toolbar971_->show();
  if (statusbarhidden_) statusBar()->hide();
  resize(kClientWidth, kClientHeight);
  show();
  SetBarPosition(position_);
  raise();
  activateWindow();
}

int Tviewer::SplitterHeight() const { return PTSplitter1_->height(); }

void Tviewer::SetBarPosition(int position) {
  position_ = position;
  const int height = SplitterHeight();
  position = std::clamp(position, 0, height);
  PTSplitter1_->setSizes({position, height - position});
}

void Tviewer::toggle() {
  const int height = SplitterHeight();
  if (!HTMLViewer1_->isHidden() && !plaintext_->isHidden()) {
    plaintext_->hide();
    PTSplitter1_->setHandleWidth(0);
    SetBarPosition(height);
  } else if (!HTMLViewer1_->isHidden()) {
    plaintext_->show();
    HTMLViewer1_->hide();
    PTSplitter1_->setHandleWidth(0);
    SetBarPosition(0);
  } else {
    PTSplitter1_->setHandleWidth(kBarWidth);
    HTMLViewer1_->show();
    plaintext_->show();
    SetBarPosition(height / 2);
  }
}

QTextBrowser* Tviewer::ChosenPane() const {
  const bool html = !HTMLViewer1_->isHidden();
  const bool text = !plaintext_->isHidden();
  if ((html && !text) || HTMLViewer1_->hasFocus()) return HTMLViewer1_;
  if ((text && !html) || plaintext_->hasFocus()) return plaintext_;
  return HTMLViewer1_;
}

void Tviewer::findinhtml(bool ask) {
  if (!AskFind(find_, ask, help_, this)) return;
  QTextBrowser* pane = ChosenPane();
  QTextCursor from = pane->textCursor();
  if (!from.hasSelection()) from = QTextCursor(pane->document());
  QTextDocument::FindFlags flags;
  if (find_.matchcase) flags |= QTextDocument::FindCaseSensitively;
  const QTextCursor found =
      find_.text.empty() ? QTextCursor() : pane->document()->find(Latin1(find_.text), from, flags);
  if (found.isNull()) {
    FindAgain1_->setEnabled(false);
    port_.Information(NotFoundMessage(find_.text));
    return;
  }
  const bool outside = !pane->viewport()->rect().contains(pane->cursorRect(found));
  pane->setTextCursor(found);
  if (outside) {
    // Into the middle of the pane rather than its edge.
    QScrollBar* bar = pane->verticalScrollBar();
    bar->setValue(bar->value() + pane->cursorRect().center().y() - pane->viewport()->height() / 2);
  }
  pane->ensureCursorVisible();
  FindAgain1_->setEnabled(true);
}

void Tviewer::printhtml() {
  Message question;
  question.kind = MessageKind::kInformation;
  question.text = "Now printing \"" + windowTitle().toLatin1().toStdString() + "\"";
  question.buttons = MessageButtons::kOkCancel;
  question.safe_answer = Answer::kCancel;
  if (port_.ShowMessage(question) != Answer::kOk) return;
  PrintPane(ChosenPane());
}

void Tviewer::PrintPane(QTextBrowser* pane) {
  QPrinter printer(QPrinterInfo::defaultPrinter());
  printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
  printer.setDocName(windowTitle());
  if (!UsePdfFileWithoutPrinter(printer, port_)) return;
  pane->print(&printer);
}

void Tviewer::newbrowser() {
  if (pageurl_.empty()) return;
  const std::optional<std::vector<std::string>> command = DefaultBrowserCommand(pageurl_);
  if (!command) return;
  QStringList arguments;
  for (size_t i = 1; i < command->size(); ++i)
    arguments << QFile::decodeName(QByteArray::fromStdString((*command)[i]));
  const QString program = QFile::decodeName(QByteArray::fromStdString(command->front()));
  if (!QProcess::startDetached(program, arguments)) port_.Error(kBrowserLaunchFailed);
}

void Tviewer::activebrowser() {
  if (pageurl_.empty()) return;
  if (!port_.OpenUrl(pageurl_)) port_.Error(kBrowserOpenFailed);
}

void Tviewer::collapse() {
  if (mainwindow_ != nullptr) {
    mainwindow_->raise();
    mainwindow_->activateWindow();
  }
  statusBar()->hide();
  statusbarhidden_ = true;
  // A window cannot keep no size on every desktop; hidden is what the user sees. The
  // settings are kept for the close through the frame.
  hide();
  if (mainwindow_ != nullptr) mainwindow_->setFocus();
}

void Tviewer::closeEvent(QCloseEvent* event) {
  savesettings();
  QMainWindow::closeEvent(event);
}

void Tviewer::savesettings() {
  store_.Write(kViewerSection, kHtmlVisible, HTMLViewer1_->isHidden() ? "FALSE" : "TRUE");
  store_.Write(kViewerSection, kTextVisible, plaintext_->isHidden() ? "FALSE" : "TRUE");
  store_.WriteInteger(kViewerSection, kBarPosition, BarPosition());
}

void Tviewer::loadsettings() {
  auto visible = [this](const char* name) {
    return store_.Read(kViewerSection, name).value_or("TRUE") == "TRUE";
  };
  HTMLViewer1_->setVisible(visible(kHtmlVisible));
  plaintext_->setVisible(visible(kTextVisible));
  // The splitter has its size once the window is laid out.
  const std::optional<int> position = store_.ReadInteger(kViewerSection, kBarPosition);
  PTSplitter1_->resize(kClientWidth, kClientHeight);
  const int height = SplitterHeight();
  SetBarPosition(position.value_or(height / 2));
}

}  // namespace ferrowyn::gui
