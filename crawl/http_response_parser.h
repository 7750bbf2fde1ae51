// Incremental reader of one HTTP/1.0 response as its blocks arrive from the
// socket: status line, header lines up to the empty line, then raw body blocks.
//
// Pure: no sockets, no Qt, no shared state; one object per connection, used on
// one thread. Never throws for any input; a header line longer than the limit
// given at construction ends the response in phase kLineTooLong instead.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ferrowyn {

class HttpResponseParser {
 public:
  // Where the response stands after the blocks fed so far.
  enum class Phase {
    kHeaders,      // still reading header lines
    kBody,         // the empty line has been read and there was no Location header
    kRedirect,     // the empty line has been read after a Location header
    kErrorStatus,  // a status of 400 or more was read; nothing more is read
    kLineTooLong,  // a header line passed the line limit; nothing more is read
    // The first line was not a status line with a code, or the connection closed before
    // any line arrived: not an HTTP response, and nothing more is read.
    kNoStatusLine,
  };

  // A header line, however many blocks it spans, is taken whole up to this size.
  static constexpr size_t kDefaultMaxLineBytes = size_t{1} << 20;

  explicit HttpResponseParser(size_t max_line_bytes = kDefaultMaxLineBytes);

  // Takes the next received block and returns the body bytes it holds, as a view
  // into `block` (the part after the empty line, or the whole block once the
  // headers have ended). Empty while headers go on and after the response has
  // reached kRedirect, kErrorStatus, kLineTooLong or kNoStatusLine, whose remaining
  // bytes are ignored. So body bytes come only after a status line with a code.
  std::string_view Feed(std::string_view block);

  // The connection has closed: a last header line that had no line feed is taken
  // as a line (it can still carry the status or a Location). A response that never
  // got a status line ends in kNoStatusLine.
  void Finish();

  Phase phase() const { return phase_; }
  // 0 until a status line has been read; 0 in kNoStatusLine.
  int status_code() const { return status_code_; }
  const std::string& reason_phrase() const { return reason_phrase_; }
  // The value of the last Location header ("" when there was none).
  const std::string& location() const { return location_; }
  bool has_location() const { return has_location_; }

 private:
  void TakeLine(std::string_view line);

  size_t max_line_bytes_;
  Phase phase_ = Phase::kHeaders;
  bool first_line_ = true;
  int status_code_ = 0;
  std::string reason_phrase_;
  std::string location_;
  bool has_location_ = false;
  std::string pending_;  // the start of a header line whose line feed has not arrived
};

}  // namespace ferrowyn
