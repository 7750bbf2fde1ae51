// The two build wizards: Basic Build (`Tbasicbuildform`) retrieves a site; Build and
// Query (`Tbasicqueryform`) retrieves it and queries each page as it arrives. Page 1
// takes the URL (and the keywords), page 2 the restriction, page 3 the depth, mail
// capture and the site login; the final button starts the crawl from the main window.
#pragma once

#include "gui/task_wizard.h"
#include "gui/wizard_controls.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace ferrowyn::gui {

// GUI thread only; see TaskWizard for ownership.
class BuildWizard : public TaskWizard {
  Q_OBJECT

 protected:
  BuildWizard(bool withquery, Tsearchmain& main, SearchOperations& operations, QWidget* mainwindow);

 private:
  void BuildFirstPage();
  void BuildRestrictionPage();
  void BuildOptionsPage();
  // The restriction, the check boxes and the fields as the live settings have them.
  void Preset();
  void EnableFields();
  SearchType Restriction() const;
  void NextFromFirstPage();
  void NextFromRestrictionPage();
  void FerrowynClick();

  const bool withquery_;
  QComboBox* url_ = nullptr;
  QComboBox* querysearch_ = nullptr;
  QueryOptions options_;
  QRadioButton* none_ = nullptr;
  QRadioButton* usefilter_ = nullptr;
  QRadioButton* directory_ = nullptr;
  QRadioButton* domain_ = nullptr;
  QRadioButton* server_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QLineEdit* levels_ = nullptr;
  QCheckBox* mailaddr_ = nullptr;
  QCheckBox* userpass_ = nullptr;
  QLineEdit* username_ = nullptr;
  QLineEdit* password_ = nullptr;
};

// "Basic Build Wizard".
class Tbasicbuildform : public BuildWizard {
  Q_OBJECT

 public:
  Tbasicbuildform(Tsearchmain& main, SearchOperations& operations, QWidget* mainwindow)
      : BuildWizard(false, main, operations, mainwindow) {}
};

// "Build and Query Wizard".
class Tbasicqueryform : public BuildWizard {
  Q_OBJECT

 public:
  Tbasicqueryform(Tsearchmain& main, SearchOperations& operations, QWidget* mainwindow)
      : BuildWizard(true, main, operations, mainwindow) {}
};

}  // namespace ferrowyn::gui
