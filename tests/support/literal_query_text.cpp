// The query text conversion by repeated first-occurrence searches over the whole text,
// lower-casing a fresh copy for every search that ignores case.
#include "tests/support/literal_query_text.h"

#include <string_view>

namespace ferrowyn::testing {

namespace {

constexpr std::size_t kNone = std::string::npos;

std::string LowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

// While the lower-cased text contains `open` and its first `close` comes after its first
// `open`, delete from that `open` through that `close`.
void RemovePairs(std::string& text, const std::string& open, const std::string& close) {
  for (;;) {
    const std::string lower = LowerCase(text);
    const std::size_t a = lower.find(open);
    const std::size_t b = lower.find(close);
    if (a == kNone || b == kNone || !(b > a)) return;
    text.erase(a, b - a + close.size());
  }
}

bool IsSpaceTag(const std::string& tag) {
  for (const char* word : {"<hr>", "</center>", "<li>", "<dt>", "<dd>", "</ul>", "</ol>", "</dl>",
                           "</table>", "<blockquote>", "</blockquote>", "</div>", "</form>", "<br>",
                           "<p>", "</td>", "</th>", "</tr>"}) {
    if (tag == word) return true;
  }
  for (const char* prefix : {"<form", "<h", "</h", "<p align", "<div", "<td", "<th", "<tr"}) {
    if (std::string_view(tag).starts_with(prefix)) return true;
  }
  return false;
}

}  // namespace

std::string LiteralMakeQueryText(std::string text, bool WithinTags, bool WithinTitles,
                                 bool WithinComments) {
  // 1. The title.
  if (!WithinTitles) {
    const std::string lower = LowerCase(text);
    const std::size_t a = lower.find("<title>");
    const std::size_t b = lower.find("</title>");
    if (a != kNone && b != kNone && b > a) text.erase(a, b - a + 8);
  }
  // 2. The comments.
  if (!WithinComments) {
    for (;;) {
      const std::size_t a = text.find("<!--");
      const std::size_t b = text.find("-->");
      if (a == kNone || b == kNone || !(b > a)) break;
      text.erase(a, b - a + 3);
    }
  }
  // 3. Scripts, styles and tags.
  if (!WithinTags) {
    RemovePairs(text, "<script", "</script>");
    RemovePairs(text, "<style", "</style>");
    for (;;) {
      const std::size_t a = text.find('<');
      const std::size_t b = text.find('>');
      if (a != kNone && b != kNone && b < a) {
        text.erase(b, 1);
        continue;
      }
      if (a == kNone || b == kNone) break;
      const std::size_t length = b - a + 1;
      const std::string tag = LowerCase(text.substr(a, length));
      if (tag == "<eof>") {
        text.erase(a, length);
        break;
      }
      if (tag == "<html>" || tag == "<head>") {
        text.erase(a, length);
      } else if (IsSpaceTag(tag)) {
        text.replace(a, length, " ");
      } else {
        text.erase(a, length);
      }
    }
  }
  return text;
}

}  // namespace ferrowyn::testing
