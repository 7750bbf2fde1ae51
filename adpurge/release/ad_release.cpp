// The release step: per queued ad, decide from the reference file which piece and frame
// files may go, then clean up its content folder.
#include "adpurge/release/ad_release.h"

#include <optional>
#include <string_view>

#include "adpurge/content/content_names.h"
#include "adpurge/content/file_removal.h"
#include "adpurge/content/reference_file.h"
#include "adpurge/platform/platform.h"
#include "adpurge/qdb/queue_db.h"
#include "adpurge/records/ad_record.h"
#include "adpurge/records/ad_record_converter.h"

namespace adpurge {
namespace {

namespace pf = adpurge::platform;

struct MayGo {
  bool pieces = false;
  bool frames = false;
};

std::optional<AdRecord> RecordOf(const qdb::WalkRecord& walked) {
  const std::string_view bytes(reinterpret_cast<const char*>(walked.bytes.data()),
                               walked.bytes.size());
  return ReadAdRecord(bytes, walked.entry.format());
}

// A queued ad still to be shown holds its content: files go only when no count holds them.
MayGo PendingMayGo(const AdRecord& ad, const std::string& rc) {
  const bool uses_pieces = ad.a1 != 0 || ad.a2 != 0 || ad.a3() != 0 || ad.a4() != 0;
  MayGo go;
  go.pieces = uses_pieces && ReferenceCount(rc, ad.version_a, ReferenceKind::kPieces) == 0;
  go.frames = ReferenceCount(rc, ad.version_b, ReferenceKind::kFrames) == 0;
  return go;
}

// A shown ad gives its references back.
MayGo DoneMayGo(const AdRecord& ad, const std::string& rc) {
  MayGo go;
  go.pieces = ChangeReference(rc, -1, ad.version_a, ReferenceKind::kPieces) == 0;
  go.frames = ChangeReference(rc, -1, ad.version_b, ReferenceKind::kFrames) == 0;
  return go;
}

void CleanUp(const AdRecord& ad, const std::string& ads, MayGo go) {
  if (ReferenceTotal(ReferenceFileName(ads, ad.ad_number)) == 0) {
    DeleteFolderTree(ContentFolder(ads, ad.ad_number));
    return;
  }
  for (int f = 1; f <= static_cast<int>(ad.frames.size()); ++f) {
    if (go.frames) DeleteFileRetrying(FrameFileName(ads, ad.ad_number, f, ad.version_b));
    if (!go.pieces) continue;
    for (std::uint8_t code : ad.part_codes) {
      for (int j = 1; j <= ad.frames[f - 1].Pieces(); ++j) {
        DeleteFileRetrying(PieceFileName(ads, ad.ad_number, code, f, j, ad.version_a));
      }
    }
  }
}

bool OpenQueue(qdb::QueueDb& db, const std::string& folder, const char* name, const char* backup) {
  const std::string queue = folder + "\\" + name;
  if (db.Open(queue, ConvertAdRecord)) return true;
  // The client's own fallbacks, kept as it has them: a plain file with the queue's name.
  if (pf::file_exists(queue)) {
    pf::set_attributes_normal(queue);
    if (db.Open(queue, ConvertAdRecord)) return true;
  }
  const std::string plain_backup = folder + "\\" + backup;
  if (!pf::file_exists(plain_backup)) return false;
  pf::copy_file(plain_backup, queue);
  return db.Open(queue, ConvertAdRecord);
}

}  // namespace

void ReleaseQueues(const std::string& channel_folder, const std::string& ads_folder) {
  struct Queue {
    const char* name;
    const char* backup;
    MayGo (*may_go)(const AdRecord&, const std::string&);
  };
  const Queue queues[] = {{"Pending", "Pending1", PendingMayGo}, {"Done", "Done1", DoneMayGo}};
  for (const Queue& queue : queues) {
    qdb::QueueDb db;
    if (!OpenQueue(db, channel_folder, queue.name, queue.backup)) continue;
    db.Walk(
        [&](qdb::WalkRecord& walked) {
          const auto ad = RecordOf(walked);
          if (!ad) return;
          const MayGo go = queue.may_go(*ad, ReferenceFileName(ads_folder, ad->ad_number));
          CleanUp(*ad, ads_folder, go);
        },
        qdb::kAllTypes, qdb::kLiveEntries);
    db.Close();
  }
}

}  // namespace adpurge
