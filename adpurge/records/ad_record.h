// The ad record that the client keeps in its Pending and Done queues: reading it in
// every format the client has written, and writing it in the current one.
// Pure byte work: no files, no threads; nothing here throws except std::bad_alloc.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace adpurge {

// The format the client writes today; older records are upgraded to it.
inline constexpr std::uint16_t kCurrentAdFormat = 3000;

// One frame of an ad: its head and the per-piece blocks that belong to it. The
// release uses only the piece count; everything else is carried through unchanged.
struct AdFrame {
  std::array<std::uint8_t, 2> lead{};      // the head's first two bytes
  std::uint8_t head_tail = 0;              // the head's byte after the piece count
  std::vector<std::uint16_t> head_values;  // one per piece: C values
  std::string narrow_blocks;               // C blocks of P bytes
  std::uint8_t narrow_end = 0;             // the byte after them
  std::string wide_blocks;                 // C blocks of 2 x P bytes

  int Pieces() const { return static_cast<int>(head_values.size()); }
};

// An ad record in the current layout. Fields the release does not use keep the
// client's order and widths so that an upgrade writes them back as they came. Counts
// are the sizes of the vectors; the layout stores them as signed bytes, so a count
// read as negative holds nothing, and a writer keeps each vector to at most 127.
struct AdRecord {
  std::uint32_t ad_number = 0;           // names the content folder
  std::uint32_t key = 0;                 // equals the index entry's key
  std::array<std::uint32_t, 4> words{};  // words[1]: a power of two (an exponent in 1, 1000)
  std::array<std::string, 2> names;
  std::uint32_t version_a = 0;  // version of the piece files
  std::uint32_t version_b = 0;  // version of the frame files
  std::array<std::string, 4> texts;
  std::uint32_t timing_word1 = 0;  // absent before 2000: 0
  std::uint16_t timing_value1 = 0;
  std::uint16_t timing_value2 = 0;
  std::uint32_t timing_word2 = 0;
  std::vector<std::uint8_t> part_codes;  // P codes, taken as signed bytes in file names
  std::vector<AdFrame> frames;           // F frames
  std::uint8_t a1 = 0;
  std::uint8_t a2 = 0;
  std::array<std::uint16_t, 10> values{};  // values[0] is A3, values[1] is A4
  std::vector<std::uint32_t> list1;
  std::vector<std::uint32_t> list2;

  std::uint16_t a3() const { return values[0]; }
  std::uint16_t a4() const { return values[1]; }
  int Parts() const { return static_cast<int>(part_codes.size()); }
};

// Reads a record stored in `format` (the low 16 bits of its index entry's third word):
// 3000 in the current layout, anything else in the older one with its defaults.
// Empty when the bytes end before the counts say; trailing bytes are ignored.
std::optional<AdRecord> ReadAdRecord(std::string_view bytes, std::uint16_t format);

// The record in the current layout, exactly as long as its fields.
std::string WriteAdRecord(const AdRecord& record);

// The record converter the queue database runs on open. `format_word` is the index
// entry's third word. A record already in the current format is left alone (returns
// false). Otherwise the record is read in the older layout and `upgraded` receives it in
// the current one and `format_word` the current format with its high 16 bits kept; a
// record that cannot be read is left alone too.
bool UpgradeAdRecord(std::string_view bytes, std::uint32_t* format_word, std::string* upgraded);

}  // namespace adpurge
