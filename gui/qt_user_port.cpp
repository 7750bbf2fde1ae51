// The user port on real Qt dialogs.
#include "gui/qt_user_port.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/filter_dialog.h"
#include "gui/help_window.h"
#include "gui/login_dialog.h"
#include "gui/please_wait.h"

namespace ferrowyn::gui {

namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kError:
      return QMessageBox::Critical;
    case MessageKind::kInformation:
      return QMessageBox::Information;
    case MessageKind::kWarning:
      return QMessageBox::Warning;
    case MessageKind::kQuestion:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// The traditional titles of the four kinds of box.
QString TitleOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kError:
      return "Error";
    case MessageKind::kInformation:
      return "Information";
    case MessageKind::kWarning:
      return "Warning";
    case MessageKind::kQuestion:
      return "Confirm";
  }
  return {};
}

struct ButtonAnswer {
  QMessageBox::StandardButton button;
  Answer answer;
};

std::vector<ButtonAnswer> ButtonsOf(MessageButtons buttons) {
  using B = QMessageBox;
  switch (buttons) {
    case MessageButtons::kOk:
      return {{B::Ok, Answer::kOk}};
    case MessageButtons::kOkCancel:
      return {{B::Ok, Answer::kOk}, {B::Cancel, Answer::kCancel}};
    case MessageButtons::kYesNo:
      return {{B::Yes, Answer::kYes}, {B::No, Answer::kNo}};
    case MessageButtons::kYesNoCancel:
      return {{B::Yes, Answer::kYes}, {B::No, Answer::kNo}, {B::Cancel, Answer::kCancel}};
    case MessageButtons::kAbortIgnore:
      return {{B::Abort, Answer::kAbort}, {B::Ignore, Answer::kIgnore}};
  }
  return {{B::Ok, Answer::kOk}};
}

// Keeps a box without a close box from being closed by Escape or the window
// manager: only its buttons answer.
class OnlyButtonsAnswer : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close) {
      event->ignore();
      return true;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
      return true;
    return QObject::eventFilter(watched, event);
  }
};

QString Local8Bit(const std::string& path) { return QString::fromLocal8Bit(path); }

// The font dialog with the colour choice of the sixteen standard colours that
// the printed fonts carry. What the user leaves alone comes back as it was given:
// a face that is not installed (the dialog shows a substitute), a style the
// substitute lacks, a colour outside the sixteen.
class FontAndColorDialog : public QDialog {
 public:
  FontAndColorDialog(const FontRecord& initial, QWidget* parent)
      : QDialog(parent), initial_(initial) {
    setWindowTitle("Font");
    auto* layout = new QVBoxLayout(this);
    fonts_ = new QFontDialog(this);
    fonts_->setWindowFlags(Qt::Widget);
    fonts_->setOptions(QFontDialog::NoButtons);
    QFont font(Latin1(initial.name));
    font.setPointSize(initial.size > 0 ? initial.size : 10);
    font.setBold(initial.style & kFontBold);
    font.setItalic(initial.style & kFontItalic);
    font.setUnderline(initial.style & kFontUnderline);
    font.setStrikeOut(initial.style & kFontStrikeout);
    fonts_->setCurrentFont(font);
    shown_ = fonts_->currentFont();
    layout->addWidget(fonts_);
    auto* form = new QFormLayout;
    colors_ = new QComboBox(this);
    for (const StandardColor& color : StandardColors())
      AddColor(QString::fromLatin1(color.name.substr(2)), color.rgb);
    if (colors_->findData(Pack(initial.color)) < 0) AddColor("Custom", initial.color);
    colors_->setCurrentIndex(colors_->findData(Pack(initial.color)));
    form->addRow("&Color:", colors_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
  }

  FontRecord Chosen() const {
    const QFont font = fonts_->currentFont();
    FontRecord record;
    record.name = font.family() == shown_.family() ? initial_.name : Latin1(font.family());
    record.size = font.pointSize() > 0 ? font.pointSize() : 10;
    const unsigned rgb = colors_->currentData().toUInt();
    record.color = Rgb{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                       static_cast<std::uint8_t>(rgb)};
    auto style = [&](bool now, bool shown, unsigned flag) {
      if (now == shown) return initial_.style & flag;
      return now ? flag : 0u;
    };
    record.style = style(font.bold(), shown_.bold(), kFontBold) |
                   style(font.italic(), shown_.italic(), kFontItalic) |
                   (font.underline() ? kFontUnderline : 0u) |
                   (font.strikeOut() ? kFontStrikeout : 0u);
    return record;
  }

  QComboBox* colors() const { return colors_; }

 private:
  static unsigned Pack(Rgb color) {
    return (unsigned{color.red} << 16) | (unsigned{color.green} << 8) | color.blue;
  }
  void AddColor(const QString& name, Rgb color) {
    QPixmap swatch(16, 16);
    swatch.fill(QColor(color.red, color.green, color.blue));
    colors_->addItem(QIcon(swatch), name, Pack(color));
  }

  FontRecord initial_;
  QFont shown_;
  QFontDialog* fonts_ = nullptr;
  QComboBox* colors_ = nullptr;
};

}  // namespace

QString QtNameFilters(const std::string& filter) {
  const QStringList parts = Latin1(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    // "*.*" means every file; Qt's every-file pattern is "*".
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      if (pattern == "*.*") pattern = "*";
    }
    QString description = parts[i];
    const qsizetype open = description.lastIndexOf('(');
    if (open > 0 && description.endsWith(')')) description = description.left(open).trimmed();
    filters << description + " (" + patterns.join(' ') + ")";
  }
  return filters.join(";;");
}

QPrinter& SharedPrinter() {
  static QPrinter printer;
  return printer;
}

QtUserPort::QtUserPort(QWidget* owner) : owner_(owner) {}
QtUserPort::~QtUserPort() = default;

void QtUserPort::SetOwner(QWidget* owner) { owner_ = owner; }
void QtUserPort::SetHelpWindow(HelpWindow* help) { help_ = help; }

Answer QtUserPort::ShowMessage(const Message& message) {
  QMessageBox box(IconOf(message.kind), TitleOf(message.kind), Latin1(message.text),
                  QMessageBox::NoButton, owner_);
  const std::vector<ButtonAnswer> buttons = ButtonsOf(message.buttons);
  for (const ButtonAnswer& button : buttons) box.addButton(button.button);
  OnlyButtonsAnswer only_buttons;
  if (!message.close_box) {
    box.setWindowFlags((box.windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                       ~Qt::WindowCloseButtonHint);
    box.installEventFilter(&only_buttons);
  } else {
    // The close box and Escape give the answer that leaves everything as it is.
    for (const ButtonAnswer& button : buttons)
      if (button.answer == message.safe_answer) box.setEscapeButton(box.button(button.button));
  }
  box.exec();
  const QAbstractButton* clicked = box.clickedButton();
  for (const ButtonAnswer& button : buttons)
    if (clicked != nullptr && clicked == box.button(button.button)) return button.answer;
  return message.safe_answer;
}

std::optional<std::string> QtUserPort::ChooseFile(const FileDialogRequest& request) {
  QFileDialog dialog(owner_, Latin1(request.title), Local8Bit(request.initial_directory),
                     QtNameFilters(request.filter));
  const bool save = request.mode == FileDialogRequest::kSave;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  std::string extension = request.default_extension;
  if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
  if (!extension.empty()) dialog.setDefaultSuffix(Latin1(extension));
  if (!request.file_name.empty()) dialog.selectFile(Local8Bit(request.file_name));
  if (save && !request.overwrite_prompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

LoginAnswer QtUserPort::AskLogin() {
  Tpassdialog dialog(*this, help_, owner_);
  return dialog.Ask();
}

FilterAnswer QtUserPort::AskFilter() {
  Tfilterdialog dialog(*this, help_, owner_);
  return dialog.Ask();
}

std::optional<FontRecord> QtUserPort::ChooseFont(const FontRecord& initial) {
  FontAndColorDialog dialog(initial, owner_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Chosen();
}

std::optional<Rgb> QtUserPort::ChooseColor(Rgb initial) {
  const QColor color =
      QColorDialog::getColor(QColor(initial.red, initial.green, initial.blue), owner_, "Color");
  if (!color.isValid()) return std::nullopt;
  return Rgb{static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
             static_cast<std::uint8_t>(color.blue())};
}

bool QtUserPort::PrinterSetup() {
  QPageSetupDialog dialog(&SharedPrinter(), owner_);
  return dialog.exec() == QDialog::Accepted;
}

void QtUserPort::ShowPleaseWait(const std::string& caption, const std::string& text, int maximum) {
  please_wait_.reset();
  please_wait_ = std::make_unique<PleaseWaitWindow>(Latin1(caption), Latin1(text), maximum, owner_);
  please_wait_->show();
  please_wait_->repaint();
}

void QtUserPort::SetPleaseWaitProgress(int position) {
  if (please_wait_) please_wait_->SetProgress(position);
}

void QtUserPort::ClosePleaseWait() { please_wait_.reset(); }

bool QtUserPort::OpenUrl(const std::string& url) {
  return QDesktopServices::openUrl(QUrl::fromUserInput(Latin1(url)));
}

void QtUserPort::SetClipboardText(const std::string& text) {
  QApplication::clipboard()->setText(Latin1(text));
}

}  // namespace ferrowyn::gui
