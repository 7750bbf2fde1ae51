// Fuzz target for the keyword grammar: any keyword text must split without harm, into
// exactly what the slow reference gives, with and without repeats; a difference aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "query/keyword_parsing.h"
#include "tests/support/literal_rendering.h"

namespace {

// The reference looks for repeats by walking the list; longer texts only have to survive.
constexpr std::size_t kReferenceLimit = 8192;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> list = ferrowyn::parsekeywords(text);
  const std::vector<std::string> all =
      ferrowyn::SplitKeywords(text, ferrowyn::KeywordRepeats::kKeep);
  if (list.size() > all.size()) std::abort();
  if (size > kReferenceLimit) return 0;
  if (list != ferrowyn::testing::LiteralSplitKeywords(text, false) ||
      all != ferrowyn::testing::LiteralSplitKeywords(text, true)) {
    std::fprintf(stderr, "keyword splitting differs from the reference\n");
    std::abort();
  }
  return 0;
}
