// Parsing and writing the verbatim INI-like settings text.
#include "app/settings_file_format.h"

#include <cstdio>

namespace ferrowyn {

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendEscaped(std::string& out, std::string_view text, bool is_name) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F || (is_name && i == 0 && byte == 0xEF)) {
      // A leading 0xEF could pass for a byte order mark at the top of the file.
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else if (is_name &&
               (c == '=' || c == '[' || c == ']' || (i == 0 && (c == ';' || c == '#')))) {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\\' || i + 1 == text.size()) {
      out += c;
      continue;
    }
    const char next = text[i + 1];
    switch (next) {
      case '\\':
      case '=':
      case '[':
      case ']':
      case ';':
      case '#':
        out += next;
        ++i;
        break;
      case 'n':
        out += '\n';
        ++i;
        break;
      case 'r':
        out += '\r';
        ++i;
        break;
      case 't':
        out += '\t';
        ++i;
        break;
      case 'x':
        if (i + 3 < text.size() && HexValue(text[i + 2]) >= 0 && HexValue(text[i + 3]) >= 0) {
          out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
          i += 3;
        } else {
          out += c;
        }
        break;
      default:
        out += c;  // not ours: kept as it stands, so that hand-written paths survive
        break;
    }
  }
  return out;
}

// The position of the first "=" that is not escaped, or npos.
size_t FindSeparator(std::string_view line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '=') {
      return i;
    }
  }
  return std::string_view::npos;
}
}  // namespace

std::vector<SettingsEntry> ParseSettingsText(std::string_view text) {
  std::vector<SettingsEntry> entries;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::string section;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    // Names never start with a raw "[", so such a line is a section line or garbage.
    if (line.front() == '[') {
      if (line.size() >= 2 && line.back() == ']')
        section = Unescape(line.substr(1, line.size() - 2));
      continue;
    }
    const size_t separator = FindSeparator(line);
    if (separator == std::string_view::npos) continue;
    entries.push_back(
        {section, Unescape(line.substr(0, separator)), Unescape(line.substr(separator + 1))});
  }
  return entries;
}

std::string FormatSettingsText(const std::vector<SettingsEntry>& entries) {
  // Values outside any section must come before the first section line.
  std::vector<std::string> sections{""};
  for (const auto& entry : entries) {
    bool known = false;
    for (const auto& section : sections) known = known || section == entry.section;
    if (!known) sections.push_back(entry.section);
  }
  std::string out;
  for (const auto& section : sections) {
    if (!section.empty()) {
      if (!out.empty()) out += '\n';
      out += '[';
      AppendEscaped(out, section, true);
      out += "]\n";
    }
    for (const auto& entry : entries) {
      if (entry.section != section) continue;
      AppendEscaped(out, entry.name, true);
      out += '=';
      AppendEscaped(out, entry.value, false);
      out += '\n';
    }
  }
  return out;
}

}  // namespace ferrowyn
