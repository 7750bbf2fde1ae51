// The query queue: the stored pages waiting for the query workers, and the prepared copy
// of every page of the site that later queries on the same site reuse.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "store/record_store.h"

namespace ferrowyn {

// A page's query text, held only while the page waits for a worker or is matched.
using QueryPageText = std::shared_ptr<const std::string>;

// One page for the query workers. Its text is either given (a page that a running crawl
// has just stored) or read from its query record in the site store by the worker that
// takes it, so that a query holds no more than the pages being matched.
struct QueryPage {
  std::string url;
  QueryPageText text;  // null: read the record at `place`
  TQDB::ItemPlace place{};
  // The record holds the text as the crawl made it, followed by CR LF (a page the crawl
  // stored); otherwise the text is the record's lines, each after a blank (a page read
  // by the preparation pass).
  bool crawled = false;
};

// Owned by the main window's controller; GUI thread only (workers reach it through
// synchronised calls).
struct QueryQueue {
  // Pages waiting to be matched; workers take from the front.
  std::deque<QueryPage> querypending;
  // The prepared copy: every page of the site, in the order added, by place only.
  std::vector<QueryPage> preparedcopy;
  // Reads the places of the prepared copy and of the pending pages.
  std::shared_ptr<const TQDB::PlaceReader> reader;

  // A page of the preparation pass: to the queue and the prepared copy.
  void AddStoredPage(std::string url, TQDB::ItemPlace place) {
    QueryPage page{std::move(url), nullptr, place, false};
    preparedcopy.push_back(page);
    querypending.push_back(std::move(page));
  }
  // A page a running crawl has just stored: its text waits in the queue, the prepared
  // copy keeps only where its record lies.
  void AddCrawledPage(std::string text, std::string url, TQDB::ItemPlace place) {
    preparedcopy.push_back({url, nullptr, place, true});
    querypending.push_back(
        {std::move(url), std::make_shared<const std::string>(std::move(text)), place, true});
  }
  // The prepared copy to the queue again, for the next query on the same site.
  void RequeuePrepared() { querypending.assign(preparedcopy.begin(), preparedcopy.end()); }
  void ClearPending() { querypending.clear(); }
  void ClearPrepared() {
    preparedcopy.clear();
    preparedcopy.shrink_to_fit();
    reader.reset();
  }
};

}  // namespace ferrowyn
