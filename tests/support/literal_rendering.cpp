// The keyword splitting and the graphic-free rendering as the classic algorithms run them:
// search from the front, change the text in place, search from the front again.
#include "tests/support/literal_rendering.h"

#include "store/key_collation.h"

namespace ferrowyn::testing {

namespace {

constexpr std::size_t kNone = std::string::npos;

char LowerCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string LowerCase(std::string text) {
  for (char& c : text) c = LowerCase(c);
  return text;
}

std::string Trim(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 0x20) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 0x20) --last;
  return text.substr(first, last - first);
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Replaces every `from` by `to`, left to right, without looking at what was put in.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string result;
  std::size_t at = 0;
  for (;;) {
    const std::size_t found = text.find(from, at);
    if (found == kNone) break;
    result += text.substr(at, found - at);
    result += to;
    at = found + from.size();
  }
  return result + text.substr(at);
}

// While both are found in the lower-cased text and the first `open` comes before the first
// `close`, delete from that `open` through that `close`.
void RemovePairs(std::string& text, const std::string& open, const std::string& close) {
  for (;;) {
    const std::string lower = LowerCase(text);
    const std::size_t a = lower.find(open);
    const std::size_t b = lower.find(close);
    if (a == kNone || b == kNone || !(a < b)) return;
    text.erase(a, b + close.size() - a);
  }
}

bool IsLineBreakTag(const std::string& tag) {
  if (StartsWith(tag, "<tr") || StartsWith(tag, "<form")) return true;
  for (const char* word : {"<hr>", "</center>", "<li>", "<dt>", "<dd>", "</ul>", "</ol>", "</dl>",
                           "</table>", "<blockquote>", "</blockquote>", "</div>", "</form>"}) {
    if (tag == word) return true;
  }
  return false;
}

bool IsParagraphTag(const std::string& tag) {
  return StartsWith(tag, "<h") || StartsWith(tag, "<p align") || StartsWith(tag, "<div") ||
         StartsWith(tag, "</h");
}

bool IsCellTag(const std::string& tag) {
  return StartsWith(tag, "<td") || StartsWith(tag, "<th") || tag == "</td>" || tag == "</th>";
}

bool IsBlankLine(const std::string& line) {
  const std::string t = LowerCase(Trim(line));
  return t.empty() || t == "<br>" || t == "<p>";
}

}  // namespace

std::vector<std::string> LiteralSplitKeywords(const std::string& text, bool keep_repeats) {
  std::vector<std::string> list;
  auto add = [&](const std::string& keyword) {
    if (!keep_repeats) {
      for (const std::string& entry : list) {
        if (CompareKeys(entry, keyword, false) == 0) return;
      }
    }
    list.push_back(keyword);
  };
  std::string piece;
  bool phrase = false;
  for (const char c : text) {
    if (c == '"') {
      if (phrase) add(piece);
      piece.clear();
      phrase = !phrase;
    } else if (c == ' ' && !phrase) {
      piece = Trim(piece);
      if (!piece.empty()) add(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  piece = Trim(piece);
  if (!piece.empty()) add(piece);
  return list;
}

std::string LiteralFormatHtmlTags(std::string text) {
  text += "<eof>";
  {
    const std::string lower = LowerCase(text);
    const std::size_t a = lower.find("<title>");
    const std::size_t b = lower.find("</title>");
    if (a != kNone && b != kNone && a < b) text.erase(a, b + 8 - a);
  }
  RemovePairs(text, "<script", "</script>");
  RemovePairs(text, "<style", "</style>");
  RemovePairs(text, "<!--", "-->");
  for (;;) {
    const std::size_t lt = text.find('<');
    const std::size_t gt = text.find('>');
    if (lt == kNone || gt == kNone) break;
    if (gt < lt) {
      text.erase(gt, 1);
      continue;
    }
    const std::size_t length = gt - lt + 1;
    const std::string tag = LowerCase(text.substr(lt, length));
    if (tag == "<html>" || tag == "<head>") {
      text.erase(lt, length);
    } else if (IsLineBreakTag(tag)) {
      text.replace(lt, length,
                   "\xA5"
                   "br"
                   "\xB5");
    } else if (IsParagraphTag(tag)) {
      text.replace(lt, length,
                   "\xA5"
                   "p"
                   "\xB5");
    } else if (tag == "<br>" || tag == "<p>") {
      text[lt] = '\xA5';
      text[gt] = '\xB5';
    } else if (IsCellTag(tag)) {
      text.replace(lt, length, " ");
    } else {
      text.erase(lt, length);
      if (tag == "<eof>") break;
    }
  }
  text = ReplaceAll(text, "\xA5", "<");
  text = ReplaceAll(text, "\xB5", ">");
  return ReplaceAll(text, "&nbsp;", " ");
}

std::vector<std::string> LiteralTextOnlyLines(std::string text) {
  std::vector<std::string> lines;
  for (;;) {
    const std::string lower = LowerCase(text);
    const std::size_t br = lower.find("<br>");
    const std::size_t p = lower.find("<p>");
    if (br == kNone && p == kNone) break;
    const std::size_t cut = (p == kNone || (br != kNone && br < p)) ? br + 4 : p + 3;
    lines.push_back(text.substr(0, cut));
    text.erase(0, cut);
  }
  lines.push_back(text);
  for (bool again = true; again;) {
    again = false;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
      if (IsBlankLine(lines[i]) && IsBlankLine(lines[i + 1])) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
        again = true;
        break;
      }
    }
  }
  if (!lines.empty() && IsBlankLine(lines[0])) lines.erase(lines.begin());
  if (!lines.empty()) {
    std::string& first = lines[0];
    while (!first.empty() && first[0] == ' ') first.erase(0, 1);
    if (StartsWith(first, "<br>")) {
      first.erase(0, 4);
    } else if (StartsWith(first, "<p>")) {
      first.erase(0, 3);
    }
  }
  return lines;
}

std::string LiteralHighlightKeywords(std::string text, const std::vector<std::string>& keywords,
                                     const std::string& color, bool matchcase, bool wholeword) {
  if (keywords.empty()) return text;
  const std::string open = "<font color=\"" + color + "\"><b>";
  const std::string close = "</b></font>";
  for (const std::string& keyword : keywords) {
    if (keyword.empty()) continue;
    // Does the text at `at` begin with `piece` (compared lower-cased unless matching case)?
    auto begins = [&](std::size_t at, const std::string& piece) {
      if (text.size() - at < piece.size()) return false;
      for (std::size_t k = 0; k < piece.size(); ++k) {
        const char a = text[at + k];
        const char b = piece[k];
        if (matchcase ? a != b : LowerCase(a) != LowerCase(b)) return false;
      }
      return true;
    };
    // The five accepted forms of a whole word, each with its left boundary.
    const std::vector<std::pair<std::string, std::string>> forms = {
        {">", ">" + keyword + " "},
        {">", ">" + keyword + "<"},
        {" ", " " + keyword + "<"},
        {" ", " " + keyword + " "},
        {"&nbsp;", "&nbsp;" + keyword + " "}};
    bool intag = false;
    std::size_t i = 0;
    while (i < text.size()) {
      const char c = text[i];
      if (c == '<') {
        intag = true;
        ++i;
        continue;
      }
      if (c == '>') {
        intag = false;
        if (!wholeword) {
          ++i;
          continue;
        }
      } else if (intag) {
        ++i;
        continue;
      }
      if (!wholeword) {
        if (begins(i, keyword)) {
          text.insert(i + keyword.size(), close);
          text.insert(i, open);
          i += open.size() + keyword.size() + close.size();
        } else {
          ++i;
        }
        continue;
      }
      bool marked = false;
      for (const auto& [left, form] : forms) {
        if (begins(i, form)) {
          text.insert(i + left.size() + keyword.size(), close);
          text.insert(i + left.size(), open);
          i += left.size() + open.size() + keyword.size() + close.size();
          marked = true;
          break;
        }
      }
      if (!marked) ++i;
    }
  }
  return text;
}

std::string LiteralTakeTitle(std::string& text) {
  const std::string lower = LowerCase(text);
  const std::size_t a = lower.find("<title>");
  const std::size_t b = lower.find("</title>");
  std::string title;
  if (a != kNone && b != kNone && a < b) title = Trim(text.substr(a + 7, b - a - 7));
  if (!title.empty()) text.erase(a + 7, title.size());
  std::string caption = title;
  for (;;) {
    const std::size_t lt = caption.find('<');
    if (lt == kNone) break;
    const std::size_t gt = caption.find('>', lt);
    if (gt == kNone) break;
    caption.erase(lt, gt - lt + 1);
  }
  caption = Trim(caption);
  return caption.empty() ? "Untitled" : caption;
}

namespace {

// Pieces for generated pages. Upper and lower case, every tag rule, both placeholder bytes,
// the entity in both cases, stray and lone angle brackets, and the words the generated
// keywords use, often next to each boundary form.
const char* const kPieces[] = {
    " ",
    " ",
    "  ",
    "word",
    "Word",
    "WORD",
    "key",
    "Key",
    "keyword",
    "ke",
    "y",
    "a",
    "<",
    ">",
    "<<",
    ">>",
    "<br>",
    "<BR>",
    "<p>",
    "<P>",
    "<p align=center>",
    "<p class=x>",
    "<br/>",
    "<hr>",
    "<hr size=2>",
    "<html>",
    "</html>",
    "<head>",
    "</head>",
    "<title>",
    "</title>",
    "<TITLE>",
    "<script>",
    "</script>",
    "<SCRIPT lang=x>",
    "<style>",
    "</style>",
    "<!--",
    "-->",
    "<!-->",
    "<tr>",
    "<td>",
    "</td>",
    "<th>",
    "</th>",
    "<thead>",
    "<form>",
    "</form>",
    "<li>",
    "</ul>",
    "<h1>",
    "</h1>",
    "<div>",
    "</div>",
    "<center>",
    "</center>",
    "<b>",
    "</b>",
    "<a href=\"key\">",
    "</a>",
    "<img alt=key>",
    "<eof>",
    "<EOF>",
    "&nbsp;",
    "&NBSP;",
    "&nbsp",
    "&",
    "\xA5",
    "\xB5",
    "\xA5"
    "br"
    "\xB5",
    ",",
    "(",
    "\t",
    "\r",
    "\n",
    "\"",
    "<pre>",
    "</pre>",
    "key key",
    ">key<",
    " key ",
    "&nbsp;key ",
    "keykey",
    "word,",
};

const char* const kKeywordPieces[] = {"key", "Key", "KEY",     "keyword", "word", "y",
                                      "ke",  "a",   "key key", "b",       "br",   ""};

}  // namespace

std::string PageFromTokens(std::string_view seed) {
  std::string page;
  constexpr std::size_t count = sizeof(kPieces) / sizeof(kPieces[0]);
  for (const char c : seed) page += kPieces[static_cast<unsigned char>(c) % count];
  return page;
}

std::vector<std::string> KeywordsFromTokens(std::string_view seed) {
  std::vector<std::string> keywords;
  constexpr std::size_t count = sizeof(kKeywordPieces) / sizeof(kKeywordPieces[0]);
  for (const char c : seed)
    keywords.emplace_back(kKeywordPieces[static_cast<unsigned char>(c) % count]);
  return keywords;
}

}  // namespace ferrowyn::testing
