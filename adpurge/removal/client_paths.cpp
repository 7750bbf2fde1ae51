// Composing the client's folders, refusing names that would lead outside their own
// folder: the run deletes these folders with everything in them.
#include "adpurge/removal/client_paths.h"

namespace adpurge {
namespace {

std::optional<std::string> Join(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += '\\';
  path += name;
  if (path.size() >= kMaxPath) return std::nullopt;
  return path;
}

}  // namespace

bool IsPlainEntryName(std::string_view name) {
  if (name.empty()) return false;
  if (name.find_first_not_of(". ") == std::string_view::npos) return false;
  if (name.back() == '.' || name.back() == ' ') return false;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
    if (std::string_view("\\/:<>\"|?*").find(c) != std::string_view::npos) return false;
  }
  return true;
}

std::optional<ClientPaths> ClientFolders(std::string_view program_files) {
  ClientPaths paths;
  auto client = Join(program_files, "Pennaway");
  if (!client) return std::nullopt;
  auto courier = Join(*client, "AdCourier");
  if (!courier) return std::nullopt;
  auto profiles = Join(*courier, "Profiles");
  auto ads = Join(*courier, "Ads");
  if (!profiles || !ads) return std::nullopt;
  return ClientPaths{std::move(*client), std::move(*courier), std::move(*profiles),
                     std::move(*ads)};
}

std::optional<std::string> AppFolder(const ClientPaths& paths, std::string_view app_name) {
  if (!IsPlainEntryName(app_name)) return std::nullopt;
  return Join(paths.profiles, app_name);
}

std::optional<std::string> ChannelFolder(std::string_view app_folder, std::string_view user_name,
                                         std::string_view channel_id) {
  if (!IsPlainEntryName(user_name)) return std::nullopt;
  auto user = Join(app_folder, user_name);
  if (!user || channel_id.empty()) return user;
  std::string_view rest = channel_id.substr(1);
  if (!rest.empty() && !IsPlainEntryName(rest)) return std::nullopt;
  return Join(*user, rest);
}

}  // namespace adpurge
