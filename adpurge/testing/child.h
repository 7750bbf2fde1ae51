// Test support for adpurge's tests, in both builds: routines that a test runs in a second
// process of the same test program, and a scratch folder and object names of the test run.
//
// A child routine is registered with ADPURGE_CHILD(name) { ...; return exit_code; } at
// namespace scope and started with start_child("name", {args}); it runs in a fresh process of
// the test executable (under the same ADPURGE_ROOT in the POSIX build) and its return value is
// the process's exit code. Main thread only.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "adpurge/platform/platform.h"

namespace adpurge::testing {

using ChildMain = int (*)(const std::vector<std::string>& args);

// Registers a routine under `name`; returns true so that it can initialise a static.
bool register_child(const char* name, ChildMain routine);

// Starts the test program as a child running the routine `name` with `args`.
platform::Process start_child(const std::string& name, const std::vector<std::string>& args);

// Waits up to two minutes (a guard against a hung child, not a timing) and returns the exit
// code; a child that does not end by then is killed and reported as 0xFFFFFFFF.
std::uint32_t wait_child(platform::Process& child);

// A folder (Windows path) that exists for the whole test run and is removed afterwards;
// children get the same folder. Tests make their own subfolders in it.
std::string scratch_folder();

// A new, empty subfolder of the scratch folder, named after `stem`, for one test (another one
// on every call, so that repeated tests start clean).
std::string fresh_folder(const std::string& stem);

// `stem` made unique to this test run, for named objects ("adpurge-test-<id>-<stem>").
std::string unique_name(const std::string& stem);

// Dispatches to a child routine when the command line asks for one; otherwise nothing.
// Used by the test main only.
std::optional<int> run_child_if_asked(int argc, char** argv);

}  // namespace adpurge::testing

#define ADPURGE_CHILD_CONCAT2(a, b) a##b
#define ADPURGE_CHILD_CONCAT(a, b) ADPURGE_CHILD_CONCAT2(a, b)
#define ADPURGE_CHILD(name)                                                                   \
  static int ADPURGE_CHILD_CONCAT(adpurge_child_, name)(const std::vector<std::string>&);     \
  static const bool ADPURGE_CHILD_CONCAT(adpurge_child_registered_, name) =                   \
      ::adpurge::testing::register_child(#name, &ADPURGE_CHILD_CONCAT(adpurge_child_, name)); \
  static int ADPURGE_CHILD_CONCAT(adpurge_child_,                                             \
                                  name)([[maybe_unused]] const std::vector<std::string>& args)
