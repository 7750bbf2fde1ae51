// Fuzz target for reading query files: any bytes give a report without crashing, and
// whatever is read survives being written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/query_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ferrowyn;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const QueryFileContents contents = ReadQueryReport(bytes);

  QueryReport report;
  report.sitename = contents.sitename;
  report.datetime = contents.datetime.value_or("");
  report.keywords = contents.keywords;
  report.any = contents.any.value_or(true);
  report.wholeword = contents.wholeword.value_or(false);
  report.casesensitive = contents.casesensitive.value_or(false);
  report.rows = contents.rows;

  QueryFileContents expected = contents;
  expected.datetime = report.datetime;
  expected.any = report.any;
  expected.wholeword = report.wholeword;
  expected.casesensitive = report.casesensitive;
  if (ReadQueryReport(QueryReportText(report)) != expected) std::abort();
  return 0;
}
