// The query queue: the stored pages waiting for the query workers, and the prepared copy
// of every page of the site that later queries on the same site reuse.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace ferrowyn {

// A page's query text, shared by the pending queue, the prepared copy and the worker
// matching it, so that handing a site's pages to a new query copies no text.
using QueryPageText = std::shared_ptr<const std::string>;

// Owned by the main window's controller; GUI thread only (workers reach it through
// synchronised calls). The lists of each pair are kept the same length: entry i of the
// texts goes with entry i of the URLs.
struct QueryQueue {
  // Page texts waiting to be matched and their URLs; workers take from the front.
  std::deque<QueryPageText> querypending;
  std::deque<std::string> querypendingurls;
  // The prepared copy: every page text and URL of the site, in the order added.
  std::vector<QueryPageText> querytexts;
  std::vector<std::string> queryurls;

  // Appends a page to the pending queue only / to the queue and the prepared copy.
  void AddPending(QueryPageText text, std::string url) {
    querypending.push_back(std::move(text));
    querypendingurls.push_back(std::move(url));
  }
  void AddPage(const std::string& text, const std::string& url) {
    auto shared = std::make_shared<const std::string>(text);
    querytexts.push_back(shared);
    queryurls.push_back(url);
    AddPending(std::move(shared), url);
  }
  void ClearPending() {
    querypending.clear();
    querypendingurls.clear();
  }
  void ClearPrepared() {
    querytexts.clear();
    queryurls.clear();
  }
};

}  // namespace ferrowyn
