// The program's start-up between the single-instance guard and the message loop:
// the splash window first, then the windows, then the splash goes.
#pragma once

#include <functional>
#include <memory>

#include "gui/program.h"

namespace ferrowyn::gui {

// Shows and paints the splash window, runs `make_windows`, then hides and releases
// the splash, also when `make_windows` throws (which this passes on). GUI thread only.
std::unique_ptr<Program> StartProgram(
    const std::function<std::unique_ptr<Program>()>& make_windows);

}  // namespace ferrowyn::gui
