// The program's own help window (first outline).
#include "gui/help_window.h"

#include <QCoreApplication>
#include <QDir>

namespace ferrowyn::gui {

HelpWindow::HelpWindow(QString help_directory, UserPort& port, QWidget* parent)
    : QWidget(parent), help_directory_(std::move(help_directory)), port_(port) {}

bool HelpWindow::ShowTopic(int) { return false; }

QString HelpWindow::DefaultHelpDirectory() {
  return QDir(QCoreApplication::applicationDirPath()).filePath("help");
}

QString HelpWindow::TopicPath(int context) const {
  return QDir(help_directory_).filePath(QString::number(context) + ".htm");
}

void HelpWindow::UpdateButtons() {}

}  // namespace ferrowyn::gui
