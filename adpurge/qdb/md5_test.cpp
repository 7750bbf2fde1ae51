// MD5 against the test suite of RFC 1321, whole and fed in uneven pieces.
#include "adpurge/qdb/md5.h"

#include <gtest/gtest.h>

#include <string>

namespace adpurge::qdb {
namespace {

std::string Hex(const Md5Digest& d) {
  std::string out;
  for (uint8_t b : d) out += "0123456789abcdef"[b >> 4], out += "0123456789abcdef"[b & 15];
  return out;
}

std::span<const uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

TEST(Md5, MatchesTheRfcTestSuite) {
  const std::pair<std::string, std::string> suite[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
       "0",
       "57edf4a22be3c955ac49da2e2107b67a"}};
  for (const auto& [text, digest] : suite) {
    EXPECT_EQ(Hex(Md5Of(Bytes(text))), digest) << text;
    Md5 pieces;
    for (size_t at = 0; at < text.size(); at += 7) pieces.Update(Bytes(text.substr(at, 7)));
    EXPECT_EQ(Hex(pieces.Final()), digest) << text;
  }
}

}  // namespace
}  // namespace adpurge::qdb
