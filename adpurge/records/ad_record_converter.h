// The record converter the queue database runs over every record when it first loads a
// queue: older ad records are rewritten in the current format.
#pragma once

#include <cstdint>
#include <vector>

#include "adpurge/qdb/qdb_format.h"

namespace adpurge {

// Rewrites `record` in the current format and sets the entry's format version (its high 16
// bits stay). False, changing nothing, when the record is current or cannot be read.
bool ConvertAdRecord(std::vector<std::uint8_t>& record, qdb::IndexEntry& entry);

}  // namespace adpurge
