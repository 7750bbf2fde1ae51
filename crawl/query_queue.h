// The query queue: the stored pages waiting for the query workers, and the prepared copy
// of every page of the site that later queries on the same site reuse.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace ferrowyn {

// Owned by the main window's controller; GUI thread only (workers reach it through
// synchronised calls). The lists of each pair are kept the same length: entry i of the
// texts goes with entry i of the URLs.
struct QueryQueue {
  // Page texts waiting to be matched and their URLs; workers take from the front.
  std::deque<std::string> querypending;
  std::deque<std::string> querypendingurls;
  // The prepared copy: every page text and URL of the site, in the order added.
  std::vector<std::string> querytexts;
  std::vector<std::string> queryurls;
};

}  // namespace ferrowyn
