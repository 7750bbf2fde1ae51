// The start URL check shared by the search page and the build wizards: what a typed
// start URL becomes before a crawl starts, and when it is refused.
#pragma once

#include <string>

namespace ferrowyn {

inline constexpr char kHttpsUrlPrefix[] = "https://";

// Puts "http://" in front of `url` unless its first seven characters, lower-cased, are
// "http://"; with `allowhttps` a URL whose first eight are "https://" is kept as typed
// too. Returns false (and leaves `url` alone) when the URL is nothing but that prefix,
// in any letter case. Pure; any thread.
bool CompleteStartUrl(std::string& url, bool allowhttps);

}  // namespace ferrowyn
