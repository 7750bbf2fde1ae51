// Start-up of the desktop program. The search center is not built yet; until it
// is, the program shows a window that says so.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Castrel");
  QApplication::setApplicationName("Ferrowyn");
  QLabel window("Ferrowyn\n\nThe search center is not built yet.\n"
                "ferrowyn-cli offers what the engine can do today.");
  window.setAlignment(Qt::AlignCenter);
  window.setWindowTitle("Ferrowyn");
  window.resize(480, 200);
  window.show();
  return app.exec();
}
