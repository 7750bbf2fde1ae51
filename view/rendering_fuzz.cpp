// Fuzz target for the graphic-free rendering: any stored record and keyword text must
// survive, and the linear conversion, line cutting, highlighting and title removal must
// give exactly what the slow reference gives; a difference aborts. The first byte picks
// the options and whether the rest is raw bytes or a page built from tag-rich pieces.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "query/keyword_parsing.h"
#include "tests/support/literal_rendering.h"
#include "view/filter_amps.h"
#include "view/highlighting.h"
#include "view/html_rendering.h"
#include "view/page_rendering.h"
#include "view/plain_text.h"
#include "view/text_rendering.h"

namespace {

// The references rescan the text after every change; past this size a run would take too
// long for the fuzzer to get anywhere, so larger inputs only have to survive one rendering.
constexpr std::size_t kReferenceLimit = 4096;

void Check(bool same, const char* what) {
  if (!same) {
    std::fprintf(stderr, "rendering differs from the reference: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  namespace t = ferrowyn::testing;
  const unsigned selector = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  // Keywords (or the keyword text) come from the input's first part, up to a zero byte.
  const std::size_t split = input.find('\0');
  const std::string_view head = input.substr(0, split == std::string_view::npos ? 0 : split);
  const std::string_view tail = split == std::string_view::npos ? input : input.substr(split + 1);

  const bool generated = selector & 1;
  const bool matchcase = selector & 2;
  const bool wholeword = selector & 4;
  // A generated page is some five times longer than its tokens; keep it to a size that
  // the reference can check.
  const std::string page = generated ? t::PageFromTokens(tail.substr(0, 800)) : std::string(tail);
  const std::vector<std::string> keywords =
      generated ? t::KeywordsFromTokens(head.substr(0, 8))
                : ferrowyn::HighlightKeywordList(head.substr(0, 64));

  const std::string color = (selector & 8) ? "#00FF00" : "<\">";
  ferrowyn::PageHighlight highlight{keywords, color, matchcase, wholeword, true, true};
  const ferrowyn::PageRendering marked = ferrowyn::RenderPage(page, highlight);
  Check(marked.HtmlLines.size() == 1, "one HTML line");
  // Terminal text: no control character but the line ends and the reverse-video switches.
  ferrowyn::PlainTextStyle terminal;
  terminal.width = 1 + static_cast<int>(selector >> 4);
  terminal.reverse = true;
  terminal.utf8 = selector & 16;
  terminal.markopening = ferrowyn::HighlightOpening(color);
  const std::string text = ferrowyn::PlainText(marked.TextLines, terminal);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == 0x1b) {
      const std::string_view rest = std::string_view(text).substr(i);
      Check(rest.starts_with("\x1b[7m") || rest.starts_with("\x1b[27m"), "escape");
    } else {
      Check(c == '\n' || (c >= 0x20 && c != 0x7f), "control character");
    }
  }
  if (page.size() > kReferenceLimit) return 0;

  const ferrowyn::PageRendering plain = ferrowyn::RenderPage(page);
  Check(plain.HtmlLines.size() == 1, "one HTML line");
  std::string amps(page);
  ferrowyn::filteramps(amps);
  Check(ferrowyn::SplitKeywords(head, ferrowyn::KeywordRepeats::kKeep) ==
            t::LiteralSplitKeywords(std::string(head), true),
        "highlight keyword list");
  Check(ferrowyn::SplitKeywords(head, ferrowyn::KeywordRepeats::kDrop) ==
            t::LiteralSplitKeywords(std::string(head), false),
        "keyword list");
  const std::string formatted = ferrowyn::formathtmltags(page);
  Check(formatted == t::LiteralFormatHtmlTags(page), "formathtmltags");
  Check(ferrowyn::TextOnlyLines(formatted) == t::LiteralTextOnlyLines(formatted), "lines");
  Check(ferrowyn::TextOnlyLines(page) == t::LiteralTextOnlyLines(page), "lines of raw text");
  const std::string html = ferrowyn::highlightkeywords(page, keywords, color, matchcase, wholeword);
  Check(html == t::LiteralHighlightKeywords(page, keywords, color, matchcase, wholeword),
        "highlightkeywords");
  std::string fast_title = html;
  std::string literal_title = html;
  Check(ferrowyn::TakeTitle(fast_title) == t::LiteralTakeTitle(literal_title), "caption");
  Check(fast_title == literal_title, "title removal");
  return 0;
}
