// Runs a program of ours (ferrowyn-cli) as a child process for the command tests:
// arguments, bytes on standard input, extra environment; collects both outputs.
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <string>

namespace ferrowyn::testing {

struct ProcessResult {
  int status = -1;  // exit status; -1 when the process did not start or finish in time
  std::string out;
  std::string err;
};

// `environment` is added on top of this process's own environment. A process
// still running after `timeout_ms` is killed.
ProcessResult RunProcess(const QString& program, const QStringList& args,
                         const std::string& input = {}, const QProcessEnvironment& environment = {},
                         int timeout_ms = 30000);

}  // namespace ferrowyn::testing
