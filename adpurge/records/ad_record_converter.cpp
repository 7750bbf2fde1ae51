// Bridges the queue database's record hook to the ad record upgrade.
#include "adpurge/records/ad_record_converter.h"

#include <string>
#include <string_view>

#include "adpurge/records/ad_record.h"

namespace adpurge {

bool ConvertAdRecord(std::vector<std::uint8_t>& record, qdb::IndexEntry& entry) {
  std::string upgraded;
  std::uint32_t format_word = entry.word[3];
  const std::string_view bytes(reinterpret_cast<const char*>(record.data()), record.size());
  if (!UpgradeAdRecord(bytes, &format_word, &upgraded)) return false;
  record.assign(upgraded.begin(), upgraded.end());
  entry.word[3] = format_word;
  return true;
}

}  // namespace adpurge
