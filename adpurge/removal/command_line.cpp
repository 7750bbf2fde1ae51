// Command line tokens and options.
#include "adpurge/removal/command_line.h"

#include <cstddef>

namespace adpurge {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view token, std::string_view option) {
  if (token.size() < option.size()) return false;
  for (std::size_t i = 0; i < option.size(); ++i) {
    if (Lower(token[i]) != Lower(option[i])) return false;
  }
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> tokens;
  std::size_t pos = 0;
  for (;;) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    std::string token;
    bool quoted = false;
    for (; pos < text.size() && (quoted || !IsBlank(text[pos])); ++pos) {
      if (text[pos] == '"') {
        quoted = !quoted;
      } else {
        token += text[pos];
      }
    }
    if (token.empty()) return tokens;
    tokens.push_back(std::move(token));
  }
}

Options ReadOptions(const std::vector<std::string>& tokens) {
  Options options;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::string& token = tokens[i];
    if (StartsWithNoCase(token, "-appname")) {
      if (i + 1 < tokens.size()) options.app_name = tokens[++i];
    } else if (StartsWithNoCase(token, "-dontask")) {
      options.dont_ask = true;
    } else if (StartsWithNoCase(token, "-noerrorgui")) {
      options.no_error_gui = true;
    }
  }
  return options;
}

}  // namespace adpurge
