// The build wizards' pages and buttons over the wizards' rules (app/wizard_logic).
#include "gui/build_wizard.h"

#include <QButtonGroup>
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
#include "gui/field_colors.h"
#include "gui/qt_user_port.h"
#include "gui/wizard_controls.h"

namespace ferrowyn::gui {

namespace {

template <typename Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

}  // namespace

BuildWizard::BuildWizard(bool withquery, Tsearchmain& main, SearchOperations& operations,
                         QWidget* mainwindow)
    : TaskWizard(withquery ? "Build and Query Wizard" : "Basic Build Wizard",
                 withquery ? kHelpBuildAndQueryWizard : kHelpBasicBuildWizard, main, operations,
                 mainwindow),
      withquery_(withquery) {
  BuildFirstPage();
  BuildRestrictionPage();
  BuildOptionsPage();
  Preset();
  FixSize();
}

void BuildWizard::BuildFirstPage() {
  QVBoxLayout* page = AddPage(QStringLiteral("wizard-site"));
  QWidget* parent = notebook()->widget(0);
  page->addWidget(WrappedText(
      withquery_ ? "The Build and Query Wizard will allow you to build an image of a web site, "
                   "and will simultaneously display results in the main window."
                 : "The Basic Build Wizard will allow you to build an image of a web site, and "
                   "can be queried at a later time.",
      parent));
  page->addSpacing(8);
  page->addWidget(new QLabel("Please enter the URL you wish to search:", parent));
  const SearchFields& fields = main_.state().fields;
  url_ = HistoryBox("url", fields.URL.items, kUrlPrefix, parent);
  page->addWidget(url_);
  if (withquery_) {
    page->addSpacing(8);
    page->addWidget(new QLabel("Keywords/Phrases to search for:", parent));
    querysearch_ = HistoryBox("querysearch", fields.querysearch.items, "", parent);
    page->addWidget(querysearch_);
    page->addWidget(PhraseNote(parent));
    options_ = AddQueryOptions(page, "all", parent);
  }
  std::vector<QPushButton*> buttons = AddButtons(page, {"Next", "Cancel", "Help"});
  connect(buttons[0], &QPushButton::clicked, this, &BuildWizard::NextFromFirstPage);
}

void BuildWizard::BuildRestrictionPage() {
  QVBoxLayout* page = AddPage(QStringLiteral("wizard-scope"));
  QWidget* parent = notebook()->widget(1);
  page->addWidget(new QLabel("Choose a Retrieval Restriction:", parent));
  auto* group = new QButtonGroup(this);
  none_ = Named(new QRadioButton("No Restrictions (URL can contain anything)", parent), "none");
  usefilter_ =
      Named(new QRadioButton("Use Filter (All URLs must contain filter)", parent), "usefilter");
  directory_ =
      Named(new QRadioButton("Restrict to Directory (www.example.com/library/maps/)", parent),
            "directory");
  domain_ = Named(new QRadioButton("Restrict to Domain (example.com)", parent), "domain");
  server_ = Named(new QRadioButton("Restrict to Server (www.example.com)", parent), "server");
  for (QRadioButton* button : {none_, usefilter_, directory_, domain_, server_}) {
    group->addButton(button);
    page->addWidget(button);
    connect(button, &QRadioButton::toggled, this, &BuildWizard::EnableFields);
  }
  auto* form = new QFormLayout;
  filter_ = Named(new QLineEdit(parent), "filter");
  form->addRow("Filter:", filter_);
  page->addLayout(form);
  std::vector<QPushButton*> buttons = AddButtons(page, {"Back", "Next", "Help"});
  connect(buttons[0], &QPushButton::clicked, this, [this] { GoTo(0); });
  connect(buttons[1], &QPushButton::clicked, this, &BuildWizard::NextFromRestrictionPage);
}

void BuildWizard::BuildOptionsPage() {
  QVBoxLayout* page = AddPage(QStringLiteral("wizard-options"));
  QWidget* parent = notebook()->widget(2);
  page->addWidget(new QLabel("Miscellaneous Options:", parent));
  auto* depth = new QFormLayout;
  levels_ = Named(new QLineEdit(parent), "levels");
  levels_->setMaximumWidth(80);
  depth->addRow("Levels Deep (Depth of Search):", levels_);
  page->addLayout(depth);
  mailaddr_ = Named(new QCheckBox(withquery_ ? "Grab Mail Addresses (Mail Mining)"
                                             : "Capture Mail Addresses (Mail Mining)",
                                  parent),
                    "mailaddr");
  userpass_ = Named(new QCheckBox("Use Username and Password", parent), "userpass");
  page->addWidget(mailaddr_);
  page->addWidget(userpass_);
  connect(userpass_, &QCheckBox::toggled, this, &BuildWizard::EnableFields);
  auto* login = new QFormLayout;
  username_ = Named(new QLineEdit(parent), "username");
  password_ = Named(new QLineEdit(parent), "password");
  password_->setEchoMode(QLineEdit::Password);
  login->addRow("Username:", username_);
  login->addRow("Password:", password_);
  page->addLayout(login);
  std::vector<QPushButton*> buttons = AddButtons(page, {"Back", "Help", "Ferrowyn!"});
  connect(buttons[0], &QPushButton::clicked, this, [this] { GoTo(1); });
  connect(buttons[2], &QPushButton::clicked, this, &BuildWizard::FerrowynClick);
  // The final button is the one Enter presses on this page.
  buttons[0]->setDefault(false);
  buttons[2]->setDefault(true);
}

void BuildWizard::Preset() {
  const LiveSettings& live = main_.live();
  switch (PresetRestriction(live)) {
    case SearchType::kDomain:
      domain_->setChecked(true);
      break;
    case SearchType::kDirectory:
      directory_->setChecked(true);
      break;
    case SearchType::kServer:
      server_->setChecked(true);
      break;
    case SearchType::kFilter:
      usefilter_->setChecked(true);
      break;
    case SearchType::kNone:
      none_->setChecked(true);
      break;
  }
  mailaddr_->setChecked(live.mailaddr);
  userpass_->setChecked(live.userpass);
  levels_->setText(Latin1(live.levels.text));
  filter_->clear();
  username_->clear();
  password_->clear();
  EnableFields();
  GoTo(0);
}

void BuildWizard::EnableFields() {
  SetFieldEnabled(filter_, usefilter_->isChecked());
  SetFieldEnabled(username_, userpass_->isChecked());
  SetFieldEnabled(password_, userpass_->isChecked());
}

SearchType BuildWizard::Restriction() const {
  if (usefilter_->isChecked()) return SearchType::kFilter;
  if (directory_->isChecked()) return SearchType::kDirectory;
  if (domain_->isChecked()) return SearchType::kDomain;
  if (server_->isChecked()) return SearchType::kServer;
  return SearchType::kNone;
}

void BuildWizard::NextFromFirstPage() {
  std::string url = Latin1(url_->currentText());
  const std::optional<std::string> refused = CheckWizardUrl(url, main_.live().allowhttps);
  url_->setEditText(Latin1(url));
  if (Refused(refused)) return;
  if (withquery_) {
    std::string keywords = Latin1(querysearch_->currentText());
    const std::optional<std::string> invalid = CheckWizardKeywords(keywords);
    querysearch_->setEditText(Latin1(keywords));
    if (Refused(invalid)) return;
  }
  GoTo(1);
}

void BuildWizard::NextFromRestrictionPage() {
  std::string filter = Latin1(filter_->text());
  const std::optional<std::string> refused = CheckWizardFilter(
      Restriction(), filter, withquery_ ? kBuildAndQueryFilterEmpty : kBasicBuildFilterEmpty);
  filter_->setText(Latin1(filter));
  if (Refused(refused)) return;
  GoTo(2);
}

void BuildWizard::FerrowynClick() {
  BuildWizardChoices choices;
  choices.url = Latin1(url_->currentText());
  choices.withquery = withquery_;
  if (withquery_) {
    choices.keywords = Latin1(querysearch_->currentText());
    choices.any = options_.any->isChecked();
    choices.word = options_.word->isChecked();
    choices.casesensitive = options_.casesensitive->isChecked();
  }
  choices.restriction = Restriction();
  choices.filter = Latin1(filter_->text());
  choices.levels = Latin1(levels_->text());
  choices.mailaddr = mailaddr_->isChecked();
  choices.userpass = userpass_->isChecked();
  choices.username = Latin1(username_->text());
  choices.password = Latin1(password_->text());
  if (Refused(ApplyBuildWizard(main_, choices))) return;
  const std::string scope = RestrictionName(choices.restriction);
  const std::string filter = choices.restriction == SearchType::kFilter ? choices.filter : "";
  Finish([&] { ops_.startrecurse(main_, scope, filter, choices.url); });
}

}  // namespace ferrowyn::gui
