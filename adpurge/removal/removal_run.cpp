// The main sequence of the removal run, over the platform layer.
#include "adpurge/removal/removal_run.h"

#include <optional>

#include "adpurge/content/file_removal.h"
#include "adpurge/platform/platform.h"
#include "adpurge/release/ad_release.h"
#include "adpurge/removal/client_paths.h"
#include "adpurge/removal/command_line.h"
#include "adpurge/removal/run_errors.h"

namespace adpurge {
namespace {

namespace pf = adpurge::platform;
using pf::RegRoot;

const std::string kMakerKey = "SOFTWARE\\Pennaway, Inc.";
const std::string kChannelsKey = kMakerKey + "\\AdCourier\\Channels";
const std::string kClientsKey = kMakerKey + "\\PwAdBot\\Clients";
const std::string kBootstrapKey = kMakerKey + "\\Bootstrap";
const std::string kRunKey = "Software\\MicroSoft\\Windows\\CurrentVersion\\Run";
const std::string kRunValue = "Pennaway Ad Client";
const std::string kClientMutex = "Pennaway Ad Client";
const std::string kKillEvent = "Pennaway Kill Ad Client";
const char* const kCoreFiles[] = {"PWAd.dll", "PcNetDetect.dll", "VcpDLL.dll"};

std::string ProgramFilesFolder() {
  auto value = pf::reg_get_string(
      RegRoot::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
  return value ? *value : "c:\\Program Files";
}

// Deletes the key with every key below it; a key that cannot be opened is left alone.
bool DeleteKeyTree(RegRoot root, const std::string& key) {
  if (!pf::reg_key_exists(root, key)) return false;
  while (auto sub = pf::reg_subkey(root, key, 0)) {
    if (!DeleteKeyTree(root, key + "\\" + *sub)) break;
  }
  return pf::reg_delete_key(root, key);
}

std::uint32_t CountSubfolders(const std::string& folder) {
  std::uint32_t count = 0;
  if (auto entries = pf::list_folder(folder)) {
    for (const auto& entry : *entries) count += entry.is_folder ? 1 : 0;
  }
  return count;
}

// Asks a running client to end and gives it the settings' time to do so.
void StopClient(const RunSettings& settings) {
  pf::Created mutex = pf::create_mutex(kClientMutex, true);
  bool owned = mutex.handle.valid() && !mutex.existed;
  if (mutex.handle.valid() && mutex.existed) {
    pf::Created kill = pf::create_event(kKillEvent, false, false);
    pf::set_event(kill.handle);
    const pf::WaitStatus status = pf::wait_one(mutex.handle, settings.client_wait_ms).status;
    owned = status == pf::WaitStatus::kSignaled || status == pf::WaitStatus::kAbandoned;
  }
  // Released before closing, so that a client started later does not find it abandoned.
  if (owned) pf::release_mutex(mutex.handle);
}

void CreateFolderPath(const std::string& folder) {
  for (std::size_t cut = folder.find('\\'); cut != std::string::npos;
       cut = folder.find('\\', cut + 1)) {
    if (cut > 0 && folder[cut - 1] != ':') pf::create_folder(folder.substr(0, cut));
  }
  pf::create_folder(folder);
}

void RestartClient(const ClientPaths& paths) {
  CreateFolderPath(paths.courier);
  pf::start_process(paths.courier + "\\PwAdBot.exe", {});
}

bool CorePresent(const ClientPaths& paths, const std::string& windows) {
  if (pf::folder_exists(paths.client)) return true;
  if (pf::reg_key_exists(RegRoot::kCurrentUser, kMakerKey)) return true;
  if (pf::reg_key_exists(RegRoot::kLocalMachine, kMakerKey)) return true;
  if (pf::reg_value_exists(RegRoot::kLocalMachine, kRunKey, kRunValue)) return true;
  for (const char* file : kCoreFiles) {
    if (pf::file_exists(windows + "\\" + file)) return true;
  }
  return false;
}

void DeleteCore(const ClientPaths& paths, const std::string& windows) {
  DeleteFolderTree(paths.client);
  DeleteKeyTree(RegRoot::kCurrentUser, kMakerKey);
  DeleteKeyTree(RegRoot::kLocalMachine, kMakerKey);
  pf::reg_delete_value(RegRoot::kLocalMachine, kRunKey, kRunValue);
  for (const char* file : kCoreFiles) pf::delete_file(windows + "\\" + file);
}

int Fail(RunError error, const Options& options, const RunSettings& settings) {
  if (!options.no_error_gui) settings.show_error("Error", RunErrorMessage(error));
  return static_cast<int>(error);
}

}  // namespace

int RunRemoval(const std::vector<std::string>& tokens, const RunSettings& settings) {
  const Options options = ReadOptions(tokens);
  if (!options.app_name) return Fail(RunError::kNoAppName, options, settings);
  const std::string& app = *options.app_name;

  // Every folder below hangs off the application folder or the client's fixed ones, so a
  // name that cannot make a folder of its own is refused before anything is touched.
  const std::optional<ClientPaths> paths = ClientFolders(ProgramFilesFolder());
  const std::optional<std::string> app_folder =
      paths ? AppFolder(*paths, app) : std::optional<std::string>();
  if (!app_folder) return Fail(RunError::kNoAppPath, options, settings);

  StopClient(settings);

  const std::string channel_key = kChannelsKey + "\\" + app;
  const auto channel_id = pf::reg_get_string(RegRoot::kLocalMachine, channel_key, "ChannelID", 256);
  const auto channel_folder =
      ChannelFolder(*app_folder, pf::user_name().value_or("DfltUser"), channel_id.value_or(""));
  if (channel_folder) ReleaseQueues(*channel_folder, paths->ads);

  DeleteFolderTree(*app_folder);
  const std::uint32_t profiles = CountSubfolders(paths->profiles);

  DeleteKeyTree(RegRoot::kLocalMachine, channel_key);
  const std::uint32_t channels = pf::reg_count_subkeys(RegRoot::kLocalMachine, kChannelsKey);

  DeleteKeyTree(RegRoot::kLocalMachine, kClientsKey + "\\" + app);
  const std::uint32_t machine_clients = pf::reg_count_subkeys(RegRoot::kLocalMachine, kClientsKey);
  DeleteKeyTree(RegRoot::kCurrentUser, kClientsKey + "\\" + app);
  const std::uint32_t user_clients = pf::reg_count_subkeys(RegRoot::kCurrentUser, kClientsKey);

  DeleteKeyTree(RegRoot::kCurrentUser, kBootstrapKey + "\\" + app);

  if (machine_clients > 0 || channels > 0 || user_clients > 0 || profiles > 0) {
    RestartClient(*paths);
    return 0;
  }
  const std::string windows = pf::windows_folder();
  if (!CorePresent(*paths, windows)) return 0;
  const bool remove_core =
      options.dont_ask ||
      settings.ask_yes_no("Question",
                          "No other AdCourier applications detected.\n\nDelete core files?");
  if (remove_core) {
    DeleteCore(*paths, windows);
  } else {
    RestartClient(*paths);
  }
  return 0;
}

}  // namespace adpurge
