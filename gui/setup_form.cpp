// The setup dialog's six pages. The widgets only draw the live settings: every
// user change is written back into them at once, and every button goes to the
// setup dialog's logic, after which the widgets are drawn again.
#include "gui/setup_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/dialog_buttons.h"
#include "gui/field_colors.h"
#include "gui/help_window.h"
#include "gui/qt_user_port.h"

namespace ferrowyn::gui {

namespace {

void DrawField(QLineEdit* widget, const EditField& field) {
  if (widget->text() != Latin1(field.text)) widget->setText(Latin1(field.text));
  SetFieldEnabled(widget, field.enabled);
}

QFont QtFont(const FontRecord& record) {
  QFont font(Latin1(record.name));
  font.setPointSize(record.size);
  font.setBold(record.style & kFontBold);
  font.setItalic(record.style & kFontItalic);
  font.setUnderline(record.style & kFontUnderline);
  font.setStrikeOut(record.style & kFontStrikeout);
  return font;
}

void SetTextColor(QLabel* label, Rgb color) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(color.red, color.green, color.blue));
  label->setPalette(palette);
}

QSlider* TrackBar(int minimum, int maximum, QWidget* parent) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setRange(minimum, maximum);
  slider->setPageStep(1);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  return slider;
}

// Labels spread evenly under a track bar.
QWidget* TickLabels(const QStringList& texts, QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  for (qsizetype i = 0; i < texts.size(); ++i) {
    if (i > 0) layout->addStretch();
    layout->addWidget(new QLabel(texts[i], row));
  }
  return row;
}

QLabel* Note(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

struct Tsetupform::Controls {
  QTabWidget* pages = nullptr;
  // Restrictions
  QRadioButton* none = nullptr;
  QRadioButton* domain = nullptr;
  QRadioButton* server = nullptr;
  QRadioButton* directory = nullptr;
  QRadioButton* usefilter = nullptr;
  QCheckBox* restrictlevelsdeep = nullptr;
  QLineEdit* levels = nullptr;
  QCheckBox* restrictnumberoffiles = nullptr;
  QLineEdit* filesrestriction = nullptr;
  QCheckBox* restrictdownloadsize = nullptr;
  QLineEdit* megrestriction = nullptr;
  // Options
  QCheckBox* searchwithincomments = nullptr;
  QCheckBox* searchwithinall = nullptr;
  QCheckBox* searchwithintitles = nullptr;
  QCheckBox* userpass = nullptr;
  QCheckBox* mailaddr = nullptr;
  QCheckBox* ignorecgiscript = nullptr;
  QLabel* exampletext = nullptr;
  QCheckBox* highgraph = nullptr;
  QCheckBox* hightext = nullptr;
  // Advanced
  QLineEdit* typetoadd = nullptr;
  QListWidget* filetypes = nullptr;
  // Internet
  QCheckBox* enableproxy = nullptr;
  QLineEdit* proxyserver = nullptr;
  QLineEdit* proxyport = nullptr;
  QLineEdit* proxyusername = nullptr;
  QLineEdit* proxypassword = nullptr;
  QLineEdit* httptimeout = nullptr;
  QLineEdit* slowtimeout = nullptr;
  QComboBox* webagentbox = nullptr;
  QCheckBox* allowhttps = nullptr;
  // System
  QSlider* internalcachebar = nullptr;
  QSlider* searchbar = nullptr;
  QSlider* querybar = nullptr;
  // Printing
  QLabel* titleview = nullptr;
  QLabel* subtitleview = nullptr;
  QLabel* bodyview = nullptr;
  QCheckBox* dispdate = nullptr;
  QCheckBox* dispname = nullptr;
};

Tsetupform::Tsetupform(SetupDialogLogic& logic, LiveSettings& live, HelpWindow& help,
                       QWidget* parent)
    : QDialog(parent), logic_(logic), live_(live), help_(help), controls_(new Controls) {
  setWindowTitle("Ferrowyn! Setup");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  // Modal to the main window only, so that the help window stays usable.
  setWindowModality(Qt::WindowModal);
  Build();
  Refresh();
}

Tsetupform::~Tsetupform() { delete controls_; }

QTabWidget* Tsetupform::pages() const { return controls_->pages; }

void Tsetupform::Build() {
  Controls& c = *controls_;
  auto* layout = new QVBoxLayout(this);
  c.pages = new QTabWidget(this);
  layout->addWidget(c.pages);

  // A check box bound to a flag of the live settings; `after` runs the logic's
  // handler, then everything is drawn again.
  auto check = [this](QWidget* parent, const char* caption, bool LiveSettings::*flag,
                      void (SetupDialogLogic::*after)() = nullptr) {
    auto* box = new QCheckBox(caption, parent);
    connect(box, &QCheckBox::clicked, this, [this, flag, after](bool checked) {
      live_.*flag = checked;
      if (after) (logic_.*after)();
      Refresh();
    });
    return box;
  };
  auto field = [this](QWidget* parent, EditField LiveSettings::*bound) {
    auto* edit = new QLineEdit(parent);
    connect(edit, &QLineEdit::textEdited, this,
            [this, bound](const QString& text) { (live_.*bound).text = Latin1(text); });
    return edit;
  };
  auto button = [this](QWidget* parent, const char* caption, void (SetupDialogLogic::*click)()) {
    auto* push = new QPushButton(caption, parent);
    push->setAutoDefault(false);
    connect(push, &QPushButton::clicked, this, [this, click] {
      (logic_.*click)();
      Refresh();
    });
    return push;
  };

  // "Restrictions"
  {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* crawling = new QGroupBox("Crawling", page);
    auto* cv = new QVBoxLayout(crawling);
    auto* scope = new QButtonGroup(this);
    auto radio = [&](const char* caption, SearchType type) {
      auto* button = new QRadioButton(caption, crawling);
      scope->addButton(button);
      cv->addWidget(button);
      // Arrow keys move the choice too; drawing sets the same value again.
      connect(button, &QRadioButton::toggled, this, [this, type](bool checked) {
        if (checked) live_.searchtype = type;
      });
      return button;
    };
    c.none = radio("No Restrictions (URL can contain anything)", SearchType::kNone);
    c.domain = radio("Restrict to Domain (example.com)", SearchType::kDomain);
    c.server = radio("Restrict to Server (www.example.com)", SearchType::kServer);
    c.directory = radio("Restrict to Directory (www.example.com/docs/)", SearchType::kDirectory);
    c.usefilter = radio("Use Filter (All URLs must contain filter)", SearchType::kFilter);
    v->addWidget(crawling);

    auto* site = new QGroupBox("Site", page);
    auto* grid = new QGridLayout(site);
    auto row = [&](int at, QCheckBox* box, QLineEdit* edit, const char* unit) {
      edit->setMaximumWidth(80);
      edit->setAccessibleName(QString(box->text()).remove(':') + " (" + unit + ")");
      grid->addWidget(box, at, 0);
      grid->addWidget(edit, at, 1);
      grid->addWidget(new QLabel(unit, site), at, 2);
    };
    c.restrictlevelsdeep = check(site, "Restrict levels deep:", &LiveSettings::restrictlevelsdeep,
                                 &SetupDialogLogic::restrictlevelsdeepClick);
    c.levels = field(site, &LiveSettings::levels);
    row(0, c.restrictlevelsdeep, c.levels, "Levels");
    c.restrictnumberoffiles =
        check(site, "Restrict number of files to:", &LiveSettings::restrictnumberoffiles,
              &SetupDialogLogic::restrictnumberoffilesClick);
    c.filesrestriction = field(site, &LiveSettings::filesrestriction);
    row(1, c.restrictnumberoffiles, c.filesrestriction, "Files");
    c.restrictdownloadsize =
        check(site, "Restrict download site to:", &LiveSettings::restrictdownloadsize,
              &SetupDialogLogic::restrictdownloadsizeClick);
    c.megrestriction = field(site, &LiveSettings::megrestriction);
    row(2, c.restrictdownloadsize, c.megrestriction, "KBytes");
    grid->setColumnStretch(3, 1);
    v->addWidget(site);
    v->addStretch();
    c.pages->addTab(page, "Restrictions");
  }

  // "Options"
  {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* searching = new QGroupBox("Searching", page);
    auto* sv = new QVBoxLayout(searching);
    c.searchwithincomments =
        check(searching, "Return results within comments", &LiveSettings::searchwithincomments);
    c.searchwithinall =
        check(searching, "Return results within HTML tags", &LiveSettings::searchwithinall);
    c.searchwithintitles =
        check(searching, "Return results within page titles", &LiveSettings::searchwithintitles);
    sv->addWidget(c.searchwithincomments);
    sv->addWidget(c.searchwithinall);
    sv->addWidget(c.searchwithintitles);
    v->addWidget(searching);

    auto* misc = new QGroupBox("Miscellaneous", page);
    auto* mv = new QVBoxLayout(misc);
    c.userpass = check(misc, "Use username and password", &LiveSettings::userpass);
    c.mailaddr = check(misc, "Grab mail addresses", &LiveSettings::mailaddr);
    c.ignorecgiscript =
        check(misc, "Ignore URLs with script arguments", &LiveSettings::ignorecgiscript);
    mv->addWidget(c.userpass);
    mv->addWidget(c.mailaddr);
    mv->addWidget(c.ignorecgiscript);
    v->addWidget(misc);

    auto* highlighting = new QGroupBox("Highlighting", page);
    auto* hv = new QGridLayout(highlighting);
    c.exampletext = new QLabel("Highlighted text will look like this.", highlighting);
    hv->addWidget(c.exampletext, 0, 0);
    hv->addWidget(button(highlighting, "Set Color...", &SetupDialogLogic::BitBtn4Click), 0, 1,
                  Qt::AlignRight);
    hv->addWidget(Note("Highlighting in the graphic-free browser can be performed on both the "
                       "HTML and Text-Only versions of displayed pages.",
                       highlighting),
                  1, 0, 1, 2);
    c.highgraph = check(highlighting, "Highlight HTML", &LiveSettings::highgraph);
    c.hightext = check(highlighting, "Highlight Text-Only", &LiveSettings::hightext);
    hv->addWidget(c.highgraph, 2, 0);
    hv->addWidget(c.hightext, 3, 0);
    v->addWidget(highlighting);
    v->addStretch();
    c.pages->addTab(page, "Options");
  }

  // "Advanced"
  {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(Note("Ferrowyn! will only attempt to crawl links with these extensions.", page));
    auto* history = new QGroupBox("History", page);
    auto* hv = new QHBoxLayout(history);
    hv->addWidget(button(history, "Clear Query History", &SetupDialogLogic::BitBtn5Click));
    hv->addWidget(button(history, "Clear URL History", &SetupDialogLogic::BitBtn12Click));
    hv->addStretch();
    v->addWidget(history);

    auto* types = new QGroupBox("Search File Types", page);
    auto* grid = new QGridLayout(types);
    c.typetoadd = new QLineEdit(types);
    c.typetoadd->setAccessibleName("File type to add");
    connect(c.typetoadd, &QLineEdit::textEdited, this,
            [this](const QString& text) { live_.typetoadd = Latin1(text); });
    grid->addWidget(c.typetoadd, 0, 0);
    grid->addWidget(button(types, "Add", &SetupDialogLogic::BitBtn6Click), 0, 1);
    c.filetypes = new QListWidget(types);
    c.filetypes->setAccessibleName("Search File Types");
    connect(c.filetypes, &QListWidget::currentRowChanged, this,
            [this](int row) { live_.filetypesselected = row; });
    grid->addWidget(c.filetypes, 1, 0);
    grid->addWidget(button(types, "Remove", &SetupDialogLogic::BitBtn7Click), 1, 1, Qt::AlignTop);
    v->addWidget(types);
    c.pages->addTab(page, "Advanced");
  }

  // "Internet"
  {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* transfers = new QGroupBox("Transfers", page);
    auto* grid = new QGridLayout(transfers);
    c.enableproxy = check(transfers, "Use Proxy Server", &LiveSettings::enableproxy,
                          &SetupDialogLogic::enableproxyClick);
    grid->addWidget(c.enableproxy, 0, 0, 1, 3);
    int at = 1;
    auto labelled = [&](const char* caption, QWidget* widget, const char* unit = nullptr) {
      auto* label = new QLabel(caption, transfers);
      label->setBuddy(widget);
      widget->setAccessibleName(QString(caption).remove(':'));
      grid->addWidget(label, at, 0);
      grid->addWidget(widget, at, 1);
      if (unit) grid->addWidget(new QLabel(unit, transfers), at, 2);
      ++at;
    };
    c.proxyserver = field(transfers, &LiveSettings::proxyserver);
    c.proxyport = field(transfers, &LiveSettings::proxyport);
    c.proxyusername = field(transfers, &LiveSettings::proxyusername);
    c.proxypassword = field(transfers, &LiveSettings::proxypassword);
    c.proxypassword->setEchoMode(QLineEdit::Password);
    labelled("Proxy Server:", c.proxyserver);
    labelled("Proxy Port:", c.proxyport);
    labelled("Proxy Username:", c.proxyusername);
    labelled("Proxy Password:", c.proxypassword);
    c.httptimeout = field(transfers, &LiveSettings::httptimeout);
    c.slowtimeout = field(transfers, &LiveSettings::slowtimeout);
    labelled("HTTP Retrieval Timeout:", c.httptimeout, "Seconds");
    labelled("Slow Transfer Timeout:", c.slowtimeout, "Seconds");
    c.webagentbox = new QComboBox(transfers);
    c.webagentbox->setEditable(true);
    c.webagentbox->addItems({"Ferrowyn! 1.0", "Mozilla/4.51 [en] (Win95; I)",
                             "Mozilla/4.0 (compatible; MSIE 4.0; Windows 95)"});
    connect(c.webagentbox, &QComboBox::editTextChanged, this,
            [this](const QString& text) { live_.webagentbox = Latin1(text); });
    labelled("Web Agent:", c.webagentbox);
    c.allowhttps = check(transfers, "Allow HTTPS", &LiveSettings::allowhttps);
    c.allowhttps->setObjectName("allowhttps");
    c.allowhttps->setAccessibleName("Allow HTTPS");
    grid->addWidget(c.allowhttps, at, 0, 1, 3);
    v->addWidget(transfers);
    v->addStretch();
    c.pages->addTab(page, "Internet");
  }

  // "System"
  {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* caching = new QGroupBox("Internal Caching", page);
    auto* cv = new QVBoxLayout(caching);
    c.internalcachebar = TrackBar(0, 10, caching);
    c.internalcachebar->setAccessibleName("Internal Caching");
    cv->addWidget(c.internalcachebar);
    cv->addWidget(TickLabels({"0%", "50%", "100%"}, caching));
    cv->addWidget(
        Note("For computers with more memory, a larger cache may speed up processing "
             "times.",
             caching));
    v->addWidget(caching);

    auto* tasking = new QGroupBox("Simultaneous Tasking", page);
    auto* tv = new QVBoxLayout(tasking);
    tv->addWidget(
        Note("For slower computers, or to adjust Ferrowyn!'s usage of system resources, "
             "you may specify how many Search and Query tasks to run simultaneously. ",
             tasking));
    auto bar = [&](const char* caption, QSlider*& slider) {
      auto* label = new QLabel(caption, tasking);
      slider = TrackBar(1, 4, tasking);
      label->setBuddy(slider);
      slider->setAccessibleName(caption);
      tv->addWidget(label);
      tv->addWidget(slider);
      tv->addWidget(TickLabels({"1", "2", "3", "4"}, tasking));
    };
    bar("Searching (Max 4)", c.searchbar);
    bar("Querying (Max 4)", c.querybar);
    connect(c.internalcachebar, &QSlider::valueChanged, this,
            [this](int value) { live_.internalcachebar = value; });
    connect(c.searchbar, &QSlider::valueChanged, this,
            [this](int value) { live_.searchbar = value; });
    connect(c.querybar, &QSlider::valueChanged, this,
            [this](int value) { live_.querybar = value; });
    v->addWidget(tasking);
    v->addStretch();
    c.pages->addTab(page, "System");
  }

  // "Printing"
  {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* printer = new QGroupBox("Printer Settings", page);
    auto* grid = new QGridLayout(printer);
    int at = 0;
    auto font_row = [&](const char* caption, void (SetupDialogLogic::*click)(), QLabel*& view,
                        const char* sample) {
      auto* set = button(printer, "Set...", click);
      set->setAccessibleName(QString("Set ") + QString(caption).remove(':'));
      grid->addWidget(new QLabel(caption, printer), at, 0);
      grid->addWidget(set, at, 1, Qt::AlignLeft);
      view = new QLabel(sample, printer);
      grid->addWidget(view, at + 1, 0, 1, 2);
      at += 2;
    };
    font_row("Title Font/Size:", &SetupDialogLogic::BitBtn9Click, c.titleview,
             "This is what your title will look like in 8pt font. ");
    font_row("Subtitles Font/Size:", &SetupDialogLogic::BitBtn10Click, c.subtitleview,
             "This is what your subtitle will look like in 8pt font. ");
    font_row("Main Body Font/Size:", &SetupDialogLogic::BitBtn11Click, c.bodyview,
             "This is what your body will look like in 8pt font. ");
    c.dispdate = check(printer, "Display Date", &LiveSettings::dispdate);
    c.dispname = check(printer, "Display Name of Site/Query", &LiveSettings::dispname);
    grid->addWidget(c.dispdate, at++, 0, 1, 2);
    grid->addWidget(c.dispname, at++, 0, 1, 2);
    grid->addWidget(button(printer, "Print Setup...", &SetupDialogLogic::BitBtn8Click), at, 0,
                    Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    v->addWidget(printer);
    v->addStretch();
    c.pages->addTab(page, "Printing");
  }

  const auto buttons = AddButtonRow(layout, this, {"OK", "Help", "Cancel"});
  QPushButton* ok = buttons[0];
  QPushButton* help_button = buttons[1];
  QPushButton* cancel = buttons[2];
  connect(ok, &QPushButton::clicked, this, [this] {
    if (logic_.BitBtn1Click())
      accept();
    else
      Refresh();
  });
  connect(help_button, &QPushButton::clicked, this,
          [this] { help_.ShowTopic(SetupDialogLogic::kHelpContext); });
  connect(cancel, &QPushButton::clicked, this, [this] {
    logic_.BitBtn3Click();
    reject();
  });
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tsetupform::Refresh() {
  Controls& c = *controls_;
  const LiveSettings& s = live_;
  QRadioButton* scope = c.none;
  switch (s.searchtype) {
    case SearchType::kNone:
      break;
    case SearchType::kDomain:
      scope = c.domain;
      break;
    case SearchType::kDirectory:
      scope = c.directory;
      break;
    case SearchType::kServer:
      scope = c.server;
      break;
    case SearchType::kFilter:
      scope = c.usefilter;
      break;
  }
  scope->setChecked(true);
  c.restrictlevelsdeep->setChecked(s.restrictlevelsdeep);
  c.restrictnumberoffiles->setChecked(s.restrictnumberoffiles);
  c.restrictdownloadsize->setChecked(s.restrictdownloadsize);
  DrawField(c.levels, s.levels);
  DrawField(c.filesrestriction, s.filesrestriction);
  DrawField(c.megrestriction, s.megrestriction);

  c.searchwithincomments->setChecked(s.searchwithincomments);
  c.searchwithinall->setChecked(s.searchwithinall);
  c.searchwithintitles->setChecked(s.searchwithintitles);
  c.userpass->setChecked(s.userpass);
  c.mailaddr->setChecked(s.mailaddr);
  c.ignorecgiscript->setChecked(s.ignorecgiscript);
  SetTextColor(c.exampletext, s.highlightcolor);
  c.highgraph->setChecked(s.highgraph);
  c.hightext->setChecked(s.hightext);

  if (c.typetoadd->text() != Latin1(s.typetoadd)) c.typetoadd->setText(Latin1(s.typetoadd));
  {
    const QSignalBlocker block(c.filetypes);
    c.filetypes->clear();
    for (const std::string& type : s.filetypes) c.filetypes->addItem(Latin1(type));
    c.filetypes->setCurrentRow(s.filetypesselected);
  }

  c.enableproxy->setChecked(s.enableproxy);
  DrawField(c.proxyserver, s.proxyserver);
  DrawField(c.proxyport, s.proxyport);
  DrawField(c.proxyusername, s.proxyusername);
  DrawField(c.proxypassword, s.proxypassword);
  DrawField(c.httptimeout, s.httptimeout);
  DrawField(c.slowtimeout, s.slowtimeout);
  {
    const QSignalBlocker block(c.webagentbox);
    c.webagentbox->setEditText(Latin1(s.webagentbox));
  }
  c.allowhttps->setChecked(s.allowhttps);

  for (auto [slider, value] :
       {std::pair{c.internalcachebar, s.internalcachebar}, std::pair{c.searchbar, s.searchbar},
        std::pair{c.querybar, s.querybar}}) {
    const QSignalBlocker block(slider);
    slider->setValue(value);
  }

  for (auto [label, record] : {std::pair{c.titleview, &logic_.titleview()},
                               std::pair{c.subtitleview, &logic_.subtitleview()},
                               std::pair{c.bodyview, &logic_.bodyview()}}) {
    if (record->name.empty()) continue;  // not previewed yet
    label->setFont(QtFont(*record));
    SetTextColor(label, record->color);
  }
  c.dispdate->setChecked(s.dispdate);
  c.dispname->setChecked(s.dispname);
}

void Tsetupform::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    logic_.FormShow();
    controls_->pages->setCurrentIndex(logic_.activepage());
    Refresh();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
  }
  QDialog::showEvent(event);
}

// OK, Cancel, Escape and the close box all end here.
void Tsetupform::done(int result) {
  logic_.FormClose();
  Refresh();
  QDialog::done(result);
}

}  // namespace ferrowyn::gui
