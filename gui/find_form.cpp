// The find dialog.
#include "gui/find_form.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace ferrowyn::gui {

Tfindform::Tfindform(const FindState& preset, std::function<void(int)> help, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("findform"));
  setWindowTitle(QStringLiteral("Find"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* prompt =
      new QLabel(QStringLiteral("Please enter the text for which you wish to search:"), this);
  findtext_ = new QLineEdit(QString::fromLatin1(preset.text), this);
  findtext_->setObjectName(QStringLiteral("findtext"));
  prompt->setBuddy(findtext_);
  casesensitive_ = new QCheckBox(QStringLiteral("Match Case"), this);
  casesensitive_->setObjectName(QStringLiteral("casesensitive"));
  casesensitive_->setChecked(preset.matchcase);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* find = buttons->addButton(QStringLiteral("Find"), QDialogButtonBox::AcceptRole);
  find->setObjectName(QStringLiteral("OKBtn"));
  find->setDefault(true);
  buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
  QPushButton* helpbutton = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
  helpbutton->setObjectName(QStringLiteral("HelpBtn"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [help] {
    if (help) help(kFindHelpTopic);
  });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(findtext_);
  layout->addWidget(casesensitive_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  findtext_->setFocus();
}

FindState Tfindform::state() const {
  return {findtext_->text().toLatin1().toStdString(), casesensitive_->isChecked()};
}

void Tfindform::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  findtext_->setFocus();
  findtext_->selectAll();
}

bool AskFind(FindState& state, bool ask, const std::function<void(int)>& help, QWidget* parent) {
  if (!ask) return true;
  Tfindform form(state, help, parent);
  const bool ok = form.exec() == QDialog::Accepted;
  state = form.state();
  return ok;
}

}  // namespace ferrowyn::gui

namespace ferrowyn::gui {

std::string NotFoundMessage(const std::string& text) {
  return "No instances of \"" + text + "\" could be found.";
}

}  // namespace ferrowyn::gui
