// A headless main window for one ferrowyn-cli command: the user's live settings (read,
// never written back), a private program directory for the scratch stores, the histories
// in memory, the command's user port and the controller over them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/live_settings.h"
#include "app/search_center.h"
#include "app/search_operations.h"
#include "app/settings_operations.h"
#include "cli/cli_private_directory.h"
#include "cli/cli_user_port.h"

namespace ferrowyn::cli {

// Main thread only; lives for one command. The controller's "temp" and "data"
// directories are inside the private directory, so two commands at once, or a command
// beside the program, never share a scratch store; the directory goes with the session.
class CliSession {
 public:
  // `command` names the command in messages on standard error. A settings store that
  // cannot be read is reported there and the defaults are used. Throws
  // std::system_error when no private directory can be made. A command that retrieves
  // pages passes the maker of its clients (MakeHttpClient); the readers pass none, so
  // that they link no network code.
  CliSession(const std::string& command, CliUserPortOptions port_options,
             THttpCli::Maker makeclient = nullptr);
  ~CliSession();

  // The live settings: a command overrides them for its run before starting it.
  LiveSettings& live() { return live_; }
  // The URL and keyword histories as read from the user's settings.
  const SearchFields& fields() const { return fields_; }
  CliUserPort& port() { return port_; }
  Tsearchmain& main() { return *main_; }
  const std::string& directory() const { return directory_; }

  // Serves the event loop until `done` answers true.
  void RunUntil(const std::function<bool()>& done);

  // Ends the session of a command that has only read, with its workers ended: the stores
  // are closed and the private directory goes as at destruction, but the main window with
  // its lists and models is left for the end of the program to free (a large results list
  // costs more to take apart than the rest of the command's end). Throws the site store's
  // error when closing it fails. Nothing of the session may be used afterwards.
  void LeaveMainWindowToExit();

 private:
  void DiscardScratchStores();

  LiveSettings live_;
  SearchFields fields_;
  PrivateDirectory scratch_;
  std::string directory_;
  CliUserPort port_;
  SearchOperations operations_;
  std::unique_ptr<Tsearchmain> main_;
};

}  // namespace ferrowyn::cli
