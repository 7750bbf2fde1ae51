// ferrowyn-cli's private scratch directory: gone when a run is ended by SIGTERM or SIGINT,
// and, after a run that was killed outright, removed by the next run's start.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/http_test_server.h"
#include "tests/support/process_runner.h"

namespace ferrowyn {
namespace {

namespace fs = std::filesystem;
using ferrowyn::testing::HttpTestServer;
using ferrowyn::testing::ScriptedResponse;

std::vector<std::string> Entries(const QTemporaryDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path().toStdString()))
    names.push_back(entry.path().filename().string());
  return names;
}

QProcessEnvironment Environment(const QTemporaryDir& temp, const QTemporaryDir& config) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("TMPDIR", temp.path());
  env.insert("XDG_CONFIG_HOME", config.path());
  env.insert("HOME", config.path());
  return env;
}

TEST(CliPrivateDirectory, SigtermAndSigintEndARunAndRemoveItsDirectory) {
  HttpTestServer server;
  server.SetFallback(ScriptedResponse::Status(200, "OK").Send("<html>").Stall());
  QTemporaryDir temp, config;
  std::size_t connections = 0;
  for (const int signal : {SIGTERM, SIGINT}) {
    QProcess run;
    run.setProcessEnvironment(Environment(temp, config));
    run.start(FERROWYN_CLI_PATH, {"crawl", QString::fromStdString(server.Url("/"))});
    ASSERT_TRUE(run.waitForStarted(20000));
    // The run has made its directory and is waiting for the stalled page.
    ++connections;
    ASSERT_TRUE(HttpTestServer::WaitFor([&] { return server.ConnectionCount() == connections; },
                                        std::chrono::seconds(20)));
    const std::vector<std::string> entries = Entries(temp);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].starts_with("ferrowyn-cli-" + std::to_string(run.processId()) + "-"))
        << entries[0];

    ::kill(static_cast<pid_t>(run.processId()), signal);
    ASSERT_TRUE(run.waitForFinished(20000));
    EXPECT_EQ(run.exitStatus(), QProcess::CrashExit) << "ended by the signal";
    EXPECT_EQ(Entries(temp), std::vector<std::string>{});
  }
}

TEST(CliPrivateDirectory, AStartRemovesTheDirectoriesOfRunsThatAreGone) {
  QTemporaryDir temp, config, elsewhere;
  const fs::path root = temp.path().toStdString();
  const std::string gone = std::to_string(ferrowyn::testing::EndedProcessId());
  const std::string running = std::to_string(::getppid());
  for (const std::string& name :
       {"ferrowyn-cli-" + gone + "-a1b2c3", "ferrowyn-cli-" + running + "-a1b2c3",
        std::string("ferrowyn-cli-a1b2c3")}) {
    fs::create_directory(root / name);
    std::ofstream(root / name / "temp.fwt") << "scratch";
  }
  // A link by a stale name is never followed into what it points at.
  const fs::path kept = fs::path(elsewhere.path().toStdString()) / "kept.txt";
  std::ofstream(kept) << "kept";
  fs::create_directory_symlink(elsewhere.path().toStdString(),
                               root / ("ferrowyn-cli-" + gone + "-d4e5f6"));

  const auto result = ferrowyn::testing::RunProcess(
      FERROWYN_CLI_PATH, {"store", "ls", QString::fromStdString((root / "none.QDB").string())}, {},
      Environment(temp, config), 20000);
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(fs::exists(root / ("ferrowyn-cli-" + gone + "-a1b2c3")));
  EXPECT_TRUE(fs::exists(root / ("ferrowyn-cli-" + running + "-a1b2c3") / "temp.fwt"));
  EXPECT_TRUE(fs::exists(root / "ferrowyn-cli-a1b2c3" / "temp.fwt"));
  EXPECT_TRUE(fs::exists(kept));
}

}  // namespace
}  // namespace ferrowyn
