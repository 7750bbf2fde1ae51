// Finding the program directory and the program's own files.
#include "app/program_directory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ferrowyn {

namespace {

QString Installed(const std::string& executable_dir) {
  return QDir::cleanPath(QString::fromStdString(executable_dir) + "/../share/ferrowyn");
}

}  // namespace

bool IsInstalledCopy(const std::string& executable_dir) {
  return !executable_dir.empty() && QFileInfo(Installed(executable_dir)).isDir();
}

std::string ProgramFilesFolder(const std::string& executable_dir, const std::string& name) {
  const QString base = IsInstalledCopy(executable_dir) ? Installed(executable_dir)
                                                       : QString::fromStdString(executable_dir);
  return QDir::cleanPath(base + "/" + QString::fromStdString(name)).toStdString();
}

std::string ProgramDirectoryFor(const std::string& executable_dir,
                                const std::string& per_user_dir) {
  const QString beside = QString::fromStdString(executable_dir);
  if (!beside.isEmpty() && !IsInstalledCopy(executable_dir) && QFileInfo(beside).isWritable())
    return QDir::cleanPath(beside).toStdString();
  return QDir::cleanPath(QString::fromStdString(per_user_dir)).toStdString();
}

std::string ProgramDirectory() {
  const std::string beside = QCoreApplication::applicationDirPath().toStdString();
  const QString per_user = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  const std::string chosen = ProgramDirectoryFor(beside, per_user.toStdString());
  if (chosen != QDir::cleanPath(QString::fromStdString(beside)).toStdString())
    QDir().mkpath(QString::fromStdString(chosen));
  return chosen;
}

std::string ProgramFilesFolder(const std::string& name) {
  return ProgramFilesFolder(QCoreApplication::applicationDirPath().toStdString(), name);
}

}  // namespace ferrowyn
