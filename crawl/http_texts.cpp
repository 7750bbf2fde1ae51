// The request texts shared by the client, the crawl and ferrowyn-cli.
#include "crawl/http_texts.h"

#include <algorithm>

namespace ferrowyn {

bool HoldsControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
  });
}

std::string HttpErrorText(int status_code, std::string_view reason_phrase) {
  return "\"" + std::to_string(status_code) + ": " + std::string(reason_phrase) + ".\"";
}

void LoadMemoFromMemoryStream(std::vector<std::string>& lines, std::string_view stream) {
  size_t pos = 0;
  while (pos < stream.size()) {
    size_t end = stream.find('\r', pos);
    if (end == std::string_view::npos) end = stream.size();
    std::string_view line = stream.substr(pos, end - pos);
    const size_t nul = line.find('\0');
    if (nul != std::string_view::npos) line = line.substr(0, nul);
    lines.emplace_back(line);
    pos = end;
    if (pos < stream.size() && stream[pos] == '\r') ++pos;
    if (pos < stream.size() && stream[pos] == '\n') ++pos;
  }
}

}  // namespace ferrowyn
