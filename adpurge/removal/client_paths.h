// The client's folders, composed from the program files folder, the application name,
// the user name and the channel identifier. Pure text work; the run reads the inputs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace adpurge {

// Paths reaching this length cannot be determined.
inline constexpr std::size_t kMaxPath = 260;

// True when `name` names one entry inside its parent folder or key and nothing else:
// not empty, not made of dots and blanks only, no "\", "/", ":", no character that a
// Windows file name cannot hold (< > " | ? *), no control character, and no trailing
// dot or blank (Windows drops those, so "App." would be the folder of "App").
bool IsPlainEntryName(std::string_view name);

struct ClientPaths {
  std::string client;    // program files + "\Pennaway" (the core folder)
  std::string courier;   // client + "\AdCourier"
  std::string profiles;  // courier + "\Profiles"
  std::string ads;       // courier + "\Ads"
};

// The fixed folders under `program_files`; empty when one would reach kMaxPath.
std::optional<ClientPaths> ClientFolders(std::string_view program_files);

// profiles + "\" + app name; empty when the name is not a plain entry name or the
// folder would reach kMaxPath.
std::optional<std::string> AppFolder(const ClientPaths& paths, std::string_view app_name);

// The folder holding the application's Pending and Done queues: app folder + "\" + user
// name, then + "\" + the channel identifier without its first character when the
// identifier is not empty. A one-character identifier gives the user folder plus a
// backslash. Empty when the user name or the rest of the identifier could reach outside
// (a rest may be empty but otherwise follows IsPlainEntryName), or the folder would
// reach kMaxPath.
std::optional<std::string> ChannelFolder(std::string_view app_folder, std::string_view user_name,
                                         std::string_view channel_id);

}  // namespace adpurge
