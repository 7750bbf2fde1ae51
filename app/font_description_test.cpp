// Font descriptions and colour texts: reading with every rule, the partial update
// on failure, building, and the colour text's two forms.
#include "app/font_description.h"

#include <gtest/gtest.h>

#include "base/color_text.h"

namespace ferrowyn {
namespace {

constexpr Rgb kNavy{0x00, 0x00, 0x80};
constexpr Rgb kBlue{0x00, 0x00, 0xFF};
constexpr Rgb kGray{0x80, 0x80, 0x80};

FontRecord Read(std::string_view description, FontRecord font = {"Courier", 14, kNavy, 0}) {
  ReadFontDescription(description, font);
  return font;
}

TEST(FontDescriptionTest, ReadsTheDefaultsAndStyleWordsInAnyOrder) {
  EXPECT_EQ(Read("Times New Roman,12,Bold,Black,Underline"),
            (FontRecord{"Times New Roman", 12, kBlack, kFontBold | kFontUnderline}));
  EXPECT_EQ(Read("Times New Roman,10,Red"), (FontRecord{"Times New Roman", 10, kRed, 0}));
  EXPECT_EQ(Read("Arial,10,Italic,Bold,Navy"),
            (FontRecord{"Arial", 10, kNavy, kFontBold | kFontItalic}));
  EXPECT_EQ(Read("Arial,7,Strikeout,Underline,Italic,Bold,white").style,
            kFontBold | kFontItalic | kFontUnderline | kFontStrikeout);
}

TEST(FontDescriptionTest, FewerThanTwoCommasGiveTheFallbackFont) {
  const FontRecord fallback{"Times New Roman", 10, kBlack, 0};
  EXPECT_EQ(Read("Arial,12"), fallback);
  EXPECT_EQ(Read(""), fallback);
  EXPECT_EQ(Read("Arial Bold Red"), fallback);
}

TEST(FontDescriptionTest, WordsAreFoundAnywhereStylesByCaseColoursWithout) {
  // Style words match inside other words, with exact case only.
  EXPECT_EQ(Read("Arial,10,Boldface,Reddish").style, kFontBold);
  EXPECT_EQ(Read("Arial,10,BOLD,italic,RED"), (FontRecord{"Arial", 10, kRed, 0}));
  // Colour words are tried in a fixed order, and the first present decides.
  EXPECT_EQ(Read("Arial,10,Red,Blue").color, kBlue);
  EXPECT_EQ(Read("Arial,10,DkGray").color, kGray);
  EXPECT_EQ(Read("Arial,10,LtGray").color, kGray);  // "gray" comes before "ltgray"
  EXPECT_EQ(Read("Arial,10,clSilver").color, (Rgb{0xC0, 0xC0, 0xC0}));
  // The face name is not searched.
  EXPECT_THROW(Read("Red Bold Sans,10,x"), EFontDescriptionError);
}

TEST(FontDescriptionTest, FailureKeepsTheFieldsSetBeforeIt) {
  FontRecord font{"Courier", 14, kNavy, kFontItalic};
  try {
    ReadFontDescription("Arial,x,Bold,Blue", font);
    FAIL() << "a letter as size must fail";
  } catch (const EFontDescriptionError& error) {
    EXPECT_STREQ(error.what(), "\"x\" is not a valid font size.");
  }
  EXPECT_EQ(font, (FontRecord{"Arial", 14, kNavy, kFontItalic}));

  try {
    ReadFontDescription("Verdana,11,Bold,Underline", font);
    FAIL() << "a description without a colour word must fail";
  } catch (const EFontDescriptionError& error) {
    EXPECT_STREQ(error.what(),
                 "The font description \"Verdana,11,Bold,Underline\" names no colour.");
  }
  EXPECT_EQ(font, (FontRecord{"Verdana", 11, kNavy, kFontItalic}));
}

TEST(FontDescriptionTest, BuildsInTheFixedOrderAndReadsBackForEveryStandardColour) {
  EXPECT_EQ(BuildFontDescription(
                {"Arial", 10, kNavy, kFontStrikeout | kFontUnderline | kFontItalic | kFontBold}),
            "Arial,10,Bold,Italic,Underline,Strikeout,Navy");
  EXPECT_EQ(BuildFontDescription({"Times New Roman", 9, kBlue, 0}), "Times New Roman,9,Blue");
  for (const auto& standard : StandardColors()) {
    for (unsigned style = 0; style < 16; ++style) {
      const FontRecord font{"Courier New", 8 + static_cast<int>(style), standard.rgb, style};
      EXPECT_EQ(Read(BuildFontDescription(font)), font) << BuildFontDescription(font);
    }
  }
}

TEST(ColorTextTest, WritesStandardNamesOrDollarHex) {
  EXPECT_EQ(ColorToString(kRed), "clRed");
  EXPECT_EQ(ColorToString({0xC0, 0xC0, 0xC0}), "clSilver");
  EXPECT_EQ(ColorToString({0x12, 0x34, 0x56}), "$00563412");
  EXPECT_EQ(ColorToString({0xFF, 0x00, 0x01}), "$000100FF");
  for (const auto& standard : StandardColors()) {
    EXPECT_EQ(StringToColor(ColorToString(standard.rgb)), standard.rgb) << standard.name;
  }
}

TEST(ColorTextTest, ReadsNamesInAnyCaseHexAndDecimal) {
  EXPECT_EQ(StringToColor("CLRED"), kRed);
  EXPECT_EQ(StringToColor("clnavy"), kNavy);
  EXPECT_EQ(StringToColor("$00563412"), (Rgb{0x12, 0x34, 0x56}));
  EXPECT_EQ(StringToColor("$563412"), (Rgb{0x12, 0x34, 0x56}));
  EXPECT_EQ(StringToColor("$ff"), kRed);
  EXPECT_EQ(StringToColor("255"), kRed);
  EXPECT_EQ(StringToColor("16711680"), kBlue);
  for (const char* unreadable :
       {"", "red", "cl", "$", "$0G", "$000000001", "$80000008", "-1", "12a", " 255", "16777216"}) {
    EXPECT_EQ(StringToColor(unreadable), std::nullopt) << unreadable;
  }
}

}  // namespace
}  // namespace ferrowyn
