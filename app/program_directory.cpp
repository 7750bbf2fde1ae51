// Finding the program directory.
#include "app/program_directory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ferrowyn {

std::string ProgramDirectory() {
  const QString beside = QCoreApplication::applicationDirPath();
  if (!beside.isEmpty() && QFileInfo(beside).isWritable())
    return QDir::cleanPath(beside).toStdString();
  const QString per_user = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  QDir().mkpath(per_user);
  return QDir::cleanPath(per_user).toStdString();
}

}  // namespace ferrowyn
