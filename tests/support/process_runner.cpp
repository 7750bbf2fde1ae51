// Child-process runner for the command tests.
#include "tests/support/process_runner.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>

namespace ferrowyn::testing {

namespace {

ProcessResult Finish(QProcess& process, const std::string& input, int timeout_ms) {
  ProcessResult result;
  if (!process.waitForStarted(timeout_ms)) return result;
  process.write(input.data(), static_cast<qint64>(input.size()));
  process.closeWriteChannel();
  if (!process.waitForFinished(timeout_ms)) {
    process.kill();
    process.waitForFinished();
    return result;
  }
  if (process.exitStatus() == QProcess::NormalExit) result.status = process.exitCode();
  result.out = process.readAllStandardOutput().toStdString();
  result.err = process.readAllStandardError().toStdString();
  return result;
}

}  // namespace

ProcessResult RunProcess(const QString& program, const QStringList& args, const std::string& input,
                         const QProcessEnvironment& environment, int timeout_ms) {
  QProcess process;
  QProcessEnvironment merged = QProcessEnvironment::systemEnvironment();
  merged.insert(environment);
  process.setProcessEnvironment(merged);
  process.start(program, args);
  return Finish(process, input, timeout_ms);
}

ProcessResult RunProcessWithFileLimit(const QString& program, const QStringList& args,
                                      const QProcessEnvironment& environment, long file_size_limit,
                                      const QString& output_file) {
  QProcess process;
  QProcessEnvironment merged = QProcessEnvironment::systemEnvironment();
  merged.insert(environment);
  process.setProcessEnvironment(merged);
  if (!output_file.isEmpty()) process.setStandardOutputFile(output_file);
  process.setChildProcessModifier([file_size_limit] {
    const rlimit limit{static_cast<rlim_t>(file_size_limit), static_cast<rlim_t>(file_size_limit)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, SIG_IGN);  // an ignored signal stays ignored across exec
  });
  process.start(program, args);
  return Finish(process, {}, 30000);
}

int EndedProcessId() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return static_cast<int>(child);
}

}  // namespace ferrowyn::testing
