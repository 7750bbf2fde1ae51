// Slow reference versions of link extraction and page assembly (see the header).
#include "tests/support/literal_link_extraction.h"

namespace ferrowyn::testing {

namespace {

// ASCII and Latin-1 capitals to small letters.
std::string Lower(std::string s) {
  for (char& c : s) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
      c = static_cast<char>(u + 0x20);
  }
  return s;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string Trim(const std::string& s) {
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

void ReplaceUntilNoneLeft(std::string& s, const std::string& from, const std::string& to) {
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from))
    s.replace(p, from.size(), to);
}

std::string LiteralTitle(const std::string& text) {
  const std::string low = Lower(text);
  std::string title;
  const size_t open = low.find("<title>");
  const size_t close = low.find("</title>");
  if (open != std::string::npos && close != std::string::npos && close > open)
    title = text.substr(open + 7, close - (open + 7));
  title = Trim(title);

  std::string done;
  for (;;) {
    const size_t amp = title.find('&');
    const size_t semi = title.find(';');
    if (amp == std::string::npos || semi == std::string::npos || semi < amp) break;
    const std::string entity = Lower(title.substr(amp, semi - amp + 1));
    std::string replacement;
    if (entity == "&amp;") replacement = "&";
    if (entity == "&nbsp;") replacement = " ";
    done += title.substr(0, amp) + replacement;
    title.erase(0, semi + 1);
  }
  title = done + title;
  if (title.empty()) title = "Untitled";
  return title;
}

// Decodes "&#" + decimal digits + ";" and "&#x" (or "&#X") + hexadecimal digits + ";"
// when the number is that of a printable ASCII character other than the blank, cutting
// the value from the front as it goes.
std::string LiteralDecodeReferences(std::string value) {
  std::string done;
  for (;;) {
    const size_t amp = value.find("&#");
    if (amp == std::string::npos) break;
    done += value.substr(0, amp);
    value.erase(0, amp);
    const bool hexadecimal = value.size() > 2 && (value[2] == 'x' || value[2] == 'X');
    const std::string digits = hexadecimal ? "0123456789abcdefABCDEF" : "0123456789";
    const size_t start = hexadecimal ? 3 : 2;
    size_t end = value.find_first_not_of(digits, start);
    bool decoded = false;
    if (end != std::string::npos && end > start && value[end] == ';') {
      const std::string number = value.substr(start, end - start);
      const size_t significant = number.find_first_not_of('0');
      // More than three significant digits name no ASCII character in either base.
      if (significant == std::string::npos || number.size() - significant <= 3) {
        const unsigned long code = std::stoul(number, nullptr, hexadecimal ? 16 : 10);
        if (code > 32 && code < 127) {
          done += static_cast<char>(code);
          value.erase(0, end + 1);
          decoded = true;
        }
      }
    }
    if (!decoded) {
      done += "&";
      value.erase(0, 1);
    }
  }
  return done + value;
}

}  // namespace

std::string LiteralRemoveComments(std::string text) {
  for (;;) {
    const size_t open = text.find("<!--");
    if (open == std::string::npos) break;
    const size_t close = text.find("-->");
    if (close == std::string::npos || close < open) break;
    text.erase(open, close + 3 - open);
  }
  return text;
}

LiteralLinkScan LiteralScanPage(std::string page_text, const std::vector<std::string>& file_types) {
  LiteralLinkScan result;
  std::string text = LiteralRemoveComments(std::move(page_text));
  result.title = LiteralTitle(text);

  enum Kind { kHref, kFrame, kOption, kParam };
  const std::string keywords[] = {"href", "frame ", "option ", "param "};
  for (;;) {
    const std::string low = Lower(text);
    size_t first = std::string::npos;
    Kind kind = kHref;
    for (int k = 0; k < 4; ++k) {
      const size_t at = low.find(keywords[k]);
      if (at < first) {
        first = at;
        kind = static_cast<Kind>(k);
      }
    }
    if (first == std::string::npos) break;
    text.erase(0, first + keywords[kind].size());

    size_t gt = text.find('>');
    if (kind != kHref) {
      const std::string word = kind == kFrame ? "src" : "value";
      const size_t at = Lower(text).find(word);
      if (gt == std::string::npos || at == std::string::npos || at > gt) {
        if (gt != std::string::npos) text.erase(0, gt + 1);
        continue;
      }
      text.erase(0, at + word.size());
    }

    gt = text.find('>');
    const size_t eq = text.find('=');
    if (gt == std::string::npos || eq == std::string::npos) break;
    if (eq > gt) {
      text.erase(0, gt + 1);
      continue;
    }
    // As many characters after the "=" as stand before the ">".
    std::string value = Trim(text.substr(eq + 1, gt));
    text.erase(0, gt + 1);

    const size_t alt = Lower(value).find(" alt");
    if (alt != std::string::npos) value.erase(alt);

    if (kind == kOption || kind == kParam) {
      bool typed = false;
      for (const std::string& type : file_types)
        if (Lower(value).find(Lower(type)) != std::string::npos) typed = true;
      if (!typed) continue;
    }

    if (!value.empty() && (value.front() == '"' || value.front() == '\'')) {
      value.erase(0, 1);
      if (value.empty()) continue;
    }
    if (!value.empty() && (value.back() == '"' || value.back() == '\'')) value.pop_back();
    const size_t quote = value.find('"');
    if (quote != std::string::npos) value.erase(quote);
    value = Trim(value);
    if (value.empty()) continue;
    result.values.push_back(LiteralDecodeReferences(value));
  }
  return result;
}

LiteralAssembledPage LiteralAssemblePage(const std::vector<std::string>& page_lines) {
  // The lines as one text with CR LF after each, split again the way a line list reads a
  // text: at CR LF, CR or LF, with no line after the final break.
  std::string all;
  for (const std::string& line : page_lines) all += line + "\r\n";
  std::vector<std::string> lines;
  std::string current;
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i] == '\r' || all[i] == '\n') {
      if (all[i] == '\r' && i + 1 < all.size() && all[i + 1] == '\n') ++i;
      lines.push_back(current);
      current.clear();
    } else {
      current += all[i];
    }
  }
  if (!current.empty()) lines.push_back(current);

  std::string text;
  for (const std::string& line : lines) text += " " + Trim(line);
  ReplaceUntilNoneLeft(text, "&amp;", "&");
  ReplaceUntilNoneLeft(text, "&quot;", "\"");
  ReplaceUntilNoneLeft(text, "&copy", "\xA9");
  LiteralAssembledPage page;
  page.display_text = text;
  for (char& c : text)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  ReplaceUntilNoneLeft(text, "&nbsp;", " ");
  page.page_text = text;
  return page;
}

}  // namespace ferrowyn::testing
