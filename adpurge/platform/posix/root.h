// The POSIX build's root folder (ADPURGE_ROOT) and how Windows paths map into it:
// "X:\a\b" is <root>/x/a/b, the registry roots are <root>/registry/HKLM and .../HKCU.
#pragma once

#include <optional>
#include <string>

namespace adpurge::platform::posix {

// The root as an absolute native path, or empty when ADPURGE_ROOT is unset or not a folder.
// Read once per process.
const std::string& root();

// The native path of a Windows path (made full first); nothing without a root, for a path
// that is not on a drive ("\\server\share") or holds a character the mapping cannot carry.
std::optional<std::string> native_path(const std::string& windows_path);

// A native absolute path ("/usr/bin/x", without "\\") as given, otherwise native_path. Only
// for what is read or started, never for what is written: programs built beside the tests.
std::optional<std::string> native_program_path(const std::string& program);

}  // namespace adpurge::platform::posix
