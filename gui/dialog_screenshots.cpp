// Pictures of the dialogs for the documentation, made on a scratch settings
// store so that the user's own settings are neither shown nor changed.
#include "gui/dialog_screenshots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "app/setup_dialog_logic.h"
#include "gui/filter_dialog.h"
#include "gui/help_window.h"
#include "gui/login_dialog.h"
#include "gui/please_wait.h"
#include "gui/qt_user_port.h"
#include "gui/setup_form.h"

namespace ferrowyn::gui {

namespace {

bool Save(QWidget& window, const QDir& directory, const QString& name) {
  window.show();
  QApplication::processEvents();
  return window.grab().save(directory.filePath(name + ".png"), "PNG");
}

}  // namespace

bool SaveDialogScreenshots(const QString& directory) {
  const QDir out(directory);
  QTemporaryDir scratch;
  if (!scratch.isValid()) return false;
  bool saved = true;

  QtUserPort port;
  const SettingsStore store(scratch.filePath("Ferrowyn.ini").toStdString());
  LiveSettings live;
  SearchFields search;
  SetupDialogLogic logic(store, scratch.filePath("program").toStdString(), live, search, port);
  logic.FormClose();  // the defaults, as at the first start
  HelpWindow help(HelpWindow::DefaultHelpDirectory(), port);

  {
    Tsetupform setup(logic, live, help);
    setup.show();
    const char* names[] = {"setup-1-restrictions", "setup-2-options", "setup-3-advanced",
                           "setup-4-internet",     "setup-5-system",  "setup-6-printing"};
    for (int page = 0; page < setup.pages()->count(); ++page) {
      setup.pages()->setCurrentIndex(page);
      saved = Save(setup, out, names[page]) && saved;
    }
    setup.hide();
  }
  {
    Tpassdialog login(port, &help);
    saved = Save(login, out, "login") && saved;
  }
  {
    Tfilterdialog filter(port, &help);
    saved = Save(filter, out, "filter") && saved;
  }
  {
    PleaseWaitWindow wait("Saving...",
                          "Ferrowyn! is now saving the current site. Depending on the size of "
                          "your site, this process may take a few minutes.",
                          100, nullptr);
    wait.SetProgress(55);
    saved = Save(wait, out, "please-wait") && saved;
  }
  {
    // A question without a close box, pictured while it waits for its answer.
    QTimer::singleShot(0, [&] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        saved = Save(*box, out, "message") && saved;
        for (QAbstractButton* button : box->findChildren<QAbstractButton*>())
          if (button->text().remove('&') == "No") button->click();
      }
    });
    port.ShowMessage({MessageKind::kWarning,
                      "Warning! The site which you are trying to delete is currently open.  "
                      "Are you sure you wish to continue?",
                      MessageButtons::kYesNo, false, Answer::kNo});
  }
  {
    // The font dialog of the Printing page's Set... buttons.
    QTimer::singleShot(0, [&] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        saved = Save(*dialog, out, "font") && saved;
        dialog->reject();
      }
    });
    port.ChooseFont(FontRecord{"Times New Roman", 12, {0x80, 0x00, 0x00}, kFontBold});
  }
  if (help.ShowTopic(SetupDialogLogic::kHelpContext)) saved = Save(help, out, "help") && saved;
  help.hide();
  return saved;
}

}  // namespace ferrowyn::gui
