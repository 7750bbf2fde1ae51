// The single-instance guard: a second start of the program reaches the first copy
// and ends; a socket left by a killed copy does not block the next start.
#include "gui/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstring>

namespace ferrowyn::gui {
namespace {

// Local sockets live in the temporary directory; each test gets one of its own.
class SingleInstanceTest : public ::testing::Test {
 protected:
  SingleInstanceTest() : saved_(qgetenv("TMPDIR")) { qputenv("TMPDIR", dir_.path().toLocal8Bit()); }
  ~SingleInstanceTest() override { qputenv("TMPDIR", saved_); }

  QTemporaryDir dir_;
  QByteArray saved_;
};

TEST_F(SingleInstanceTest, ASecondStartOfTheProgramAsksTheFirstToComeForwardAndEnds) {
  SingleInstanceGuard first;
  ASSERT_TRUE(first.Claim());
  QSignalSpy asked(&first, &SingleInstanceGuard::activationRequested);

  QProcess second;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("TMPDIR", dir_.path());
  environment.insert("XDG_CONFIG_HOME",
                     dir_.path());  // should it start, not in the user's settings
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  second.setProcessEnvironment(environment);
  const QString program = qEnvironmentVariable("FERROWYN_PROGRAM");
  ASSERT_FALSE(program.isEmpty());
  second.start(program, {});
  ASSERT_TRUE(second.waitForStarted());
  // The request arrives while this copy's event loop runs.
  ASSERT_TRUE(asked.wait(30000));
  const bool ended = second.waitForFinished(30000);
  if (!ended) second.kill();
  ASSERT_TRUE(ended);
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
}

TEST_F(SingleInstanceTest, ASocketLeftByAKilledCopyDoesNotBlockTheNextStart) {
  // What a killed copy leaves: a bound socket file with nobody listening.
  const QByteArray path =
      QDir(dir_.path()).filePath(SingleInstanceGuard::DefaultName()).toLocal8Bit();
  const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(stale, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ::close(stale);

  SingleInstanceGuard next;
  EXPECT_TRUE(next.Claim());
  // And it serves the start after it.
  SingleInstanceGuard later;
  EXPECT_FALSE(later.Claim());
}

}  // namespace
}  // namespace ferrowyn::gui
