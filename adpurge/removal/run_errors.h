// The four ways a removal run ends early, with the exit codes and messages that
// uninstallers see.
#pragma once

namespace adpurge {

enum class RunError : int {
  kNoAppName = -1,      // no application name on the command line
  kNoAppPath = -2,      // the application folder cannot be determined (or the name is refused)
  kNoProfilePath = -3,  // the profiles folder cannot be determined
  kNoClientPath = -4,   // the client's own folder cannot be determined
};

// "No AppName specified", "Couldn't Determine the AppPath", ... exactly as shown.
const char* RunErrorMessage(RunError error);

}  // namespace adpurge
