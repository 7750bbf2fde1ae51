// The statistics labels of a crawl read back as numbers: the kilobyte and file limits
// tested before a page is stored, and the page counter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ferrowyn {

// The download restrictions of one worker, copied from the live settings at its start.
struct DownloadLimits {
  bool LimitKBytes = false;
  std::int64_t MaxKBytes = 0;
  bool LimitFiles = false;
  std::int64_t MaxFiles = 0;
};

// Adds a page of `LastBytes` bytes to the kilobyte label `bytestran` (kilobytes of 1000
// bytes, written with at most two decimals, further digits cut off, trailing zeros
// dropped: "12.3", "7") and tells whether the run may go on: false when the kilobyte
// limit is on and the total as written reaches it, or the file limit is on and `numproc`
// (pages counted so far) reaches it. A label that does not hold a number is left as it
// is and never stops the run. Pure apart from `bytestran`; never throws but bad_alloc.
bool CheckDownloadLimits(std::string& bytestran, const std::string& numproc,
                         std::uint64_t LastBytes, const DownloadLimits& limits);

// One more page in the `numproc` label; unchanged when it does not hold a number.
void CountPageLabel(std::string& numproc);

}  // namespace ferrowyn
