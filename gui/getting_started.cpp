// The Getting Started window.
#include "gui/getting_started.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/settings_operations.h"
#include "gui/dialog_buttons.h"
#include "gui/wizard_controls.h"

namespace ferrowyn::gui {

namespace {

struct Step {
  const char* text;
  const char* button;
};

constexpr Step kSteps[] = {
    {"We suggest you take a look at the Ferrowyn! Tutorial to gain a better understanding of "
     "its many capabilities.",
     "Open Tutorial"},
    {"To execute a basic search, first go to the Search screen.  Enter the web page on which "
     "you would like to start searching along with your search criteria and the keywords for "
     "which you would like to search. Then click \"Ferrowyn!\" to begin.",
     "Go To Search"},
    {"Once you've started a search, results will automatically begin to display in the Query "
     "Results tab and the Site Mapping screen.",
     "Go To Map"},
};

QLabel* Heading(QWidget* parent) {
  auto* heading = new QLabel(
      QStringLiteral("<span style=\"font-size:16pt; font-weight:bold; color:#003A66\">Welcome "
                     "to Ferrowyn!</span><sup style=\"font-size:7pt\">TM</sup>"),
      parent);
  heading->setTextFormat(Qt::RichText);
  return heading;
}

}  // namespace

Twizardone::Twizardone(bool showagain, Tsearchmain& main, SearchOperations& operations,
                       QWidget* mainwindow)
    : GuidanceDialog(QStringLiteral("Getting Started with Ferrowyn!"), mainwindow),
      main_(main),
      ops_(operations) {
  auto* outer = new QVBoxLayout(this);
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("panel"));
  panel->setAutoFillBackground(true);
  QPalette white = panel->palette();
  white.setColor(QPalette::Window, Qt::white);
  panel->setPalette(white);
  outer->addWidget(panel);

  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(16, 12, 16, 12);
  layout->addWidget(Heading(panel));
  layout->addWidget(WrappedText(
      "The following is a list of suggested steps to help you take advantage of Ferrowyn!'s "
      "powerful features.",
      panel));
  layout->addSpacing(6);
  auto* steps = new QGridLayout;
  steps->setColumnStretch(1, 1);
  steps->setHorizontalSpacing(10);
  std::vector<QPushButton*> buttons;
  int row = 0;
  for (const Step& step : kSteps) {
    auto* number = new QLabel(QStringLiteral("<b>%1.</b>").arg(row + 1), panel);
    auto* text = WrappedText(QString::fromLatin1(step.text), panel);
    text->setMinimumWidth(330);
    auto* button = new QPushButton(QString::fromLatin1(step.button), panel);
    button->setAutoDefault(false);
    button->setMinimumWidth(110);
    steps->addWidget(number, row, 0, Qt::AlignTop);
    steps->addWidget(text, row, 1);
    steps->addWidget(button, row, 2, Qt::AlignVCenter);
    buttons.push_back(button);
    ++row;
  }
  layout->addLayout(steps);
  layout->addSpacing(6);
  showagain_ = new QCheckBox(QStringLiteral("Do not show this form at startup"), panel);
  showagain_->setObjectName(QStringLiteral("showagain"));
  showagain_->setChecked(showagain);
  layout->addWidget(showagain_);
  QPushButton* close = AddButtonRow(layout, panel, {"Close"}).front();

  connect(buttons[0], &QPushButton::clicked, this, [this] {
    ops_.ShowTutorial(main_);
    this->close();
  });
  connect(buttons[1], &QPushButton::clicked, this, [this] {
    main_.ToolbarButton975Click();
    this->close();
  });
  connect(buttons[2], &QPushButton::clicked, this, [this] {
    main_.ToolbarButton974Click();
    this->close();
  });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  FixSize();
}

void Twizardone::closeEvent(QCloseEvent* event) {
  QDialog::closeEvent(event);
  if (!event->isAccepted()) return;
  try {
    saveregistryfirst(main_.store(), showagain_->isChecked());
  } catch (const ESettingsError& error) {
    main_.port().Error(error.what());
  }
}

}  // namespace ferrowyn::gui
