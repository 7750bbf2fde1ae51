// Terminal text from the text-only rendering: marks as reverse video, wrapping, the code
// page, and no control character from the page reaching the terminal.
#include "view/plain_text.h"

#include <gtest/gtest.h>

#include "view/highlighting.h"

namespace ferrowyn {
namespace {

TEST(PlainTextTest, MarksWrappingAndControls) {
  PlainTextStyle style;
  style.width = 10;
  style.reverse = true;
  style.markopening = HighlightOpening("#FF0000");
  const std::string mark = style.markopening;
  // Nested marks stay reversed until the outer one closes; a word longer than the width
  // is cut; the mark is switched off at the end of each line and on again after it.
  EXPECT_EQ(PlainText({"a " + mark + "big " + mark + "cat</b></font></b></font> ok<br>",
                       mark + "abcdefghijklmno</b></font><p>", ""},
                      style),
            "a \x1b[7mbig cat\x1b[27m\nok\n\x1b[7mabcdefghij\x1b[27m\n\x1b[7mklmno\x1b[27m\n\n");

  // An escape written as an entity or as a raw byte, and C1 bytes, become blanks; the code
  // page's 0x80 is the euro sign; Latin-1 output replaces what it cannot show.
  style = PlainTextStyle();
  EXPECT_EQ(PlainText({"x&#27;[2Jy\x1b]0;t\x07z \x80 \x81&#x263A;&bogus; &lt;b&gt;"}, style),
            "x [2Jy ]0;t z \u20ac ?\u263a&bogus; <b>\n");
  style.utf8 = false;
  EXPECT_EQ(PlainText({"\xe9&eacute;&#8364;"}, style), "\xe9\xe9?\n");
}

}  // namespace
}  // namespace ferrowyn
