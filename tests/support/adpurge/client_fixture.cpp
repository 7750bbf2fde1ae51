// A client installation for tests, laid out through the platform layer so that the same
// code builds it natively (under ADPURGE_ROOT) and under Wine.
#include "tests/support/adpurge/client_fixture.h"

#include <algorithm>
#include <stdexcept>

#include "adpurge/content/content_names.h"
#include "adpurge/content/file_removal.h"
#include "adpurge/platform/platform.h"
#include "adpurge/qdb/qdb_format.h"
#include "tests/support/adpurge/old_ad_records.h"

namespace adpurge::testing {
namespace {

namespace pf = adpurge::platform;
using pf::RegRoot;

const std::string kMaker = "SOFTWARE\\Pennaway, Inc.";
const std::string kRunKey = "Software\\MicroSoft\\Windows\\CurrentVersion\\Run";

void Require(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error("fixture: " + what);
}

void DeleteKeys(RegRoot root, const std::string& key) {
  while (auto sub = pf::reg_subkey(root, key, 0)) {
    const std::size_t before = pf::reg_count_subkeys(root, key);
    DeleteKeys(root, key + "\\" + *sub);
    if (pf::reg_count_subkeys(root, key) == before) break;
  }
  pf::reg_delete_key(root, key);
}

void SealDigest(std::vector<std::uint8_t>& file) {
  const auto field = qdb::DigestField(qdb::FileDigest(file));
  std::copy(field.begin(), field.end(), file.begin() + qdb::kDigestOffset);
}

std::string AsString(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

void WriteAll(const std::string& path, const std::string& bytes) {
  pf::Opened opened =
      pf::open_file(path, pf::kRead | pf::kWrite, pf::kShareNone, pf::Disposition::kCreateAlways);
  Require(opened.error == pf::FileError::kNone, "cannot create " + path);
  const bool written = opened.file.write_at(0, bytes.data(), bytes.size());
  Require(opened.file.close() && written, "cannot write " + path);
}

std::optional<std::string> ReadAll(const std::string& path) {
  pf::Opened opened = pf::open_file(path, pf::kRead, pf::kShareRead | pf::kShareWrite,
                                    pf::Disposition::kOpenExisting);
  if (opened.error != pf::FileError::kNone) return std::nullopt;
  std::string bytes(opened.file.size().value_or(0), '\0');
  Require(opened.file.read_at(0, bytes.data(), bytes.size()) == bytes.size(),
          "cannot read " + path);
  return bytes;
}

std::vector<std::string> ListNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : pf::list_folder(folder).value_or(std::vector<pf::FolderEntry>{})) {
    names.push_back(entry.name + (entry.is_folder ? "\\" : ""));
  }
  std::sort(names.begin(), names.end());
  return names;
}

void MakeFolders(const std::string& folder) {
  for (std::size_t cut = folder.find('\\'); cut != std::string::npos;
       cut = folder.find('\\', cut + 1)) {
    if (cut > 0 && folder[cut - 1] != ':') pf::create_folder(folder.substr(0, cut));
  }
  Require(pf::create_folder(folder), "cannot create " + folder);
}

AdRecord MakeAd(std::uint32_t number, std::uint32_t version_a, std::uint32_t version_b,
                std::vector<std::uint8_t> part_codes, const std::vector<int>& pieces) {
  AdRecord ad;
  ad.ad_number = number;
  ad.words = {1, 1u << 14, 3, 4};
  ad.names = {"banner", "en"};
  ad.version_a = version_a;
  ad.version_b = version_b;
  ad.texts = {"http://ads.example/" + std::to_string(number), "", "k1", "k2"};
  ad.timing_word1 = 60;
  ad.timing_value1 = 5;
  ad.timing_value2 = 6;
  ad.timing_word2 = 7;
  ad.part_codes = std::move(part_codes);
  const std::size_t parts = ad.part_codes.size();
  for (int count : pieces) {
    AdFrame frame;
    frame.lead = {0x10, 0x20};
    frame.head_tail = 0x30;
    frame.head_values.assign(count, 0x0102);
    frame.narrow_blocks.assign(count * parts, 'n');
    frame.narrow_end = 0x40;
    frame.wide_blocks.assign(2 * count * parts, 'w');
    ad.frames.push_back(std::move(frame));
  }
  ad.a1 = 1;
  ad.values = {0, 0, 3, 4, 5, 6, 7, 8, 9, 10};
  ad.list1 = {2};
  ad.list2 = {0};
  return ad;
}

ClientFixture::ClientFixture() {
  const std::string program_files =
      pf::reg_get_string(RegRoot::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                         "ProgramFilesDir")
          .value_or("c:\\Program Files");
  client_ = program_files + "\\Pennaway";
  courier_ = client_ + "\\AdCourier";
  profiles_ = courier_ + "\\Profiles";
  ads_ = courier_ + "\\Ads";
  windows_ = pf::windows_folder();
  user_ = pf::user_name().value_or("DfltUser");
  MakeFolders(profiles_);
  MakeFolders(ads_);
}

ClientFixture::~ClientFixture() {
  DeleteFolderTree(client_);
  DeleteKeys(RegRoot::kLocalMachine, kMaker);
  DeleteKeys(RegRoot::kCurrentUser, kMaker);
  pf::reg_delete_value(RegRoot::kLocalMachine, kRunKey, "Pennaway Ad Client");
  for (const char* file : {"PWAd.dll", "PcNetDetect.dll", "VcpDLL.dll"}) {
    pf::delete_file(windows_ + "\\" + file);
  }
}

std::string ClientFixture::QueueFolder(const FixtureApp& app) const {
  std::string folder = AppFolder(app.name) + "\\" + user_;
  if (app.channel_id.size() > 1) folder += "\\" + app.channel_id.substr(1);
  return folder;
}

void ClientFixture::AddApp(const FixtureApp& app) {
  const std::string channel = kMaker + "\\AdCourier\\Channels\\" + app.name;
  Require(pf::reg_create_key(RegRoot::kLocalMachine, channel), "channel key");
  if (!app.channel_id.empty()) {
    Require(pf::reg_set_string(RegRoot::kLocalMachine, channel, "ChannelID", app.channel_id),
            "channel id");
  }
  for (RegRoot root : {RegRoot::kLocalMachine, RegRoot::kCurrentUser}) {
    const std::string client = kMaker + "\\PwAdBot\\Clients\\" + app.name;
    Require(pf::reg_set_string(root, client + "\\Options", "Shown", "3"), "client key");
  }
  Require(
      pf::reg_set_string(RegRoot::kCurrentUser, kMaker + "\\Bootstrap\\" + app.name, "Run", "1"),
      "bootstrap key");
  const std::string queues = QueueFolder(app);
  MakeFolders(queues);
  if (app.pending_queue) WriteQueue(queues + "\\Pending", app.pending);
  if (app.done_queue) WriteQueue(queues + "\\Done", app.done);
}

void ClientFixture::AddCore() {
  for (RegRoot root : {RegRoot::kLocalMachine, RegRoot::kCurrentUser}) {
    Require(pf::reg_set_string(root, kMaker, "Version", "4.1"), "maker key");
  }
  Require(pf::reg_set_string(RegRoot::kLocalMachine, kRunKey, "Pennaway Ad Client",
                             courier_ + "\\PwAdBot.exe"),
          "run value");
  MakeFolders(windows_);
  for (const char* file : {"PWAd.dll", "PcNetDetect.dll", "VcpDLL.dll"}) {
    WriteAll(windows_ + "\\" + file, file);
  }
}

void ClientFixture::AddContent(const AdRecord& ad,
                               const std::optional<std::vector<Reference>>& references) {
  MakeFolders(ContentFolder(ads_, ad.ad_number));
  for (int f = 1; f <= static_cast<int>(ad.frames.size()); ++f) {
    WriteAll(FrameFileName(ads_, ad.ad_number, f, ad.version_b), "frame");
    for (std::uint8_t code : ad.part_codes) {
      for (int j = 1; j <= ad.frames[f - 1].Pieces(); ++j) {
        WriteAll(PieceFileName(ads_, ad.ad_number, code, f, j, ad.version_a), "piece");
      }
    }
  }
  if (references) WriteAll(ReferenceFileName(ads_, ad.ad_number), ReferenceBytes(*references));
}

void ClientFixture::InstallTestClient() {
  const std::string self = pf::current_program();
  const std::size_t cut = self.find_last_of("\\/");
  const std::string target = courier_ + "\\PwAdBot.exe";
  MakeFolders(courier_);
#ifdef _WIN32
  const std::string built = self.substr(0, cut + 1) + "test_ad_client.exe";
#else
  const std::string built = self.substr(0, cut + 1) + "test_ad_client";
#endif
  const bool copied = pf::copy_file(built, target) == pf::FileError::kNone;
  Require(copied, "cannot install the test client from " + built);
}

std::string ClientFixture::ReferenceBytes(const std::vector<Reference>& references) {
  std::vector<std::uint8_t> bytes;
  qdb::AppendLe32(bytes, static_cast<std::uint32_t>(references.size()));
  for (const Reference& r : references) {
    qdb::AppendLe32(bytes, static_cast<std::uint32_t>(r.count));
    qdb::AppendLe32(bytes, r.version);
    qdb::AppendLe32(bytes, r.kind);
  }
  return AsString(bytes);
}

void ClientFixture::WriteQueue(const std::string& name, const std::vector<QueuedAd>& ads) {
  std::vector<std::uint8_t> data = qdb::NewFileHeader(qdb::kDataMarker);
  std::vector<std::uint8_t> index = qdb::NewFileHeader(qdb::kIndexMarker);
  std::uint32_t key = 1;
  for (const QueuedAd& queued : ads) {
    AdRecord record = queued.record;
    record.key = key;
    const std::string bytes = AdRecordBytes(record, queued.format);
    qdb::IndexEntry entry;
    entry.word = {key++,
                  1,
                  qdb::kLive,
                  queued.format,
                  static_cast<std::uint32_t>(bytes.size()),
                  static_cast<std::uint32_t>(data.size())};
    const auto stored = qdb::StoredRecord(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    data.insert(data.end(), stored.begin(), stored.end());
    qdb::AppendEntry(index, entry);
  }
  index.resize(index.size() + qdb::kEntrySize, 0);
  SealDigest(data);
  SealDigest(index);
  WriteAll(name + ".cdb", AsString(data));
  WriteAll(name + ".idx", AsString(index));
}

}  // namespace adpurge::testing
