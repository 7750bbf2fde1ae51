// ferrowyn-dialog-pictures DIR: writes PNG pictures of the setup dialog's pages and
// of the other dialogs into DIR, for scripts/screenshots.sh.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "gui/dialog_screenshots.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Castrel");
  QApplication::setApplicationName("Ferrowyn");
  if (argc != 2) {
    std::fprintf(stderr, "usage: ferrowyn-dialog-pictures DIR\n");
    return 2;
  }
  const QString directory = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(directory) || !ferrowyn::gui::SaveDialogScreenshots(directory)) {
    std::fprintf(stderr, "ferrowyn-dialog-pictures: cannot write the pictures into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
