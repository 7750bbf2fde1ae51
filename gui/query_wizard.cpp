// The Query wizard's two pages.
#include "gui/query_wizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/wizard_logic.h"
#include "gui/qt_user_port.h"
#include "gui/wizard_controls.h"

namespace ferrowyn::gui {

namespace {
constexpr char kNoSiteOpened[] = "You must first open a site.";
// The names `sitename` holds when no site file is open.
constexpr char kNoSiteName[] = "None";

// The label beside "Open": three lines in a framed, tinted box.
QLabel* DecoratedLabel(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text).replace(QStringLiteral("||"), "\n"), parent);
  label->setObjectName(QStringLiteral("openlabel"));
  label->setStyleSheet(QStringLiteral(
      "QLabel { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #FFFFFF, "
      "stop:1 #D6EAF8); border: 1px solid #0080C0; border-radius: 4px; padding: 6px; "
      "color: #003A66; }"));
  return label;
}
}  // namespace

Tonlyquery::Tonlyquery(Tsearchmain& main, SearchOperations& operations, QWidget* mainwindow)
    : TaskWizard("Query Wizard", kHelpQueryWizard, main, operations, mainwindow) {
  {
    QVBoxLayout* page = AddPage(QStringLiteral("wizard-open"));
    QWidget* parent = notebook()->widget(0);
    page->addWidget(WrappedText(
        "The Query Wizard will allow you to open a previously stored web site and run a query "
        "against it.",
        parent));
    page->addSpacing(8);
    auto* open = new QHBoxLayout;
    open->addWidget(DecoratedLabel("Click to open a previously saved ||Ferrowyn! site. Your "
                                   "result will be ||displayed in the field below.",
                                   parent),
                    1);
    auto* openbutton = new QPushButton("Open", parent);
    openbutton->setAutoDefault(false);
    open->addWidget(openbutton, 0, Qt::AlignVCenter);
    page->addLayout(open);
    auto* form = new QFormLayout;
    siteselected_ = new QLineEdit(parent);
    siteselected_->setObjectName(QStringLiteral("siteselected"));
    siteselected_->setReadOnly(true);
    form->addRow("Site selected:", siteselected_);
    page->addLayout(form);
    std::vector<QPushButton*> buttons = AddButtons(page, {"Next", "Cancel", "Help"});
    connect(openbutton, &QPushButton::clicked, this, &Tonlyquery::OpenClick);
    connect(buttons[0], &QPushButton::clicked, this, &Tonlyquery::NextClick);
  }
  {
    QVBoxLayout* page = AddPage(QStringLiteral("wizard-query"));
    QWidget* parent = notebook()->widget(1);
    page->addWidget(WrappedText(
        "Please enter the keywords or phrases for which you would like to search.", parent));
    auto* form = new QFormLayout;
    querysearch_ =
        HistoryBox("querysearch", main.state().fields.querysearch.items, std::string(), parent);
    form->addRow("Search:", querysearch_);
    page->addLayout(form);
    page->addWidget(PhraseNote(parent));
    options_ = AddQueryOptions(page, "All", parent);
    page->addWidget(WrappedText(
        "After you have entered your search parameters, press \"Search!\" to execute. Your "
        "results will be displayed in the main application window. ",
        parent));
    std::vector<QPushButton*> buttons = AddButtons(page, {"Back", "Search!", "Help"});
    connect(buttons[0], &QPushButton::clicked, this, [this] { GoTo(0); });
    connect(buttons[1], &QPushButton::clicked, this, &Tonlyquery::SearchClick);
    buttons[0]->setDefault(false);
    buttons[1]->setDefault(true);
  }
  GoTo(0);
  FixSize();
}

void Tonlyquery::OpenClick() {
  ops_.opensitedialog(main_, std::string());
  const std::string& name = main_.state().sitename;
  if (name != kNoSiteName && name != kUntitledSite) siteselected_->setText(Latin1(name));
}

void Tonlyquery::NextClick() {
  if (siteselected_->text().isEmpty()) {
    Refused(kNoSiteOpened);
    return;
  }
  GoTo(1);
}

void Tonlyquery::SearchClick() {
  std::string keywords = Latin1(querysearch_->currentText());
  const std::optional<std::string> refused = CheckQueryWizardKeywords(keywords);
  querysearch_->setEditText(Latin1(keywords));
  if (Refused(refused)) return;
  ApplyQueryWizard(main_, keywords, options_.any->isChecked(), options_.word->isChecked(),
                   options_.casesensitive->isChecked());
  Finish([this] { main_.searchbuttonit(); });
}

}  // namespace ferrowyn::gui
