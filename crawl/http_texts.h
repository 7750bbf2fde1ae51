// What a request's outcome and settings are read and written as, apart from the client
// itself: its failure, the crawl's error text, received bytes as lines, and the rule
// for values that cannot go into a request.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

// The failure of a request: an error status (400 or more) from the server, or
// one of the client's own failures, which all carry status 404 and a reason
// phrase ("can't resolve hostname to IP address", "Connection aborted.", ...).
// what() is the reason phrase.
class EHttpException : public std::runtime_error {
 public:
  EHttpException(const std::string& reason_phrase, int status_code)
      : std::runtime_error(reason_phrase), status_code_(status_code) {}
  int StatusCode() const { return status_code_; }
  std::string ReasonPhrase() const { return what(); }

 private:
  int status_code_;
};

// A failed retrieval as the crawl reports it: the status, ": ", the reason
// phrase and a full stop, between quotation marks ("404: Not Found.").
std::string HttpErrorText(int status_code, std::string_view reason_phrase);

// Splits received page bytes into lines: a line ends at CR, and the CR and one
// LF directly after it are skipped; the last line runs to the end of the data
// with or without a line break; each line is cut at its first NUL byte. A lone
// LF stays inside its line. Appends to `lines`; empty data gives no lines.
void LoadMemoFromMemoryStream(std::vector<std::string>& lines, std::string_view stream);

// True when `text` holds a control character (a byte below 32, or 127: CR, LF, NUL,
// tab, ...). Such a value would end or add lines of a request, so the client refuses to
// send it; callers may check their input with the same rule.
bool HoldsControlCharacter(std::string_view text);

}  // namespace ferrowyn
