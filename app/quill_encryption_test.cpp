// TQuillEncryption: fixed-start golden texts, fresh starts, round trips and
// what unscrambling does with text that is not hexadecimal.
#include "app/quill_encryption.h"

#include <gtest/gtest.h>

#include <set>

namespace ferrowyn {
namespace {

std::string Quill(TQuillEncryption& quill, TQuillEncryption::TAction action,
                  const std::string& input) {
  quill.Key = kSetupScramblerKey;
  quill.Action = action;
  quill.Input = input;
  quill.Execute();
  return quill.Output;
}

TEST(QuillEncryptionTest, ScramblesToGoldenTextsFromAFixedStart) {
  TQuillEncryption fixed([] { return 0x2A; });
  EXPECT_EQ(Quill(fixed, TQuillEncryption::atEncryption, "secret"), "2AE92EFF1516EF");
  TQuillEncryption zero([] { return 0; });
  // The key scrambled from 0 cancels itself; the key position then wraps to 1.
  EXPECT_EQ(Quill(zero, TQuillEncryption::atEncryption, "tanglewoodcipher!x"),
            "000000000000000000000000000000000055AC");
  EXPECT_EQ(Quill(zero, TQuillEncryption::atDecryption, "000000000000000000000000000000000055AC"),
            "tanglewoodcipher!x");
}

TEST(QuillEncryptionTest, EachScrambleStartsAfreshAndUnscramblesBack) {
  TQuillEncryption quill;
  std::set<std::string> texts;
  for (int i = 0; i < 24; ++i) {
    const std::string scrambled = Quill(quill, TQuillEncryption::atEncryption, "p4ssw0rd");
    EXPECT_EQ(scrambled.size(), 2u + 2u * 8u);
    EXPECT_EQ(scrambled.find_first_not_of("0123456789ABCDEF"), std::string::npos) << scrambled;
    EXPECT_EQ(Quill(quill, TQuillEncryption::atDecryption, scrambled), "p4ssw0rd");
    texts.insert(scrambled);
  }
  EXPECT_GT(texts.size(), 1u);
}

TEST(QuillEncryptionTest, RoundTripsEveryByteFromEveryStart) {
  std::string plain;
  for (int c = 1; c <= 254; ++c) plain += static_cast<char>(c);
  for (int start = 0; start < 256; start += 17) {
    TQuillEncryption quill([start] { return start; });
    const std::string scrambled = Quill(quill, TQuillEncryption::atEncryption, plain);
    EXPECT_EQ(Quill(quill, TQuillEncryption::atDecryption, scrambled), plain) << start;
    // A trailing odd digit is ignored.
    EXPECT_EQ(Quill(quill, TQuillEncryption::atDecryption, scrambled + "7"), plain) << start;
  }
}

TEST(QuillEncryptionTest, EmptyInputGivesEmptyOutputBothWays) {
  TQuillEncryption quill;
  quill.Output = "stale";
  EXPECT_EQ(Quill(quill, TQuillEncryption::atEncryption, ""), "");
  quill.Output = "stale";
  EXPECT_EQ(Quill(quill, TQuillEncryption::atDecryption, ""), "");
  // Only a start value: no bytes.
  EXPECT_EQ(Quill(quill, TQuillEncryption::atDecryption, "5A"), "");
}

TEST(QuillEncryptionTest, TextThatIsNotHexadecimalRaisesAndLeavesOutputAlone) {
  TQuillEncryption quill;
  for (const char* bad : {"ZZ01", "00Z1", "2AE92EFF15G6EF", "secret"}) {
    quill.Output = "before";
    quill.Key = kSetupScramblerKey;
    quill.Action = TQuillEncryption::atDecryption;
    quill.Input = bad;
    EXPECT_THROW(quill.Execute(), EQuillError) << bad;
    EXPECT_EQ(quill.Output, "before");
  }
  quill.Input = "2AE92EFF15G6EF";
  try {
    quill.Execute();
  } catch (const EQuillError& error) {
    EXPECT_STREQ(error.what(), "\"G6\" is not a valid hexadecimal value.");
  }
}

}  // namespace
}  // namespace ferrowyn
