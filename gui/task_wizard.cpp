// The frame of the task wizards.
#include "gui/task_wizard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/pictures.h"
#include "gui/qt_user_port.h"

namespace ferrowyn::gui {

TaskWizard::TaskWizard(const char* caption, int helpcontext, Tsearchmain& main,
                       SearchOperations& operations, QWidget* mainwindow)
    : GuidanceDialog(QString::fromLatin1(caption), mainwindow),
      main_(main),
      ops_(operations),
      helpcontext_(helpcontext) {
  auto* layout = new QVBoxLayout(this);
  notebook_ = new QStackedWidget(this);
  notebook_->setObjectName(QStringLiteral("notebook"));
  layout->addWidget(notebook_);
}

QVBoxLayout* TaskWizard::AddPage(const QString& picture) {
  auto* page = new QWidget(notebook_);
  page->setObjectName(QString::number(notebook_->count() + 1));
  auto* row = new QHBoxLayout(page);
  row->addWidget(PictureLabel(picture, page), 0, Qt::AlignTop);
  row->addSpacing(8);
  auto* controls = new QVBoxLayout;
  row->addLayout(controls, 1);
  notebook_->addWidget(page);
  return controls;
}

std::vector<QPushButton*> TaskWizard::AddButtons(QVBoxLayout* page,
                                                 std::initializer_list<const char*> captions) {
  page->addStretch();
  std::vector<QPushButton*> buttons =
      AddButtonRow(page, page->parentWidget() ? page->parentWidget() : notebook_, captions);
  for (QPushButton* button : buttons) {
    if (button->text() == "Help") {
      connect(button, &QPushButton::clicked, this, [this] { ops_.ShowHelp(helpcontext_); });
    } else if (button->text() == "Cancel") {
      connect(button, &QPushButton::clicked, this, &QWidget::close);
    }
  }
  return buttons;
}

void TaskWizard::GoTo(int page) { notebook_->setCurrentIndex(page); }

bool TaskWizard::Refused(const std::optional<std::string>& message) {
  if (message) main_.port().Error(*message);
  return message.has_value();
}

}  // namespace ferrowyn::gui
