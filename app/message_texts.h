// Pieces of the messages the site and query file commands show: a name in double quotes
// and the file name of a path.
#pragma once

#include <filesystem>
#include <string>

namespace ferrowyn {

// `text` between double quotes: "name". Pure; throws only std::bad_alloc.
inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The last part of `path`, without its directory. Pure; throws only std::bad_alloc.
inline std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

}  // namespace ferrowyn
