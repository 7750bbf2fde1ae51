// ferrowyn-cli given what is not a regular file (a FIFO, a directory, a link loop, a file
// larger than any page): every command refuses it at once with a clear message and exit 1.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcessEnvironment>
#include <QStringList>
#include <string>

#include "tests/support/process_runner.h"
#include "tests/support/qdb_test_files.h"

namespace ferrowyn {
namespace {

using ferrowyn::testing::ProcessResult;
using ferrowyn::testing::ScratchDir;

TEST(SpecialFiles, EveryCommandRefusesWhatIsNotARegularFileWithoutWaiting) {
  ScratchDir dir;
  const std::string fifo = dir.File("pipe.fwb");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string report = dir.File("pipe.fwq");
  ASSERT_EQ(::mkfifo(report.c_str(), 0600), 0);
  const std::string folder = dir.File("folder.fwb");
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  const std::string loop = dir.File("loop.fwb");
  ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
  // Sparse: one byte more than the largest page a command reads.
  const std::string huge = dir.File("huge.htm");
  ferrowyn::testing::WriteFileBytes(huge, "");
  ASSERT_EQ(::truncate(huge.c_str(), (off_t{64} << 20) + 1), 0);

  QProcessEnvironment env;
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.File("config")));
  const auto refused = [&](const std::string& command, const std::string& path,
                           const std::string& why) {
    return "ferrowyn-cli " + command + ": \"" + path + "\" " + why + "\n";
  };
  const struct {
    QStringList args;
    std::string err;
  } cases[] = {
      {{"store", "ls", fifo.c_str()}, refused("store", fifo, "is a FIFO, not a regular file")},
      {{"store", "cat", folder.c_str(), "k"},
       refused("store", folder, "is a directory, not a regular file")},
      {{"store", "rm", loop.c_str(), "k"},
       refused("store", loop, "cannot be examined: Too many levels of symbolic links")},
      {{"show", fifo.c_str(), "http://a/"}, refused("show", fifo, "is a FIFO, not a regular file")},
      {{"site", fifo.c_str()}, refused("site", fifo, "is a FIFO, not a regular file")},
      {{"query", folder.c_str(), "word"},
       refused("query", folder, "is a directory, not a regular file")},
      {{"links", "http://a/", folder.c_str()},
       refused("links", folder, "is a directory, not a regular file")},
      {{"links", "http://a/", fifo.c_str()},
       refused("links", fifo, "is a FIFO, not a regular file")},
      {{"links", "http://a/", huge.c_str()},
       refused("links", huge, "holds more than 67108864 bytes, more than is read")},
      {{"report", report.c_str()},
       "Cannot open file \"" + report + "\". It is not a regular file.\n"},
  };
  for (const auto& c : cases) {
    const ProcessResult result =
        ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, c.args, {}, env, 20000);
    EXPECT_EQ(result.status, 1) << c.args.join(' ').toStdString();
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.out, "");
  }
  struct stat st;
  ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
}  // namespace ferrowyn
