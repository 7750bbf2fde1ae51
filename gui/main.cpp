// Start-up of the desktop program: the single-instance guard, then the windows in
// their fixed order, then the message loop. A failure while the windows are made,
// or one that escapes the message loop, ends the program with a message.
#include <QApplication>
#include <cstdio>
#include <exception>

#include "app/program_directory.h"
#include "gui/help_window.h"
#include "gui/main_window.h"
#include "gui/program.h"
#include "gui/program_pictures.h"
#include "gui/qt_user_port.h"
#include "gui/single_instance.h"
#include "gui/start_up.h"

namespace {

constexpr char kCannotStart[] =
    "Ferrowyn! is unable to start due to system difficulties. Please restart your computer.";
constexpr char kUnrecoverable[] =
    "Ferrowyn! has encountered an unrecoverable error during operation. Please restart.";

// Any failure that a command lets escape ends the program with its message rather
// than unwinding through Qt's event loop, which does not carry exceptions.
class FerrowynApplication : public QApplication {
 public:
  using QApplication::QApplication;
  ferrowyn::UserPort* port = nullptr;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      Fail(error.what());
    } catch (...) {
      Fail("unknown error");
    }
    return false;
  }

 private:
  [[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "ferrowyn: %s\n", what);
    if (port != nullptr) port->Error(kUnrecoverable);
    std::_Exit(1);
  }
};

}  // namespace

int main(int argc, char** argv) {
  FerrowynApplication app(argc, argv);
  // The application's name before any window: the settings, the guard's socket
  // and the desktop's grouping of the windows all go by it.
  QApplication::setOrganizationName(QStringLiteral("Castrel"));
  QApplication::setApplicationName(QStringLiteral("Ferrowyn"));
  QGuiApplication::setDesktopFileName(QStringLiteral("ferrowyn"));
  QApplication::setWindowIcon(ferrowyn::gui::ProgramIcon());

  ferrowyn::gui::SingleInstanceGuard guard;
  if (!guard.Claim()) return 0;

  ferrowyn::gui::QtUserPort port;
  app.port = &port;
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);

  std::unique_ptr<ferrowyn::gui::Program> program;
  try {
    program = ferrowyn::gui::StartProgram([&] {
      return std::make_unique<ferrowyn::gui::Program>(
          port, ferrowyn::SettingsStore(), ferrowyn::ProgramDirectory(), std::move(arguments),
          ferrowyn::gui::HelpWindow::DefaultHelpDirectory());
    });
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ferrowyn: %s\n", error.what());
    port.Error(kCannotStart);
    return 1;
  }

  ferrowyn::gui::MainWindow& window = program->window();
  port.SetOwner(&window);
  port.SetHelpWindow(&program->help());  // the login and filter dialogs' Help buttons
  QObject::connect(&guard, &ferrowyn::gui::SingleInstanceGuard::activationRequested, &window,
                   &ferrowyn::gui::MainWindow::BringForward);
  // Closing the main window ends the program, whatever other window is open.
  QObject::connect(&window, &ferrowyn::gui::MainWindow::closed, &app, &QApplication::quit,
                   Qt::QueuedConnection);
  window.show();
  const int result = app.exec();
  port.SetOwner(nullptr);
  return result;
}
