// The hourglass cursor of the program's windows: a scoped one for work done inside
// one call, and one that follows the controller's cursor state across calls.
#pragma once

#include "app/search_center_state.h"

namespace ferrowyn::gui {

// Shows the hourglass over the whole application while it lives; the cursor before
// it comes back on every way out of the scope, exceptions included. GUI thread only.
class HourglassCursor {
 public:
  HourglassCursor();
  ~HourglassCursor();
  HourglassCursor(const HourglassCursor&) = delete;
  HourglassCursor& operator=(const HourglassCursor&) = delete;
};

// Shows the cursor that the controller's state names: the hourglass from the moment
// the state says so until it says "normal" again, however many calls lie between.
// Holds at most one override of its own; gives it back when destroyed. GUI thread only.
class CursorFollower {
 public:
  CursorFollower() = default;
  ~CursorFollower();
  CursorFollower(const CursorFollower&) = delete;
  CursorFollower& operator=(const CursorFollower&) = delete;

  void Show(Cursor cursor);
  bool hourglass() const { return overridden_; }

 private:
  bool overridden_ = false;
};

}  // namespace ferrowyn::gui
