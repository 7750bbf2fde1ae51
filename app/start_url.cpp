// The start URL check.
#include "app/start_url.h"

#include <string_view>

#include "app/search_center_state.h"
#include "base/case_folding.h"

namespace ferrowyn {

bool CompleteStartUrl(std::string& url, bool allowhttps) {
  const std::string lower = AsciiLower(url);
  const std::string_view prefix =
      allowhttps && lower.starts_with(kHttpsUrlPrefix) ? kHttpsUrlPrefix : kUrlPrefix;
  if (!lower.starts_with(prefix)) {
    url = kUrlPrefix + url;
    return true;
  }
  return lower != prefix;
}

}  // namespace ferrowyn
