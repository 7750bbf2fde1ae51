// Incremental HTTP/1.0 response reader: lines end at LF (a CR before it is
// dropped); only the status and the Location header matter to the crawl.
#include "crawl/http_response_parser.h"

#include <algorithm>

#include "base/case_folding.h"

namespace ferrowyn {

namespace {

// The three characters of the status code, with blanks around them allowed;
// anything else that is not a number reads as 0.
int ParseStatusCode(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return 0;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

HttpResponseParser::HttpResponseParser(size_t max_line_bytes) : max_line_bytes_(max_line_bytes) {}

std::string_view HttpResponseParser::Feed(std::string_view block) {
  if (phase_ == Phase::kBody) return block;
  size_t pos = 0;
  while (phase_ == Phase::kHeaders && pos < block.size()) {
    const size_t lf = block.find('\n', pos);
    if (lf == std::string_view::npos) {
      // The line goes on in a later block: keep it whole rather than cutting it at
      // the end of the receive buffer, which would make two headers of one.
      if (pending_.size() + (block.size() - pos) > max_line_bytes_) {
        phase_ = Phase::kLineTooLong;
        pending_.clear();
        return {};
      }
      pending_.append(block.substr(pos));
      return {};
    }
    std::string_view piece = block.substr(pos, lf - pos);
    pos = lf + 1;
    if (!pending_.empty()) {
      if (pending_.size() + piece.size() > max_line_bytes_) {
        phase_ = Phase::kLineTooLong;
        pending_.clear();
        return {};
      }
      pending_.append(piece);
      std::string line;
      line.swap(pending_);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      TakeLine(line);
    } else {
      if (piece.size() > max_line_bytes_) {
        phase_ = Phase::kLineTooLong;
        return {};
      }
      if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
      TakeLine(piece);
    }
  }
  if (phase_ == Phase::kBody) return block.substr(pos);
  return {};
}

void HttpResponseParser::Finish() {
  if (phase_ != Phase::kHeaders) return;
  std::string line;
  line.swap(pending_);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  // A final line without its line feed carries its status or header, but only
  // an empty line ends the headers, so the response stays without a body.
  if (!line.empty()) TakeLine(line);
  // A server that closed before sending a single line sent no response at all.
  if (first_line_) phase_ = Phase::kNoStatusLine;
}

void HttpResponseParser::TakeLine(std::string_view line) {
  if (first_line_) {
    first_line_ = false;
    if (line.size() >= 8 && (line.substr(0, 8) == "HTTP/1.0" || line.substr(0, 8) == "HTTP/1.1")) {
      status_code_ = line.size() > 9 ? ParseStatusCode(line.substr(9, 3)) : 0;
      reason_phrase_ = line.size() > 13 ? std::string(line.substr(13)) : std::string();
    }
    // Without a status there is no telling success from failure: whatever follows is
    // not taken as a page.
    if (status_code_ == 0) {
      reason_phrase_.clear();
      phase_ = Phase::kNoStatusLine;
      return;
    }
    // An error status ends the response at once: its body is never read.
    if (status_code_ >= 400) phase_ = Phase::kErrorStatus;
    return;
  }
  if (line.empty()) {
    phase_ = has_location_ ? Phase::kRedirect : Phase::kBody;
    return;
  }
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  if (!EqualsIgnoringAsciiCase(line.substr(0, colon), "location")) return;
  size_t value = colon + 1;
  while (value < line.size() && (line[value] == ' ' || line[value] == '\t')) ++value;
  location_ = std::string(line.substr(value));
  has_location_ = true;
}

}  // namespace ferrowyn
