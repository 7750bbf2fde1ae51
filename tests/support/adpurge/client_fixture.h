// Test helper: lays out a whole ad client installation through the platform layer (the
// registry roots, the client's folders, profile folders with Pending and Done queues,
// shared content folders with reference files, the core files) and removes it again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "adpurge/records/ad_record.h"

namespace adpurge::testing {

struct QueuedAd {
  AdRecord record;
  std::uint16_t format = kCurrentAdFormat;  // the layout it is stored in
};

struct FixtureApp {
  std::string name;
  std::string channel_id{};  // empty: no "ChannelID" value
  std::vector<QueuedAd> pending{};
  std::vector<QueuedAd> done{};
  bool pending_queue = true;  // false: no Pending files at all
  bool done_queue = true;
};

struct Reference {
  std::int32_t count;
  std::uint32_t version;
  std::uint32_t kind;  // 0 pieces, 1 frames
};

// Folders and keys as the removal tool finds them. The destructor deletes everything the
// fixture may have made, so that tests in one process start clean.
class ClientFixture {
 public:
  ClientFixture();
  ~ClientFixture();
  ClientFixture(const ClientFixture&) = delete;
  ClientFixture& operator=(const ClientFixture&) = delete;

  const std::string& client() const { return client_; }
  const std::string& courier() const { return courier_; }
  const std::string& profiles() const { return profiles_; }
  const std::string& ads() const { return ads_; }
  const std::string& windows() const { return windows_; }
  std::string AppFolder(const std::string& app) const { return profiles_ + "\\" + app; }
  // Where the app's queues are: the user folder, or below it for a channel identifier of
  // two or more characters.
  std::string QueueFolder(const FixtureApp& app) const;

  // Registrations in both roots (channel, client, start-up), its profile and queues.
  void AddApp(const FixtureApp& app);
  // The maker's keys in both roots, the Run value and the three files in the Windows folder.
  void AddCore();
  // The content files of `ad` (every frame and piece file) and, unless nothing, its
  // reference file holding `references`.
  void AddContent(const AdRecord& ad, const std::optional<std::vector<Reference>>& references);
  // Copies the built test client into the AdCourier folder as "PwAdBot.exe".
  void InstallTestClient();

  static std::string ReferenceBytes(const std::vector<Reference>& references);
  // A queue database holding `ads` as live records of type 1, keys from 1.
  static void WriteQueue(const std::string& name, const std::vector<QueuedAd>& ads);

 private:
  std::string client_, courier_, profiles_, ads_, windows_, user_;
};

// A record with `frames` frames of the given piece counts and the given part codes.
AdRecord MakeAd(std::uint32_t number, std::uint32_t version_a, std::uint32_t version_b,
                std::vector<std::uint8_t> part_codes, const std::vector<int>& pieces);

// Whole-file helpers over the platform layer; ReadAll gives nothing for a missing file.
void WriteAll(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadAll(const std::string& path);
// Names in a folder, sorted; folders end in "\".
std::vector<std::string> ListNames(const std::string& folder);
// Creates the folder and its missing parents.
void MakeFolders(const std::string& folder);

}  // namespace adpurge::testing
