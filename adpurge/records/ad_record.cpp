// Ad record layouts: the current one (3000) and the older ones (1, 1000, 2000 and any
// other), read with every length checked against the bytes at hand.
#include "adpurge/records/ad_record.h"

#include <cstddef>

namespace adpurge {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }

  std::uint8_t U8() {
    if (!Have(1)) return 0;
    return static_cast<std::uint8_t>(bytes_[pos_++]);
  }
  std::int8_t S8() { return static_cast<std::int8_t>(U8()); }
  std::uint16_t U16() {
    std::uint16_t low = U8();
    return static_cast<std::uint16_t>(low | (U8() << 8));
  }
  std::uint32_t U32() {
    std::uint32_t low = U16();
    return low | (static_cast<std::uint32_t>(U16()) << 16);
  }
  std::string Bytes(std::size_t count) {
    if (!Have(count)) return {};
    std::string out(bytes_.substr(pos_, count));
    pos_ += count;
    return out;
  }
  // A string up to its zero byte, which is consumed but not kept.
  std::string String() {
    std::size_t end = bytes_.find('\0', pos_);
    if (!ok_ || end == std::string_view::npos) {
      ok_ = false;
      return {};
    }
    std::string out(bytes_.substr(pos_, end - pos_));
    pos_ = end + 1;
    return out;
  }

 private:
  bool Have(std::size_t count) {
    if (ok_ && count <= bytes_.size() - pos_) return true;
    ok_ = false;
    return false;
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

class Writer {
 public:
  void U8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void Bytes(std::string_view bytes) { out_.append(bytes); }
  void String(std::string_view text) {
    // A zero byte inside would end the string early on the next read.
    out_.append(text.substr(0, text.find('\0')));
    out_.push_back('\0');
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

std::vector<std::uint32_t> ReadList(Reader& in) {
  const int count = in.S8();
  std::vector<std::uint32_t> list;
  for (int i = 0; i < count && in.ok(); ++i) list.push_back(in.U32());
  return list;
}

}  // namespace

std::optional<AdRecord> ReadAdRecord(std::string_view bytes, std::uint16_t format) {
  const bool exponent_form = format == 1 || format == 1000;
  const bool known_old = exponent_form || format == 2000;
  Reader in(bytes);
  AdRecord r;
  r.ad_number = in.U32();
  r.key = in.U32();
  for (auto& w : r.words) w = in.U32();
  if (exponent_form) r.words[1] = 1u << ((17u - r.words[1]) & 31u);
  for (auto& s : r.names) s = in.String();
  r.version_a = in.U32();
  r.version_b = in.U32();
  for (auto& s : r.texts) s = in.String();
  if (!exponent_form) {
    r.timing_word1 = in.U32();
    r.timing_value1 = in.U16();
    r.timing_value2 = in.U16();
    r.timing_word2 = in.U32();
  }
  const int part_count = in.S8();
  for (int i = 0; i < part_count && in.ok(); ++i) r.part_codes.push_back(in.U8());
  const int frame_count = in.S8();
  for (int f = 0; f < frame_count && in.ok(); ++f) {
    AdFrame frame;
    frame.lead[0] = in.U8();
    frame.lead[1] = in.U8();
    const int piece_count = in.S8();
    frame.head_tail = in.U8();
    for (int j = 0; j < piece_count && in.ok(); ++j) frame.head_values.push_back(in.U16());
    r.frames.push_back(std::move(frame));
  }
  const std::size_t parts = static_cast<std::size_t>(r.Parts());
  for (auto& frame : r.frames) {
    frame.narrow_blocks = in.Bytes(static_cast<std::size_t>(frame.Pieces()) * parts);
    frame.narrow_end = in.U8();
  }
  for (auto& frame : r.frames) {
    frame.wide_blocks = in.Bytes(2 * static_cast<std::size_t>(frame.Pieces()) * parts);
  }
  r.a1 = in.U8();
  r.a2 = in.U8();
  const int value_count = exponent_form ? 6 : 10;
  for (int i = 0; i < value_count; ++i) r.values[i] = in.U16();
  if (format == kCurrentAdFormat) {
    r.list1 = ReadList(in);
    r.list2 = ReadList(in);
  } else if (known_old) {
    r.list1 = {2};
    r.list2 = {0};
  }
  if (!in.ok()) return std::nullopt;
  return r;
}

std::string WriteAdRecord(const AdRecord& r) {
  Writer out;
  out.U32(r.ad_number);
  out.U32(r.key);
  for (auto w : r.words) out.U32(w);
  for (const auto& s : r.names) out.String(s);
  out.U32(r.version_a);
  out.U32(r.version_b);
  for (const auto& s : r.texts) out.String(s);
  out.U32(r.timing_word1);
  out.U16(r.timing_value1);
  out.U16(r.timing_value2);
  out.U32(r.timing_word2);
  // Counts are written from the vectors so that a record always reads back whole.
  out.U8(static_cast<std::uint8_t>(r.part_codes.size()));
  for (auto code : r.part_codes) out.U8(code);
  out.U8(static_cast<std::uint8_t>(r.frames.size()));
  for (const auto& frame : r.frames) {
    out.U8(frame.lead[0]);
    out.U8(frame.lead[1]);
    out.U8(static_cast<std::uint8_t>(frame.head_values.size()));
    out.U8(frame.head_tail);
    for (auto v : frame.head_values) out.U16(v);
  }
  for (const auto& frame : r.frames) {
    out.Bytes(frame.narrow_blocks);
    out.U8(frame.narrow_end);
  }
  for (const auto& frame : r.frames) out.Bytes(frame.wide_blocks);
  out.U8(r.a1);
  out.U8(r.a2);
  for (auto v : r.values) out.U16(v);
  out.U8(static_cast<std::uint8_t>(r.list1.size()));
  for (auto w : r.list1) out.U32(w);
  out.U8(static_cast<std::uint8_t>(r.list2.size()));
  for (auto w : r.list2) out.U32(w);
  return out.Take();
}

bool UpgradeAdRecord(std::string_view bytes, std::uint32_t* format_word, std::string* upgraded) {
  const auto format = static_cast<std::uint16_t>(*format_word & 0xFFFFu);
  if (format == kCurrentAdFormat) return false;
  std::optional<AdRecord> record = ReadAdRecord(bytes, format);
  if (!record) return false;
  *upgraded = WriteAdRecord(*record);
  *format_word = (*format_word & 0xFFFF0000u) | kCurrentAdFormat;
  return true;
}

}  // namespace adpurge
