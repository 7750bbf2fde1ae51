// Test helper: lays out an ad record in any of the client's formats, the older ones
// included, field by field, so tests and fixtures can hold records the tool must upgrade.
#pragma once

#include <cstdint>
#include <string>

#include "adpurge/records/ad_record.h"

namespace adpurge::testing {

// The record as the client wrote it in `format`. The fields are written as they stand:
// in formats 1 and 1000 `words[1]` must hold the exponent, and the fields a format lacks
// (the four timing fields before 2000, the last four values before 2000, both lists
// before 3000) are left out.
std::string AdRecordBytes(const AdRecord& record, std::uint16_t format);

}  // namespace adpurge::testing
