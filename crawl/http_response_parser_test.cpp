// The response reader fed block by block, as the socket delivers them, and Base64.
#include "crawl/http_response_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "crawl/base64.h"

namespace ferrowyn {
namespace {

using Phase = HttpResponseParser::Phase;

TEST(Base64Test, EncodesWithPaddingKept) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("a"), "YQ==");
  EXPECT_EQ(Base64Encode("ab"), "YWI=");
  EXPECT_EQ(Base64Encode("abc"), "YWJj");
  EXPECT_EQ(Base64Encode("Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
  EXPECT_EQ(Base64Encode(std::string("\xff\xfe\x00", 3)), "//4A");
  EXPECT_EQ(Base64Encode("\xfb\xff"), "+/8=");
}

TEST(HttpResponseParserTest, StatusLineAndBodyInOneBlock) {
  HttpResponseParser parser;
  const std::string block = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhello";
  EXPECT_EQ(parser.Feed(block), "hello");  // Content-Length does not end the body
  EXPECT_EQ(parser.phase(), Phase::kBody);
  EXPECT_EQ(parser.status_code(), 200);
  EXPECT_EQ(parser.reason_phrase(), "OK");
  const std::string more("more\0bytes", 10);
  EXPECT_EQ(parser.Feed(more), more);
  EXPECT_FALSE(parser.has_location());
}

TEST(HttpResponseParserTest, StatusLineForms) {
  struct Case {
    const char* line;
    int code;
    const char* reason;
  };
  for (const Case& c : {Case{"HTTP/1.0 302 Moved Temporarily", 302, "Moved Temporarily"},
                        Case{"HTTP/1.1 204", 204, ""}}) {
    HttpResponseParser parser;
    EXPECT_EQ(parser.Feed(std::string(c.line) + "\n\nbody"), "body") << c.line;
    EXPECT_EQ(parser.status_code(), c.code) << c.line;
    EXPECT_EQ(parser.reason_phrase(), c.reason) << c.line;
  }
}

TEST(HttpResponseParserTest, ErrorStatusStopsReadingAtOnce) {
  HttpResponseParser parser;
  EXPECT_EQ(parser.Feed("HTTP/1.0 404 Not Found\r\nLocation: /x\r\n\r\nbody"), "");
  EXPECT_EQ(parser.phase(), Phase::kErrorStatus);
  EXPECT_EQ(parser.status_code(), 404);
  EXPECT_EQ(parser.reason_phrase(), "Not Found");
  EXPECT_FALSE(parser.has_location());
  EXPECT_EQ(parser.Feed("more"), "");
}

TEST(HttpResponseParserTest, LocationInAnyCaseMakesARedirectWhateverTheStatus) {
  HttpResponseParser parser;
  EXPECT_EQ(parser.Feed("HTTP/1.0 200 OK\r\nlOcAtIoN: \t /next\r\n\r\nignored"), "");
  EXPECT_EQ(parser.phase(), Phase::kRedirect);
  EXPECT_EQ(parser.location(), "/next");
  EXPECT_EQ(parser.status_code(), 200);
}

TEST(HttpResponseParserTest, LinesSplitAcrossBlocksAreJoined) {
  HttpResponseParser parser;
  for (const char* block :
       {"HTTP/1.0 30", "1 Moved\r", "\nLoca", "tion: http://b/", "c\r", "\n", "\r", "\nbo"}) {
    const std::string_view body = parser.Feed(block);
    if (parser.phase() == Phase::kHeaders) {
      EXPECT_EQ(body, "");
    }
  }
  EXPECT_EQ(parser.phase(), Phase::kRedirect);
  EXPECT_EQ(parser.status_code(), 301);
  EXPECT_EQ(parser.location(), "http://b/c");
}

TEST(HttpResponseParserTest, HeaderLongerThanTheReceiveBufferStaysOneHeader) {
  // Cut into receive-buffer blocks, a naive reader would see "Location: /evil"
  // start a header of its own at the block boundary.
  std::string response = "HTTP/1.0 200 OK\r\nX-Pad: ";
  response.append(8191 - response.size(), 'a');
  response += "Location: /evil\r\nLocation: /good\r\n\r\n";
  HttpResponseParser parser;
  parser.Feed(std::string_view(response).substr(0, 8191));
  parser.Feed(std::string_view(response).substr(8191));
  EXPECT_EQ(parser.phase(), Phase::kRedirect);
  EXPECT_EQ(parser.location(), "/good");

  HttpResponseParser single;
  single.Feed("HTTP/1.0 200 OK\r\nX-Pad: aaaa");
  single.Feed("Location: /evil\r\n\r\n");
  EXPECT_EQ(single.phase(), Phase::kBody);
}

TEST(HttpResponseParserTest, LineBeyondTheLimitEndsTheResponse) {
  HttpResponseParser parser(16);
  parser.Feed("HTTP/1.0 200 OK\r\n");
  parser.Feed("X-Long: 123456789");
  EXPECT_EQ(parser.phase(), Phase::kLineTooLong);
  EXPECT_EQ(parser.Feed("\r\n\r\nbody"), "");

  HttpResponseParser in_one_block(16);
  in_one_block.Feed("HTTP/1.0 200 OK\r\nX-Long: 1234567890\r\n\r\nbody");
  EXPECT_EQ(in_one_block.phase(), Phase::kLineTooLong);
}

TEST(HttpResponseParserTest, FinishTakesALastLineWithoutLineFeed) {
  HttpResponseParser error;
  error.Feed("HTTP/1.0 503 Busy");
  EXPECT_EQ(error.status_code(), 0);
  error.Finish();
  EXPECT_EQ(error.status_code(), 503);
  EXPECT_EQ(error.phase(), Phase::kErrorStatus);

  HttpResponseParser location;
  location.Feed("HTTP/1.0 302 Found\r\nLocation: /x");
  location.Finish();
  EXPECT_EQ(location.location(), "/x");
  EXPECT_EQ(location.phase(), Phase::kHeaders);  // never followed: the headers did not end
}

TEST(HttpResponseParserTest, ResponseWithoutStatusLineEndsWithoutBody) {
  for (const char* response :
       {"Server: x\n\n<html>", "\r\nHTTP/1.0 200 OK\r\n\r\nbody", "HTTP/1.1 2x0 Odd\n\nbody",
        "HTTP/2 200 OK\n\nbody", "http/1.0 200 OK\n\nbody", "HTTP/1.0\n\nbody"}) {
    HttpResponseParser parser;
    EXPECT_EQ(parser.Feed(response), "") << response;
    EXPECT_EQ(parser.phase(), Phase::kNoStatusLine) << response;
    EXPECT_EQ(parser.status_code(), 0) << response;
    EXPECT_EQ(parser.Feed("more"), "") << response;
  }
  // The server closed before a line arrived, or after half a line.
  for (const char* received : {"", "garbage"}) {
    HttpResponseParser parser;
    parser.Feed(received);
    parser.Finish();
    EXPECT_EQ(parser.phase(), Phase::kNoStatusLine) << received;
  }
}

}  // namespace
}  // namespace ferrowyn
