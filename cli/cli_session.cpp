// The headless main window of ferrowyn-cli's commands.
#include "cli/cli_session.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <stdexcept>

#include "app/program_directory.h"
#include "app/quill_encryption.h"

namespace ferrowyn::cli {

// The main window a command left to the end of the program, held where a leak checker still
// finds it (a global the compiler cannot drop, as it could one of this file alone).
Tsearchmain* main_window_left_to_exit = nullptr;

CliSession::CliSession(const std::string& command, CliUserPortOptions port_options,
                       THttpCli::Maker makeclient)
    : port_(std::move(port_options)) {
  try {
    TQuillEncryption scrambler;
    scrambler.Key = kSetupScramblerKey;
    loadregistrydefaults(SettingsStore(), ProgramDirectory(), live_, fields_, scrambler);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ferrowyn-cli %s: the settings could not be read: %s\n", command.c_str(),
                 error.what());
  }
  directory_ = scratch_.path();
  // The run's history entries go to a store in memory that ends with the run: the user's
  // settings are never written, and a query or crawl never waits for a disk to take them.
  main_ = std::make_unique<Tsearchmain>(port_, SettingsStore::InMemory(), directory_, live_,
                                        operations_, std::vector<std::string>{}, makeclient);
  main_->state().fields.URL.items = fields_.URL.items;
  main_->state().fields.querysearch.items = fields_.querysearch.items;
}

CliSession::~CliSession() {
  if (main_) DiscardScratchStores();
}

void CliSession::DiscardScratchStores() {
  // The scratch stores live in the private directory, which goes with the session: they
  // are dropped rather than written back. A store saved or opened elsewhere closes as
  // usual.
  const std::string inside = directory_ + "/";
  for (TQDB* store : {&main_->QDB(), &main_->urldb()}) {
    if (store->FileName().starts_with(inside)) store->Discard();
  }
}

void CliSession::LeaveMainWindowToExit() {
  DiscardScratchStores();
  main_->QDB().SetFileName("");
  main_->urldb().SetFileName("");
  main_window_left_to_exit = main_.release();
}

void CliSession::RunUntil(const std::function<bool()>& done) {
  // Sleeps in the event loop until something happens; the tick only makes sure that a
  // condition which changed without an event of its own is seen soon.
  QTimer tick;
  tick.start(50);
  QEventLoop loop;
  while (!done()) loop.processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace ferrowyn::cli
