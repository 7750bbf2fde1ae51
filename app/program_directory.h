// The program directory, where "data" and "temp" live, and the folders of the program's
// own read-only files (help pages, tutorial).
#pragma once

#include <string>

namespace ferrowyn {

// Whether the executable in `executable_dir` is an installed copy: "../share/ferrowyn"
// beside its folder (the layout that `cmake --install` makes). Any thread.
bool IsInstalledCopy(const std::string& executable_dir);

// The folder `name` of the program's own files: "../share/ferrowyn/NAME" from the
// executable's folder in an installed copy, otherwise "NAME" beside the executable (the
// build folder). The folder need not exist. Any thread.
std::string ProgramFilesFolder(const std::string& executable_dir, const std::string& name);

// Where "data" and "temp" go for an executable in `executable_dir`: `per_user_dir` for an
// installed copy (so that it never writes beside its executable, whoever runs it) or when
// the executable's folder is not writable; otherwise the executable's folder. Any thread.
std::string ProgramDirectoryFor(const std::string& executable_dir, const std::string& per_user_dir);

// ProgramDirectoryFor() this executable and the per-user application data directory,
// created if it is the one chosen. Ends without a separator. Needs a QCoreApplication.
// Any thread.
std::string ProgramDirectory();

// ProgramFilesFolder() for this executable. Needs a QCoreApplication. Any thread.
std::string ProgramFilesFolder(const std::string& name);

}  // namespace ferrowyn
