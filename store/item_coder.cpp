// The block coder of stored items: compresses each 32,768-byte piece of an item
// into a body of literals, copy items and run items, and expands bodies again.
#include "store/item_coder.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <iterator>
#include <memory>
#include <utility>

namespace ferrowyn {
namespace {

constexpr std::uint8_t kMethodCompressed = 0x40;
constexpr std::uint8_t kMethodCopied = 0x80;
constexpr std::size_t kHashSize = 4096;
constexpr std::uint16_t kEmptySlot = 0xFFFF;
constexpr std::size_t kMaxOffset = 4095;
constexpr std::size_t kMinCopy = 3;
constexpr std::size_t kMaxCopy = 18;
constexpr std::size_t kMinRun = 16;
constexpr std::size_t kMaxRun = 4095;
// The most one body byte can stand for: a 4-byte run item of up to
// 15 * 256 + 255 + 16 = 4,111 bytes. Used to bound the room an expansion needs.
constexpr std::size_t kMaxExpansionPerByte = 1028;
// Text seldom compresses better than this; an item that does grows its output as it goes.
constexpr std::size_t kReserveRatio = 16;
// The expander moves literals 16 bytes and copies 24 bytes at a time, whatever
// their length, so every output buffer it fills carries this much room behind
// its limit for what lands past the end of an item.
constexpr std::size_t kExpandSlack = 32;

inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Eight bytes with p[0] in the lowest byte, whatever the machine's order.
inline std::uint64_t LoadLE64(const std::uint8_t* p) {
  const std::uint64_t v = Load64(p);
  if constexpr (std::endian::native == std::endian::big) return __builtin_bswap64(v);
  return v;
}

inline void Copy8(std::uint8_t* dst, const std::uint8_t* src) { std::memcpy(dst, src, 8); }

// The hash of the three bytes packed as b0 | b1 << 8 | b2 << 16: the same as
// ((b0 * 16 xor b1) * 16 xor b2) * 40,543 >> 4, kept to 12 bits.
inline std::uint32_t HashOf(std::uint32_t three) {
  const std::uint32_t key = ((three & 0xFF) << 8) ^ (((three >> 8) & 0xFF) << 4) ^ (three >> 16);
  return (key * 40543u >> 4) & (kHashSize - 1);
}

// Number of equal leading bytes behind the difference of two words loaded with
// LoadLE64; 8 when the words are equal.
inline std::size_t EqualBytes(std::uint64_t diff) {
  return static_cast<std::size_t>(std::countr_zero(diff)) / 8;
}

// Length of the run of in[x] starting at x, counted on from `from` (the run is
// known to be at least that long) up to `limit`.
inline std::size_t RunLength(const std::uint8_t* in, std::size_t x, std::size_t from,
                             std::size_t limit) {
  const std::uint8_t b = in[x];
  std::size_t r = from;
  const std::uint64_t pattern = 0x0101010101010101ull * b;
  while (r + 8 <= limit) {
    const std::uint64_t diff = LoadLE64(in + x + r) ^ pattern;
    if (diff != 0) return r + EqualBytes(diff);
    r += 8;
  }
  while (r < limit && in[x + r] == b) ++r;
  return r;
}

// Number of equal leading bytes of in[x..] and in[c..], counted up to `limit`.
inline std::size_t MatchLength(const std::uint8_t* in, std::size_t c, std::size_t x,
                               std::size_t limit) {
  std::size_t m = 0;
  while (m + 8 <= limit) {
    const std::uint64_t diff = LoadLE64(in + x + m) ^ LoadLE64(in + c + m);
    if (diff != 0) return m + EqualBytes(diff);
    m += 8;
  }
  while (m < limit && in[x + m] == in[c + m]) ++m;
  return m;
}

[[noreturn]] void Malformed(const char* what) { throw ECoderError(what); }

// Writes the copy of a reference `offset` bytes back (1 to 4,095, within what is written
// already) at op: whole 8-byte moves, 24 bytes whatever the length; the slack behind the
// output's limit takes what lands past the item.
inline void CopyReference(std::uint8_t* op, std::size_t offset) {
  const std::uint8_t* src = op - offset;
  if (offset >= 8) {
    // Each move reads only bytes that are already final.
    Copy8(op, src);
    Copy8(op + 8, src + 8);
    Copy8(op + 16, src + 16);
  } else if (offset == 1) {
    std::memset(op, *src, 24);
  } else {
    // The first 8 bytes one at a time; after them the output repeats
    // with a period of `offset`, so moves from `step` back, a multiple
    // of the offset of at least 8, read final bytes only.
    static constexpr std::uint8_t kStep[8] = {0, 0, 8, 9, 8, 10, 12, 14};
    for (int k = 0; k < 8; ++k) op[k] = src[k];
    const std::size_t step = kStep[offset];
    Copy8(op + 8, op + 8 - step);
    Copy8(op + 16, op + 16 - step);
  }
}

// A whole group of 16 items whose input lies well inside the body and whose literals and
// copies cannot pass the output's limit is expanded without those checks: this much input
// holds the 16 items and every 16-byte literal move, this much room 16 copies of 18 bytes.
constexpr std::ptrdiff_t kGroupInput = 16 * 4 + 16;
constexpr std::ptrdiff_t kGroupRoom = 16 * kMaxCopy;

// Expands one body into dst, which has room for `limit` bytes plus
// kExpandSlack behind them. A body that would produce more than `limit` bytes
// is malformed, as is one that would read or refer outside itself.
std::size_t ExpandBody(const std::uint8_t* body, std::size_t size, std::uint8_t* dst,
                       std::size_t limit) {
  if (size <= 1) return 0;
  if (body[0] == kMethodCopied) {
    const std::size_t n = size - 1;
    if (n > limit) Malformed("copied block larger than a piece");
    std::memcpy(dst, body + 1, n);
    return n;
  }
  // Every other method byte is read as a compressed body, the way the expander
  // has always treated it; the compressor writes only 0x40 and 0x80.
  if (size < 3) Malformed("compressed block without a control word");
  const std::uint8_t* ip = body + 3;
  const std::uint8_t* const iend = body + size;
  std::uint8_t* op = dst;
  std::uint8_t* const oend = dst + limit;
  // The control word sits in the top 16 bits so that the kind of the next item
  // is bit 31 and a stretch of literals is counted with one instruction; bit
  // 15 stops the count at 16 for a word of literals only.
  std::uint32_t control = (std::uint32_t{body[1]} << 24) | (std::uint32_t{body[2]} << 16);
  unsigned bits = 16;

  while (ip < iend) {
    if (bits == 0) {
      if (iend - ip < 2) Malformed("control word cut off");
      control = (std::uint32_t{ip[0]} << 24) | (std::uint32_t{ip[1]} << 16);
      ip += 2;
      bits = 16;
      // A control word is only ever written ahead of an item.
      if (ip == iend) Malformed("control word without items");
    }
    if (bits == 16 && iend - ip >= kGroupInput && oend - op >= kGroupRoom) {
      // The same steps as below, less the checks that cannot fail here. A run may use up
      // the room: the rest of its group then goes the checked way.
      do {
        const unsigned count =
            std::min<unsigned>(static_cast<unsigned>(std::countl_zero(control | 0x8000u)), bits);
        std::memcpy(op, ip, 16);
        ip += count;
        op += count;
        control <<= count;
        bits -= count;
        if (bits == 0) break;
        const std::size_t b0 = ip[0];
        const std::size_t b1 = ip[1];
        const std::size_t offset = (b0 << 4) | (b1 >> 4);
        control <<= 1;
        --bits;
        if (offset != 0) {
          if (offset > static_cast<std::size_t>(op - dst)) Malformed("copy reaches before the piece");
          CopyReference(op, offset);
          op += (b1 & 15) + kMinCopy;
          ip += 2;
        } else {
          const std::size_t length = (b1 << 8) + ip[2] + kMinRun;
          if (length > static_cast<std::size_t>(oend - op)) Malformed("block expands past a piece");
          std::memset(op, ip[3], length);
          ip += 4;
          op += length;
          if (oend - op < kGroupRoom) break;
        }
      } while (bits != 0);
      continue;
    }
    // The literals in front of the next reference (often none) move as one
    // 16-byte block: no branch on their number, which is hard to predict.
    const std::size_t avail = static_cast<std::size_t>(iend - ip);
    const std::size_t count = std::min<std::size_t>(
        {static_cast<std::size_t>(std::countl_zero(control | 0x8000u)), bits, avail});
    if (count > static_cast<std::size_t>(oend - op)) Malformed("block expands past a piece");
    if (avail >= 16) {
      std::memcpy(op, ip, 16);
    } else {
      std::memcpy(op, ip, count);
    }
    ip += count;
    op += count;
    control <<= count;
    bits -= static_cast<unsigned>(count);
    if (bits == 0 || ip == iend) continue;

    // A reference: bit 31 of the control word is set here.
    if (iend - ip < 2) Malformed("reference item cut off");
    const std::size_t b0 = ip[0];
    const std::size_t b1 = ip[1];
    const std::size_t offset = (b0 << 4) | (b1 >> 4);
    if (offset != 0) {
      const std::size_t length = (b1 & 15) + kMinCopy;
      ip += 2;
      if (offset > static_cast<std::size_t>(op - dst)) Malformed("copy reaches before the piece");
      if (length > static_cast<std::size_t>(oend - op)) Malformed("block expands past a piece");
      CopyReference(op, offset);
      op += length;
    } else {
      // b0 = 0 and b1 < 16 here: any other b1 makes a non-zero offset.
      if (iend - ip < 4) Malformed("run item cut off");
      const std::size_t length = (b1 << 8) + ip[2] + kMinRun;
      if (length > static_cast<std::size_t>(oend - op)) Malformed("block expands past a piece");
      std::memset(op, ip[3], length);
      ip += 4;
      op += length;
    }
    control <<= 1;
    --bits;
  }
  return static_cast<std::size_t>(op - dst);
}

// The most bytes a body can expand to, read from its length and method alone:
// past the method and the first control word, no body byte stands for more
// than kMaxExpansionPerByte bytes of output.
std::size_t ExpansionBound(const std::uint8_t* body, std::size_t size) {
  if (size <= 1) return 0;
  if (body[0] == kMethodCopied) return std::min(kPieceSize, size - 1);
  if (size <= 3) return 0;
  return std::min(kPieceSize, (size - 3) * kMaxExpansionPerByte);
}

}  // namespace

std::size_t CompressPiece(const std::uint8_t* in, std::size_t n, std::uint8_t* body) {
  assert(n >= 1 && n <= kPieceSize);
  std::uint16_t table[kHashSize];
  std::fill(std::begin(table), std::end(table), kEmptySlot);

  body[0] = kMethodCompressed;
  std::size_t control_at = 1;
  std::size_t w = 3;
  // The control word of the group being written grows from a marker bit, so
  // that the marker reaching bit 16 tells that the group holds 16 items.
  std::uint32_t control = 1;
  std::size_t x = 0;

  auto begin_item = [&] {
    if (control >= 0x10000) {
      body[control_at] = static_cast<std::uint8_t>(control >> 8);
      body[control_at + 1] = static_cast<std::uint8_t>(control);
      control_at = w;
      w += 2;
      control = 1;
    }
  };
  auto put_run = [&](std::size_t r, std::uint8_t b) {
    const std::size_t v = r - kMinRun;
    body[w] = 0;
    body[w + 1] = static_cast<std::uint8_t>(v >> 8);
    body[w + 2] = static_cast<std::uint8_t>(v);
    body[w + 3] = b;
    w += 4;
    x += r;
    control = (control << 1) | 1;
  };
  auto put_copy = [&](std::size_t distance, std::size_t m) {
    const std::size_t v = (distance << 4) | (m - kMinCopy);
    body[w] = static_cast<std::uint8_t>(v >> 8);
    body[w + 1] = static_cast<std::uint8_t>(v);
    w += 2;
    x += m;
    control = (control << 1) | 1;
  };
  auto put_literal = [&](std::uint8_t b) {
    body[w++] = b;
    ++x;
    control <<= 1;
  };

  // While 24 bytes remain, each position is judged from whole words: the 16
  // bytes at X tell whether a run starts, the first three give the hash, and
  // one word at the candidate tells whether a copy of 3 or more starts.
  const std::size_t fast_end = n >= 24 ? n - 23 : 0;
  while (x < fast_end && w <= n) {
    begin_item();
    const std::uint64_t a = LoadLE64(in + x);
    if (((a ^ (a >> 8)) << 8) == 0 && a == LoadLE64(in + x + 8)) {
      put_run(RunLength(in, x, 16, std::min(kMaxRun, n - x)), static_cast<std::uint8_t>(a));
      continue;
    }
    const std::uint32_t h = HashOf(static_cast<std::uint32_t>(a) & 0xFFFFFF);
    const std::size_t c = table[h];
    table[h] = static_cast<std::uint16_t>(x);
    // An empty slot (0xFFFF) lies past X, so the distance wraps and fails too.
    const std::size_t distance = x - c;
    // Chosen without a branch: on text and random bytes whether the candidate
    // is near is close to a coin toss, and a mispredicted jump costs more than
    // the load. A candidate that is not near is replaced by X itself and made
    // to fail through the bit above the three compared bytes.
    const std::uint64_t far = distance > kMaxOffset;
    const std::size_t probe = x ^ ((c ^ x) & (far - 1));
    const std::uint64_t diff = LoadLE64(in + probe) ^ a;
    if (((diff & 0xFFFFFF) | (far << 24)) == 0) {
      // 24 bytes remain, so the match is measured over three words without
      // a branch (a zero difference counts as 8 equal bytes) and cut to 18.
      const std::size_t m0 = EqualBytes(diff);
      const std::size_t m1 = EqualBytes(LoadLE64(in + x + 8) ^ LoadLE64(in + c + 8));
      const std::size_t m2 = EqualBytes(LoadLE64(in + x + 16) ^ LoadLE64(in + c + 16));
      const std::size_t m = m0 + (m0 == 8 ? m1 + (m1 == 8 ? m2 : 0) : 0);
      put_copy(distance, std::min(m, kMaxCopy));
      continue;
    }
    put_literal(static_cast<std::uint8_t>(a));
  }

  // The last positions, byte by byte. Past n - 3 no copy can start; the bytes
  // the hash would read beyond the piece could not change the outcome there,
  // so those positions are literals without a probe.
  const std::size_t copy_end = n >= kMinCopy ? n - kMinCopy + 1 : 0;
  while (x < n && w <= n) {
    begin_item();
    const std::uint8_t b = in[x];
    if (x >= copy_end) {
      put_literal(b);
      continue;
    }
    if (in[x + 1] == b) {
      const std::size_t r = RunLength(in, x, 1, std::min(kMaxRun, n - x));
      if (r >= kMinRun) {
        put_run(r, b);
        continue;
      }
    }
    const std::uint32_t h =
        HashOf((std::uint32_t{in[x + 2]} << 16) | (std::uint32_t{in[x + 1]} << 8) | b);
    const std::size_t c = table[h];
    table[h] = static_cast<std::uint16_t>(x);
    if (x - c <= kMaxOffset) {
      const std::size_t m = MatchLength(in, c, x, std::min(kMaxCopy, n - x));
      if (m >= kMinCopy) {
        put_copy(x - c, m);
        continue;
      }
    }
    put_literal(b);
  }

  // Unused bits of the last group are 0.
  control <<= 16 - (std::bit_width(control) - 1);
  body[control_at] = static_cast<std::uint8_t>(control >> 8);
  body[control_at + 1] = static_cast<std::uint8_t>(control);

  if (w > n) {
    body[0] = kMethodCopied;
    std::memcpy(body + 1, in, n);
    return n + 1;
  }
  return w;
}

void ExpandPiece(const std::uint8_t* body, std::size_t size, std::string& out) {
  const std::size_t old = out.size();
  const std::size_t room = ExpansionBound(body, size);
  out.resize(old + room + kExpandSlack);
  std::size_t n = 0;
  try {
    n = ExpandBody(body, size, reinterpret_cast<std::uint8_t*>(out.data()) + old, room);
  } catch (...) {
    out.resize(old);
    throw;
  }
  out.resize(old + n);
}

namespace {

// Appends one piece's block (its body length, then its body) to `out`, through a work
// buffer of the compressor's size: a buffer for the worst case of the whole item, zeroed
// before use, would touch as many bytes as the item has, most of them for nothing.
void AppendBlock(const std::uint8_t* in, std::size_t n, std::uint8_t* work, std::string& out) {
  const std::size_t b = CompressPiece(in, n, work + 2);
  work[0] = static_cast<std::uint8_t>(b);
  work[1] = static_cast<std::uint8_t>(b >> 8);
  out.append(reinterpret_cast<const char*>(work), b + 2);
}

std::unique_ptr<std::uint8_t[]> NewBlockWork() {
  return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[2 + kBodyWorkSize]);
}

}  // namespace

std::size_t CompressItem(std::string_view item, std::string& out) {
  if (item.empty()) return 0;
  const std::size_t start = out.size();
  // On the stack, like the compressor's table: an item per stored page comes here, and a
  // heap buffer of this size would cost a large allocation each time.
  std::uint8_t work[2 + kBodyWorkSize];
  const auto* in = reinterpret_cast<const std::uint8_t*>(item.data());
  for (std::size_t at = 0; at < item.size(); at += kPieceSize)
    AppendBlock(in + at, std::min(kPieceSize, item.size() - at), work, out);
  return out.size() - start;
}

void ItemCompressor::Add(std::string_view bytes) {
  raw_size_ += bytes.size();
  while (!bytes.empty()) {
    const std::size_t take = std::min(bytes.size(), kPieceSize - pending_.size());
    pending_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (pending_.size() == kPieceSize) Flush();
  }
}

void ItemCompressor::Flush() {
  if (pending_.empty()) return;
  if (!work_) work_ = NewBlockWork();
  AppendBlock(reinterpret_cast<const std::uint8_t*>(pending_.data()), pending_.size(), work_.get(),
              stored_);
  pending_.clear();
}

std::string ItemCompressor::Take() {
  Flush();
  raw_size_ = 0;
  work_.reset();
  std::string stored = std::exchange(stored_, std::string());
  pending_ = std::string();
  return stored;
}

namespace {

// The first walk over the block lengths: refuses a cut-off stored form before any work and
// gives the most the item can hold.
std::size_t ExpansionBoundOfItem(const std::uint8_t* p, std::size_t size) {
  std::size_t bound = 0;
  for (std::size_t at = 0; at < size;) {
    if (size - at < 2) Malformed("stored form ends inside a block length");
    const std::size_t b = p[at] | (std::size_t{p[at + 1]} << 8);
    at += 2;
    if (b > size - at) Malformed("stored form ends inside a block");
    bound += ExpansionBound(p + at, b);
    at += b;
  }
  return bound;
}

// Room claimed up front for what a genuine item of this shape holds, but never more than a
// generous ratio to the stored size nor more than the limit: a few bytes that claim a great
// deal get their room block by block, each block checked as it expands.
std::size_t FirstRoom(std::size_t bound, std::size_t size, std::size_t max_size) {
  return std::min({bound, size * kReserveRatio + kPieceSize, max_size}) + kExpandSlack;
}

// Expands the blocks of a checked stored form one after another. `room(done, need)` gives
// the start of an output of at least `need` bytes whose first `done` bytes are the item so
// far. Returns the item's length.
template <typename Room>
std::size_t ExpandBlocks(const std::uint8_t* p, std::size_t size, std::size_t max_size,
                         Room room) {
  std::size_t done = 0;
  for (std::size_t at = 0; at < size;) {
    const std::size_t b = p[at] | (std::size_t{p[at + 1]} << 8);
    at += 2;
    const std::size_t bound = ExpansionBound(p + at, b);
    std::uint8_t* out = room(done, done + bound + kExpandSlack);
    done += ExpandBody(p + at, b, out + done, bound);
    if (done > max_size) Malformed("item larger than the largest item");
    at += b;
  }
  return done;
}

}  // namespace

std::string ExpandItem(std::string_view stored, std::size_t max_size) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(stored.data());
  const std::size_t size = stored.size();
  const std::size_t bound = ExpansionBoundOfItem(p, size);
  if (size == 0) return {};
  std::string item;
  item.reserve(FirstRoom(bound, size, max_size));
  const std::size_t n =
      ExpandBlocks(p, size, max_size, [&item](std::size_t, std::size_t need) {
        if (item.size() < need) item.resize(need);
        return reinterpret_cast<std::uint8_t*>(item.data());
      });
  item.resize(n);
  return item;
}

void ExpandItemPieces(std::string_view stored, std::size_t max_size,
                      const std::function<void(std::string_view)>& piece) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(stored.data());
  const std::size_t size = stored.size();
  ExpansionBoundOfItem(p, size);
  std::unique_ptr<std::uint8_t[]> out;
  std::size_t room = 0;
  std::size_t done = 0;
  for (std::size_t at = 0; at < size;) {
    const std::size_t b = p[at] | (std::size_t{p[at + 1]} << 8);
    at += 2;
    const std::size_t bound = ExpansionBound(p + at, b);
    if (room < bound + kExpandSlack) {
      room = bound + kExpandSlack;
      out = std::make_unique_for_overwrite<std::uint8_t[]>(room);
    }
    const std::size_t n = ExpandBody(p + at, b, out.get(), bound);
    done += n;
    if (done > max_size) Malformed("item larger than the largest item");
    at += b;
    piece(std::string_view(reinterpret_cast<const char*>(out.get()), n));
  }
}

void ItemBuffer::Reserve(std::size_t size, std::size_t keep) {
  if (size <= capacity_) return;
  const std::size_t grown = std::max(size, capacity_ + capacity_ / 2);
  std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>(grown);
  // An empty buffer has no bytes yet: memcpy must not be handed its null pointer.
  const std::size_t kept = std::min(keep, capacity_);
  if (kept > 0) std::memcpy(bytes.get(), bytes_.get(), kept);
  bytes_ = std::move(bytes);
  capacity_ = grown;
}

std::size_t ExpandItemInto(std::string_view stored, std::size_t max_size, ItemBuffer& out,
                           std::size_t offset) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(stored.data());
  const std::size_t size = stored.size();
  const std::size_t bound = ExpansionBoundOfItem(p, size);
  if (size == 0) return 0;
  out.Reserve(offset + FirstRoom(bound, size, max_size), offset);
  return ExpandBlocks(p, size, max_size, [&out, offset](std::size_t done, std::size_t need) {
    out.Reserve(offset + need, offset + done);
    return reinterpret_cast<std::uint8_t*>(out.data()) + offset;
  });
}

}  // namespace ferrowyn
