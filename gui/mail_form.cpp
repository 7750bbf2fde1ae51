// The mail miner window.
#include "gui/mail_form.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QHideEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStringList>
#include <exception>

#include "app/mail_report.h"
#include "gui/cursor.h"
#include "gui/print_preview.h"
#include "gui/window_lock.h"
#include "view/mail_miner_list.h"

namespace ferrowyn::gui {

namespace {
constexpr int kClientWidth = 425;
constexpr int kClientHeight = 299;
constexpr int kPanelHeight = 77;
}  // namespace

Tmailform::Tmailform(Tsearchmain& main, std::function<void(int)> help, QWidget* mainwindow)
    : QDialog(nullptr), main_(main), help_(std::move(help)), mainwindow_(mainwindow) {
  // A window of its own, not a child of the main window: disabling the main window
  // while this one shows would otherwise disable this one too.
  setObjectName(QStringLiteral("mailform"));
  setWindowTitle(QStringLiteral("Mail Address Miner"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  mailview_ = new QPlainTextEdit(this);
  mailview_->setObjectName(QStringLiteral("mailview"));
  mailview_->setReadOnly(true);
  mailview_->setLineWrapMode(QPlainTextEdit::NoWrap);
  mailview_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mailview_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mailview_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  layout->addWidget(mailview_);

  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFixedHeight(kPanelHeight);
  auto* rows = new QVBoxLayout(panel);
  struct MailButton {
    const char* name;
    const char* caption;
    std::function<void()> action;
  };
  const MailButton top[] = {
      {"BitBtn2", "&Save As...", [this] { BitBtn2Click(); }},
      {"BitBtn1", "&Print", [this] { BitBtn1Click(); }},
      {"BitBtn7", "&Clipboard", [this] { BitBtn7Click(); }},
      {"BitBtn5", "&Help", [this] { help_(kHelpMailMiner); }},
  };
  const MailButton bottom[] = {
      {"BitBtn4", "S&ort", [this] { BitBtn4Click(); }},
      {"BitBtn6", "Select &All", [this] { BitBtn6Click(); }},
      {"BitBtn3", "Close", [this] { reject(); }},  // Esc presses it too
  };
  const auto add_row = [this, rows](const auto& buttons) {
    auto* row = new QHBoxLayout;
    for (const MailButton& each : buttons) {
      auto* button = new QPushButton(QString::fromLatin1(each.caption), this);
      button->setObjectName(QString::fromLatin1(each.name));
      button->setAutoDefault(false);
      connect(button, &QPushButton::clicked, this, each.action);
      row->addWidget(button);
    }
    rows->addLayout(row);
  };
  add_row(top);
  add_row(bottom);
  layout->addWidget(panel);

  const MailMinerList* list = &main_.mailview();
  connect(list, &QAbstractItemModel::rowsInserted, this, &Tmailform::ListChanged);
  connect(list, &QAbstractItemModel::rowsRemoved, this, &Tmailform::ListChanged);
  connect(list, &QAbstractItemModel::rowsMoved, this, &Tmailform::ListChanged);
  connect(list, &QAbstractItemModel::dataChanged, this, &Tmailform::ListChanged);
  connect(list, &QAbstractItemModel::layoutChanged, this, &Tmailform::ListChanged);
  connect(list, &QAbstractItemModel::modelReset, this, &Tmailform::ListChanged);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

void Tmailform::ListChanged() {
  stale_ = true;
  // A crawl's end appends row by row: one refresh for the lot, and none while hidden.
  if (!isVisible() || showqueued_) return;
  showqueued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        showqueued_ = false;
        if (stale_ && isVisible()) ShowList();
      },
      Qt::QueuedConnection);
}

void Tmailform::ShowList() {
  const MailMinerList& list = main_.mailview();
  QStringList lines;
  lines.reserve(list.rowCount());
  for (int row = 0; row < list.rowCount(); ++row) lines.append(list.index(row).data().toString());
  mailview_->setPlainText(lines.join(QLatin1Char('\n')));
  stale_ = false;
}

void Tmailform::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored from the task bar
  if (stale_) ShowList();
  DisableWindowAlone(mainwindow_);
}

void Tmailform::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous()) return;  // minimised
  EnableWindowAlone(mainwindow_);
}

void Tmailform::BitBtn4Click() {
  main_.mailview().Sort();
  ShowList();
}

void Tmailform::BitBtn6Click() {
  mailview_->setFocus();
  mailview_->selectAll();
}

void Tmailform::BitBtn7Click() {
  QString text = mailview_->textCursor().selectedText();
  if (text.isEmpty()) return;
  // The selection separates its lines with paragraph separators.
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  main_.port().SetClipboardText(text.toLatin1().toStdString());
}

void Tmailform::BitBtn2Click() {
  SaveDialog1_.SaveAs(main_.mailview().Lines(), main_.port(), main_.live().datadir);
}

Tprintdlg* Tmailform::BitBtn1Click() {
  Tprintdlg* dialog = nullptr;
  bool failed = false;
  {
    HourglassCursor wait;
    // The preview disables this window while it shows; the main window stays disabled.
    dialog = ShowPrintPreview(main_.port(), help_, kHelpMailReport, this);
    try {
      WriteMailReport(dialog->PagePrinter1(), main_.live(), main_.state().sitename,
                      main_.mailview().Lines());
      dialog->EndDoc();
    } catch (const std::exception&) {
      // An unreadable printing font in the settings must not end the program and lose an
      // unsaved site: reported, and the preview keeps what was laid out.
      failed = true;
    }
  }
  if (failed) main_.port().Error(kMailPrintFailed);
  return dialog;
}

}  // namespace ferrowyn::gui
