// Fuzz target for rebuilding the site map, page list and mail list from record bytes:
// arbitrary bytes either give a tree or the site map error, and whatever is read back
// survives being written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/site_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ferrowyn;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  try {
    const SiteMapTree tree = ReadWebMap(bytes);
    if (tree.empty() || tree.front().Text != kPlaceholder) {
      if (ReadWebMap(WriteWebMap(tree)) != tree) std::abort();
    }
  } catch (const ESiteMapError&) {
    // The defined outcome for a line more than one level too deep.
  }

  const auto rows = ReadWebList(bytes);
  if (ReadWebList(WriteWebList(rows)) != rows) std::abort();

  const auto lines = ReadEmail(bytes);
  if ((lines.empty() || lines.front() != kPlaceholder) && ReadEmail(WriteEmail(lines)) != lines)
    std::abort();
  return 0;
}
