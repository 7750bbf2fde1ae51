// Ad records in the client's formats, written independently of the tool's writer.
#include "tests/support/adpurge/old_ad_records.h"

namespace adpurge::testing {
namespace {

void Put(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

void PutString(std::string& out, const std::string& text) {
  out += text;
  out.push_back('\0');
}

}  // namespace

std::string AdRecordBytes(const AdRecord& r, std::uint16_t format) {
  const bool early = format == 1 || format == 1000;
  std::string out;
  Put(out, r.ad_number, 4);
  Put(out, r.key, 4);
  for (auto w : r.words) Put(out, w, 4);
  for (const auto& s : r.names) PutString(out, s);
  Put(out, r.version_a, 4);
  Put(out, r.version_b, 4);
  for (const auto& s : r.texts) PutString(out, s);
  if (!early) {
    Put(out, r.timing_word1, 4);
    Put(out, r.timing_value1, 2);
    Put(out, r.timing_value2, 2);
    Put(out, r.timing_word2, 4);
  }
  Put(out, r.part_codes.size(), 1);
  for (auto c : r.part_codes) Put(out, c, 1);
  Put(out, r.frames.size(), 1);
  for (const auto& f : r.frames) {
    Put(out, f.lead[0], 1);
    Put(out, f.lead[1], 1);
    Put(out, f.head_values.size(), 1);
    Put(out, f.head_tail, 1);
    for (auto v : f.head_values) Put(out, v, 2);
  }
  for (const auto& f : r.frames) {
    out += f.narrow_blocks;
    Put(out, f.narrow_end, 1);
  }
  for (const auto& f : r.frames) out += f.wide_blocks;
  Put(out, r.a1, 1);
  Put(out, r.a2, 1);
  for (int i = 0; i < (early ? 6 : 10); ++i) Put(out, r.values[i], 2);
  if (format == kCurrentAdFormat) {
    Put(out, r.list1.size(), 1);
    for (auto w : r.list1) Put(out, w, 4);
    Put(out, r.list2.size(), 1);
    for (auto w : r.list2) Put(out, w, 4);
  }
  return out;
}

}  // namespace adpurge::testing
