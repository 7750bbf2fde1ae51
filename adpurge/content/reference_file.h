// The reference file ("rc") of an ad's content folder: which versions of its piece and
// frame files are still needed, and by how many queued ads. Shared with the ad client: each
// operation opens the file for exclusive use and tries again at once while another process
// has it open. Nothing throws except std::bad_alloc.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace adpurge {

// An entry's kind: what its version counts references to.
enum class ReferenceKind : std::uint32_t { kPieces = 0, kFrames = 1 };

// Adds `delta` to the entry for (version, kind), never below 0; a missing entry is appended
// with the larger of delta and 0, and a missing file is created with that one entry (which
// fails when the content folder is missing). The entry's new count, or nothing when the
// file cannot be opened, is shorter than its entry count says, or cannot be written.
std::optional<std::int32_t> ChangeReference(const std::string& file, std::int32_t delta,
                                            std::uint32_t version, ReferenceKind kind);

// The entry's count: 0 when the entry or the file is missing; nothing when the file cannot
// be opened or is shorter than its entry count says.
std::optional<std::int32_t> ReferenceCount(const std::string& file, std::uint32_t version,
                                           ReferenceKind kind);

// The sum of the entries' counts, negative counts taken as 0 (they hold nothing): 0 when
// the file is missing; nothing when it cannot be opened or is shorter than it says.
std::optional<std::int64_t> ReferenceTotal(const std::string& file);

}  // namespace adpurge
