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

// As RunProcess, with no input, but the child may write files of at most `file_size_limit`
// bytes (RLIMIT_FSIZE; a write past it fails with EFBIG rather than killing the child), and
// its standard output goes to the file `output_file` when one is named (`out` stays empty).
// Stands in for a full disk without touching one.
ProcessResult RunProcessWithFileLimit(const QString& program, const QStringList& args,
                                      const QProcessEnvironment& environment, long file_size_limit,
                                      const QString& output_file = {});

// The id of a process that has just ended (and been reaped), for names of a gone process.
int EndedProcessId();

}  // namespace ferrowyn::testing
