// Where an installed copy and a build-folder copy find their files and write their own.
#include "app/program_directory.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace ferrowyn {
namespace {

TEST(ProgramDirectoryTest, AnInstalledCopyReadsFromShareAndWritesOnlyPerUser) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const std::string top = QDir::cleanPath(root.path()).toStdString();
  const std::string bin = top + "/usr/bin";
  const std::string per_user = top + "/home/.local/share/Castrel/Ferrowyn";
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(bin)));

  // The build folder: everything beside the executable, which is writable.
  EXPECT_FALSE(IsInstalledCopy(bin));
  EXPECT_EQ(ProgramFilesFolder(bin, "help"), bin + "/help");
  EXPECT_EQ(ProgramDirectoryFor(bin, per_user), bin);

  // Installed: the pages under share/ferrowyn, and nothing written beside the executable
  // even though its folder is writable.
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(top + "/usr/share/ferrowyn")));
  EXPECT_TRUE(IsInstalledCopy(bin));
  EXPECT_EQ(ProgramFilesFolder(bin, "help"), top + "/usr/share/ferrowyn/help");
  EXPECT_EQ(ProgramFilesFolder(bin, "tutorial"), top + "/usr/share/ferrowyn/tutorial");
  EXPECT_EQ(ProgramDirectoryFor(bin, per_user), per_user);
}

}  // namespace
}  // namespace ferrowyn
