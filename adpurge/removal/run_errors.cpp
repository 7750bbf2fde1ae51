// Messages of the run's fatal errors.
#include "adpurge/removal/run_errors.h"

namespace adpurge {

const char* RunErrorMessage(RunError error) {
  switch (error) {
    case RunError::kNoAppName:
      return "No AppName specified";
    case RunError::kNoAppPath:
      return "Couldn't Determine the AppPath";
    case RunError::kNoProfilePath:
      return "Couldn't Determine the ProfilePath";
    case RunError::kNoClientPath:
      return "Couldn't Determine the PWPath";
  }
  return "";
}

}  // namespace adpurge
