// The removal run: takes one application off the shared ad client and, when it was the
// last one, offers to remove the client itself. One thread, start to end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "adpurge/platform/platform.h"

namespace adpurge {

struct RunSettings {
  // How long a running client gets to end after it is asked to.
  std::uint32_t client_wait_ms = 60000;
  // The message boxes: an error (caption, text), and a question answered Yes or No.
  std::function<void(const std::string&, const std::string&)> show_error = platform::show_error;
  std::function<bool(const std::string&, const std::string&)> ask_yes_no = platform::ask_yes_no;
};

// Runs with the command line's tokens and returns the exit code: 0, or the RunError's
// value after its message (unless "-noerrorgui" is given). The registry keys and folders
// reached are only the ones named by the ad client's layout: an application name that
// could lead outside its own folder or key ends the run with the AppPath error before
// anything is changed.
int RunRemoval(const std::vector<std::string>& tokens, const RunSettings& settings = {});

}  // namespace adpurge
