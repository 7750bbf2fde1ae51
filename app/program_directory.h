// The program directory, where "data" and "temp" live.
#pragma once

#include <string>

namespace ferrowyn {

// The executable's directory when it is writable; otherwise (an installed copy)
// the per-user application data directory, created if missing. Ends without a
// separator. Needs a QCoreApplication. Any thread.
std::string ProgramDirectory();

}  // namespace ferrowyn
