// Fuzz target: random bytes as an HTTP response, cut into receive blocks at
// positions taken from the input itself, through the incremental reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "crawl/http_response_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the block size and a small line limit now and then, so
  // that both the joining of lines and the limit are reached.
  const size_t block = 1 + data[0] % 64 * (data[0] & 0x80 ? 128 : 1);
  ferrowyn::HttpResponseParser parser(data[0] % 3 == 0 ? 32 : 8191);
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  size_t body = 0;
  for (size_t pos = 0; pos < input.size(); pos += block) {
    const std::string_view piece = input.substr(pos, block);
    const std::string_view out = parser.Feed(piece);
    // The body is always a tail of the block it came from.
    if (!out.empty() &&
        (out.data() < piece.data() || out.data() + out.size() != piece.data() + piece.size())) {
      std::abort();
    }
    body += out.size();
  }
  parser.Finish();
  if (body > input.size()) std::abort();
  using Phase = ferrowyn::HttpResponseParser::Phase;
  if (parser.phase() == Phase::kErrorStatus && parser.status_code() < 400) std::abort();
  if (parser.phase() == Phase::kRedirect && !parser.has_location()) std::abort();
  // Body bytes only ever follow a status line with a code.
  if (body > 0 && parser.status_code() == 0) std::abort();
  if (parser.phase() == Phase::kNoStatusLine && parser.status_code() != 0) std::abort();
  return 0;
}
