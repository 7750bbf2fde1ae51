// Tests of the item block coder: exact stored bytes for known items, round trips
// of generated content against the step-by-step oracle, and malformed bodies.
#include "store/item_coder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "tests/support/literal_coder.h"
#include "tests/support/test_seed.h"

// The largest single allocation of this program since it was last reset: what an
// expansion claims for its output.
static std::atomic<std::size_t> largest_allocation{0};

void* operator new(std::size_t n) {
  std::size_t seen = largest_allocation.load();
  while (n > seen && !largest_allocation.compare_exchange_weak(seen, n)) {
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
// Every form that ends in the deletes below comes from the same malloc: the standard
// library's temporary buffers use the nothrow form.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(n);
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace ferrowyn {
namespace {

std::string Hex(std::string_view bytes) {
  std::string s;
  char buf[4];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, s.empty() ? "%02X" : " %02X", c);
    s += buf;
  }
  return s;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

std::string Stored(std::string_view item) {
  std::string out;
  const std::size_t n = CompressItem(item, out);
  EXPECT_EQ(n, out.size());
  return out;
}

// Content of the kinds a site store holds and a few that stress the coder.
enum class Kind { kRandom, kSmallAlphabet, kLongRuns, kPhrases, kHtml };

std::string Generate(Kind kind, std::size_t size, std::mt19937& rng) {
  std::string s;
  s.reserve(size + 64);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  static const char* const kWords[] = {"the",  "site", "page", "search", "keyword", "link",
                                       "http", "with", "from", "index",  "query",   "a"};
  switch (kind) {
    case Kind::kRandom:
      while (s.size() < size) s.push_back(static_cast<char>(rng()));
      break;
    case Kind::kSmallAlphabet:
      while (s.size() < size) s.push_back(static_cast<char>('a' + pick(3)));
      break;
    case Kind::kLongRuns:
      while (s.size() < size) s.append(1 + pick(pick(3) == 0 ? 6000 : 40), "xyz\0"[pick(4)]);
      break;
    case Kind::kPhrases:
      while (s.size() < size) {
        s += kWords[pick(12)];
        s += pick(7) == 0 ? ".\r\n" : " ";
      }
      break;
    case Kind::kHtml:
      s += "<html><head><title>Page " + std::to_string(pick(1000)) + "</title></head><body>\r\n";
      while (s.size() < size) {
        switch (pick(5)) {
          case 0:
            s += "<a href=\"http://www.example.com/dir" + std::to_string(pick(50)) + "/page" +
                 std::to_string(pick(500)) + ".htm\">" + kWords[pick(12)] + "</a>\r\n";
            break;
          case 1:
            s +=
                "<table border=0 cellpadding=2><tr><td class=\"c" + std::to_string(pick(9)) + "\">";
            break;
          case 2:
            s += "<p>";
            for (int i = 0, words = 3 + pick(20); i < words; ++i) {
              s += kWords[pick(12)];
              s += ' ';
            }
            s += "</p>\r\n";
            break;
          case 3:
            s += "<img src=\"img/" + std::to_string(pick(99)) +
                 ".gif\" width=" + std::to_string(pick(640)) + ">";
            break;
          default:
            s.append(pick(30), ' ');
            s += "</td></tr></table>\r\n";
        }
      }
      break;
  }
  s.resize(size);
  return s;
}

const char* KindName(Kind kind) {
  static const char* const kNames[] = {"random", "small alphabet", "long runs", "phrases", "html"};
  return kNames[static_cast<int>(kind)];
}

TEST(ItemCoderGolden, ShortItemIsStoredCopied) {
  EXPECT_EQ(Hex(Stored("abc")), "04 00 80 61 62 63");
  EXPECT_EQ(ExpandItem(Stored("abc")), "abc");
}

TEST(ItemCoderGolden, TwentyEqualBytesAreOneRunItem) {
  const std::string stored = Stored(std::string(20, 'a'));
  EXPECT_EQ(Hex(stored), "07 00 40 80 00 00 00 04 61");
  EXPECT_EQ(ExpandItem(stored), std::string(20, 'a'));
}

TEST(ItemCoderGolden, HundredThousandZerosGiveFourBlocks) {
  const std::string full =
      "26 00 40 FF 40 00 0F EF 00 00 0F EF 00 00 0F EF 00 00 0F EF 00 "
      "00 0F EF 00 00 0F EF 00 00 0F EF 00 00 0F EF 00 00 00 14";
  const std::string stored = Stored(std::string(100000, '\0'));
  EXPECT_EQ(Hex(stored), full + " " + full + " " + full + " 07 00 40 80 00 00 06 90 00");
  EXPECT_EQ(stored.size(), 3u * 40 + 9);
  EXPECT_EQ(ExpandItem(stored), std::string(100000, '\0'));
}

TEST(ItemCoderGolden, BodyOfExactlyTheItemSizeStaysCompressed) {
  // Three literals and a copy of 5 bytes at offset 3: a body of 8 bytes for 8.
  EXPECT_EQ(Hex(Stored("abcabcab")), "08 00 40 10 00 61 62 63 00 32");
  // The same body shape for 7 bytes would be one byte longer than the piece.
  EXPECT_EQ(Hex(Stored("abcabca")), "08 00 80 61 62 63 61 62 63 61");
  EXPECT_EQ(ExpandItem(Stored("abcabcab")), "abcabcab");
  EXPECT_EQ(ExpandItem(Stored("abcabca")), "abcabca");
}

TEST(ItemCoderGolden, SeventeenItemsNeedASecondControlWord) {
  std::string item, expected = "49 00 40 FF FF";
  for (int i = 0; i < 17; ++i) {
    item.append(16, static_cast<char>('A' + i));
    if (i == 16) expected += " 80 00";
    expected += " 00 00 00 " + Hex(std::string(1, static_cast<char>('A' + i)));
  }
  EXPECT_EQ(Hex(Stored(item)), expected);
  EXPECT_EQ(ExpandItem(Stored(item)), item);
}

TEST(ItemCoderGolden, PiecesAreCutAt32768Bytes) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(7));
  const std::string item = Generate(Kind::kRandom, kPieceSize + 1, rng);
  const std::string one = Stored(item.substr(0, kPieceSize));
  ASSERT_EQ(one.size(), 2 + kPieceSize + 1);
  EXPECT_EQ(Hex(one.substr(0, 3)), "01 80 80");
  EXPECT_EQ(one.substr(3), item.substr(0, kPieceSize));

  const std::string two = Stored(item);
  ASSERT_EQ(two.size(), one.size() + 4);
  EXPECT_EQ(two.substr(0, one.size()), one);
  EXPECT_EQ(Hex(two.substr(one.size())), "02 00 80 " + Hex(item.substr(kPieceSize)));
  EXPECT_EQ(ExpandItem(two), item);
}

TEST(ItemCoderGolden, EmptyItemHasNoBlocks) {
  std::string out = "prefix";
  EXPECT_EQ(CompressItem("", out), 0u);
  EXPECT_EQ(out, "prefix");
  EXPECT_EQ(ExpandItem(""), "");
}

TEST(ItemCoderRoundTrip, MatchesOracleAndRestoresEveryItem) {
  std::vector<std::size_t> sizes = {0,    1,    2,     3,     17,    18,    19,
                                    4095, 4096, 32767, 32768, 32769, 65536, 100000};
  const unsigned seed = ferrowyn::testing::TestSeed(20261209, "round trip");
  std::mt19937 size_rng(seed);
  for (int i = 0; i < 12; ++i) sizes.push_back(size_rng() % (size_rng() % 2 ? 300 : 140000));

  for (std::size_t index = 0; index < sizes.size(); ++index) {
    for (Kind kind :
         {Kind::kRandom, Kind::kSmallAlphabet, Kind::kLongRuns, Kind::kPhrases, Kind::kHtml}) {
      const unsigned item_seed = seed + static_cast<unsigned>(index * 10 + static_cast<int>(kind));
      std::mt19937 rng(item_seed);
      const std::string item = Generate(kind, sizes[index], rng);
      SCOPED_TRACE(::testing::Message()
                   << KindName(kind) << ", " << item.size() << " bytes, item seed " << item_seed);
      std::string stored = "head";
      CompressItem(item, stored);
      ASSERT_EQ(stored.substr(4), literal::CompressItem(item));
      ASSERT_EQ(ExpandItem(std::string_view(stored).substr(4)), item);

      // Piece by piece into a string that already holds bytes.
      std::string pieces = "x";
      for (std::size_t at = 4; at < stored.size();) {
        const std::size_t b = static_cast<unsigned char>(stored[at]) |
                              static_cast<unsigned char>(stored[at + 1]) << 8;
        ExpandPiece(reinterpret_cast<const std::uint8_t*>(stored.data()) + at + 2, b, pieces);
        at += 2 + b;
      }
      ASSERT_EQ(pieces, "x" + item);
    }
  }
}

// The compressor writes nothing past n + 6 bytes of its body buffer and reads
// nothing past the piece (the vector is exact, so a sanitizer build sees it).
TEST(ItemCoderRoundTrip, CompressPieceStaysInsideItsBuffers) {
  const unsigned seed = ferrowyn::testing::TestSeed(20261210, "buffer");
  std::mt19937 rng(seed);
  for (int round = 0; round < 300; ++round) {
    const Kind kind = static_cast<Kind>(round % 5);
    const std::size_t n = 1 + rng() % (round % 3 == 0 ? kPieceSize : 200);
    const std::string text = Generate(kind, n, rng);
    const std::vector<std::uint8_t> in(text.begin(), text.end());
    std::vector<std::uint8_t> body(n + 6 + 1, 0xA5);
    const std::size_t b = CompressPiece(in.data(), n, body.data());
    SCOPED_TRACE(::testing::Message() << KindName(kind) << ", " << n << " bytes, round " << round);
    ASSERT_EQ(body[n + 6], 0xA5);
    ASSERT_LE(b, n + 1);
    const std::string got(body.begin(), body.begin() + static_cast<long>(b));
    ASSERT_EQ(got, literal::CompressPiece(text));
  }
}

// ExpandItemInto a buffer that earlier items have used, behind a byte that must stay.
std::string ExpandIntoReused(const std::string& stored, ItemBuffer& buffer) {
  buffer.Reserve(1, 0);
  buffer.data()[0] = '#';
  const std::size_t n = ExpandItemInto(stored, SIZE_MAX, buffer, 1);
  EXPECT_EQ(buffer.data()[0], '#');
  return std::string(buffer.data() + 1, n);
}

// A body is refused exactly when the oracle refuses it, and otherwise expands
// to the same bytes: whole stored forms with bytes changed, cut or appended. Both the
// expansion into a new string and the one into a reused buffer.
TEST(ItemCoderMalformed, DamagedStoredFormsAgreeWithOracle) {
  const unsigned seed = ferrowyn::testing::TestSeed(20261211, "damage");
  std::mt19937 rng(seed);
  ItemBuffer buffer;
  int refused = 0, accepted = 0;
  for (int round = 0; round < 400; ++round) {
    const Kind kind = static_cast<Kind>(1 + round % 4);
    const std::string item = Generate(kind, 1 + rng() % (round % 8 == 0 ? 70000 : 600), rng);
    std::string stored = Stored(item);
    for (int flips = 1 + rng() % 4; flips > 0; --flips)
      stored[rng() % stored.size()] = static_cast<char>(rng());
    if (rng() % 4 == 0) stored.resize(rng() % stored.size());
    if (rng() % 8 == 0) stored.push_back(static_cast<char>(rng()));
    SCOPED_TRACE(::testing::Message()
                 << "round " << round << " stored " << Hex(stored.substr(0, 24)));
    const std::optional<std::string> expected = literal::ExpandItem(stored);
    if (expected) {
      ++accepted;
      ASSERT_EQ(ExpandItem(stored), *expected);
      ASSERT_EQ(ExpandIntoReused(stored, buffer), *expected);
    } else {
      ++refused;
      ASSERT_THROW(ExpandItem(stored), ECoderError);
      ASSERT_THROW(ExpandIntoReused(stored, buffer), ECoderError);
    }
  }
  // Both verdicts must have been exercised for the comparison to mean anything.
  std::printf("%d refused, %d accepted\n", refused, accepted);
  EXPECT_GT(refused, 20);
  EXPECT_GT(accepted, 20);
}

// Expands a body held in a buffer of exactly its size; returns the piece or
// "error" when the body is refused, checking that a refusal leaves `out` alone.
std::string ExpandBody(const std::string& body_bytes) {
  const std::vector<std::uint8_t> body(body_bytes.begin(), body_bytes.end());
  std::string out = "keep";
  try {
    ExpandPiece(body.data(), body.size(), out);
  } catch (const ECoderError&) {
    EXPECT_EQ(out, "keep");
    return "error";
  }
  EXPECT_EQ(out.substr(0, 4), "keep");
  EXPECT_EQ(literal::ExpandBody(body_bytes).value_or("error"), out.substr(4));
  return out.substr(4);
}

std::string Literals16() { return Bytes({0x40, 0x00, 0x00}) + "ABCDEFGHIJKLMNOP"; }

TEST(ItemCoderMalformed, OutputPastAPieceIsRefused) {
  EXPECT_EQ(ExpandBody("\x80" + std::string(kPieceSize, 'q')), std::string(kPieceSize, 'q'));
  EXPECT_EQ(ExpandBody("\x80" + std::string(kPieceSize + 1, 'q')), "error");

  // Eight runs of 4,095 and eight literals fill a piece exactly; one more byte
  // of any kind is too many.
  std::string full = Bytes({0x40, 0xFF, 0x00});
  for (int i = 0; i < 8; ++i) full += Bytes({0x00, 0x0F, 0xEF, 0x7A});
  full += "12345678";
  EXPECT_TRUE(ExpandBody(full) == std::string(32760, 'z') + "12345678");
  EXPECT_EQ(ExpandBody(full + Bytes({0x00, 0x00}) + "9"), "error");
  std::string overlong = Bytes({0x40, 0xFF, 0x80});
  for (int i = 0; i < 9; ++i) overlong += Bytes({0x00, 0x0F, 0xFF, 0x7A});
  EXPECT_EQ(ExpandBody(overlong), "error");
}

TEST(ItemCoderMalformed, CopyBeforeThePieceIsRefused) {
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x80, 0x00, 0x00, 0x13})), "error");
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x40, 0x00, 'a', 0x00, 0x20})), "error");
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x40, 0x00, 'a', 0x00, 0x10})), "aaaa");
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x20, 0x00, 'a', 'b', 0x00, 0x2F})),
            "ab"
            "ababababababababab");
}

TEST(ItemCoderMalformed, ItemsRunningPastTheBodyAreRefused) {
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x00})), "error");              // no room for a control word
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x80, 0x00, 0x00})), "error");  // half a reference
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x05})), "error");  // 3/4 of a run
  EXPECT_EQ(ExpandBody(Literals16() + std::string(1, '\0')), "error");  // half a control word
  EXPECT_EQ(ExpandBody(Literals16() + std::string(2, '\0')), "error");  // control word alone
  EXPECT_EQ(ExpandBody(Literals16() + std::string(2, '\0') + "Q"), "ABCDEFGHIJKLMNOPQ");
}

TEST(ItemCoderMalformed, ShortAndUnusualBodiesExpandAsRead) {
  EXPECT_EQ(ExpandBody(""), "");
  EXPECT_EQ(ExpandBody("\x40"), "");
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x00, 0x00})), "");
  EXPECT_EQ(ExpandBody("\x80"), "");
  // Any method byte but 0x80 is read as a compressed body.
  EXPECT_EQ(ExpandBody(Bytes({0x00, 0x80, 0x00, 0x00, 0x00, 0x04, 0x61})), std::string(20, 'a'));
  // The longest run a reference can hold: 15 * 256 + 255 + 16 bytes.
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x80, 0x00, 0x00, 0x0F, 0xFF, 0x7A})), std::string(4111, 'z'));
  // b0 = 0 with b1 of 16 or more is a copy (offset b1 >> 4), never a run.
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x40, 0x00, 'k', 0x00, 0x1F})), std::string(19, 'k'));
  EXPECT_EQ(ExpandBody(Bytes({0x40, 0x80, 0x00, 0x00, 0x1F, 0x00, 0x00})), "error");
}

TEST(ItemCoderMalformed, TruncatedStoredFormsAreRefused) {
  const std::string stored = Stored(std::string(20, 'a')) + Stored("abc");
  EXPECT_EQ(ExpandItem(stored), std::string(20, 'a') + "abc");
  for (std::size_t cut = 1; cut < stored.size(); ++cut) {
    SCOPED_TRACE(cut);
    if (cut == 9) {
      EXPECT_EQ(ExpandItem(stored.substr(0, cut)), std::string(20, 'a'));
    } else {
      EXPECT_THROW(ExpandItem(stored.substr(0, cut)), ECoderError);
    }
  }
  // A compressed body too short for its control word, alone in its item.
  EXPECT_THROW(ExpandItem(Bytes({0x02, 0x00, 0x40, 0x00})), ECoderError);
  EXPECT_EQ(ExpandItem(Bytes({0x02, 0x00, 0x80, 0x00})), std::string(1, '\0'));
  // A length of 0 or 1 is an empty piece between others.
  EXPECT_EQ(ExpandItem(Bytes({0x00, 0x00})), "");
  EXPECT_EQ(ExpandItem(Bytes({0x00, 0x00, 0x01, 0x00, 0x80}) + stored),
            std::string(20, 'a') + "abc");
}

TEST(ItemCoderMalformed, AnItemClaimsNoMoreMemoryThanItsSizeAllowsNorMoreThanItsLimit) {
  // Blocks of 35 body bytes that hold 30 literals: by its length each could stand for a
  // whole piece, 98 MB in all, but together they expand to 30 bytes a block.
  const std::string block =
      Bytes({35, 0, 0x40, 0, 0}) + std::string(16, 'l') + Bytes({0, 0}) + std::string(14, 'm');
  std::string stored;
  for (int i = 0; i < 3000; ++i) stored += block;
  largest_allocation = 0;
  EXPECT_EQ(ExpandItem(stored).size(), 3000u * 30);
  EXPECT_LE(largest_allocation.load(), 16 * stored.size() + kPieceSize + 64);

  // The limit refuses an item that would pass it as soon as it does: its room grows as
  // the output does (by doubling), up to twice the limit at most.
  const std::string zeros = Stored(std::string(kPieceSize, '\0'));
  std::string large;
  for (int i = 0; i < 64; ++i) large += zeros;
  EXPECT_EQ(ExpandItem(large, 64 * kPieceSize).size(), 64 * kPieceSize);
  largest_allocation = 0;
  EXPECT_THROW(ExpandItem(large, 4 * kPieceSize), ECoderError);
  EXPECT_LE(largest_allocation.load(), 2 * (4 * kPieceSize + kPieceSize + 64));
  ItemBuffer buffer;
  largest_allocation = 0;
  EXPECT_THROW(ExpandItemInto(large, 4 * kPieceSize, buffer, 1), ECoderError);
  EXPECT_LE(largest_allocation.load(), 2 * (4 * kPieceSize + kPieceSize + 64));
}

}  // namespace
}  // namespace ferrowyn
