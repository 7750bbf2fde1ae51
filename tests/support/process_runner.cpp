// Child-process runner for the command tests.
#include "tests/support/process_runner.h"

#include <QProcess>

namespace ferrowyn::testing {

ProcessResult RunProcess(const QString& program, const QStringList& args, const std::string& input,
                         const QProcessEnvironment& environment, int timeout_ms) {
  QProcess process;
  QProcessEnvironment merged = QProcessEnvironment::systemEnvironment();
  merged.insert(environment);
  process.setProcessEnvironment(merged);
  process.start(program, args);
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

}  // namespace ferrowyn::testing
