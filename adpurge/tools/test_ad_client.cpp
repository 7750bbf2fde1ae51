// A stand-in for the ad client "PwAdBot.exe", for tests: it holds the client's mutex for
// its life, ends when the kill event is signalled, and appends "start <pid>" and
// "end <pid>" lines to PwAdBot.log in the AdCourier folder, beside itself.
#include <string>

#include "adpurge/platform/platform.h"

namespace pf = adpurge::platform;

namespace {

// Longest life without a kill request, so that a test that forgets it leaves nothing behind.
constexpr std::uint32_t kLifeMs = 10 * 60 * 1000;

void Log(const std::string& word) {
  // The AdCourier folder as adpurge finds it, where tests install this program (the POSIX
  // build knows its own path only natively).
  const std::string log =
      pf::reg_get_string(pf::RegRoot::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                         "ProgramFilesDir")
          .value_or("c:\\Program Files") +
      "\\Pennaway\\AdCourier\\PwAdBot.log";
  pf::Opened opened =
      pf::open_file(log, pf::kRead | pf::kWrite, pf::kShareRead, pf::Disposition::kOpenAlways);
  if (opened.error != pf::FileError::kNone) return;
  const std::string line = word + " " + std::to_string(pf::current_process_id()) + "\r\n";
  opened.file.write_at(opened.file.size().value_or(0), line.data(), line.size());
  opened.file.close();
}

}  // namespace

int main() {
  if (!pf::unavailable_reason().empty()) return 2;
  pf::Created mutex = pf::create_mutex("Pennaway Ad Client", true);
  if (!mutex.handle.valid()) return 3;
  // Another client runs: wait for its end, as a second copy of the real one would.
  if (mutex.existed && pf::wait_one(mutex.handle, kLifeMs).status == pf::WaitStatus::kTimeout) {
    return 4;
  }
  pf::Created kill = pf::create_event("Pennaway Kill Ad Client", false, false);
  Log("start");
  pf::wait_one(kill.handle, kLifeMs);
  Log("end");
  pf::release_mutex(mutex.handle);
  return 0;
}
