// Built-in values of the live settings.
#include "app/live_settings.h"

namespace ferrowyn {

std::vector<std::string> BuiltInFileTypes() {
  return {".htm", ".html", ".shtml", ".shtm", ".txt", ".asp", ".stm"};
}

}  // namespace ferrowyn
