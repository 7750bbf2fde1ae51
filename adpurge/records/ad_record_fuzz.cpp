// Fuzz target for the ad record reader: 2 bytes little-endian give the format, the rest is
// the record. A record that reads must write back in the current layout and read again to
// the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "adpurge/records/ad_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const auto format = static_cast<std::uint16_t>(data[0] | data[1] << 8);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  const auto record = adpurge::ReadAdRecord(bytes, format);
  if (!record) return 0;
  const std::string written = adpurge::WriteAdRecord(*record);
  const auto again = adpurge::ReadAdRecord(written, adpurge::kCurrentAdFormat);
  if (!again || adpurge::WriteAdRecord(*again) != written) std::abort();
  return 0;
}
