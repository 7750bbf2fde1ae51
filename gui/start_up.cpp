// Start-up with the splash window around the making of the windows.
#include "gui/start_up.h"

#include "gui/welcome.h"

namespace ferrowyn::gui {

std::unique_ptr<Program> StartProgram(
    const std::function<std::unique_ptr<Program>()>& make_windows) {
  Twelcome splash;
  splash.ShowNow();
  std::unique_ptr<Program> program = make_windows();
  splash.hide();
  return program;
}

}  // namespace ferrowyn::gui
