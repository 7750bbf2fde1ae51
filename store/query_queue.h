// The query queue: the stored pages waiting for the query workers, and the prepared copy
// of every page of the site that later queries on the same site reuse.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/byte_blocks.h"
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

// The prepared copy: pages by place only, in the order added. Their URLs lie back to back
// in a few large blocks, so that a large site's copy costs little more than its URLs.
class PreparedPages {
 public:
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  // The page, without a text.
  QueryPage operator[](std::size_t i) const {
    const Entry& entry = entries_[i];
    return {std::string(entry.url, entry.size), nullptr, entry.place, entry.crawled};
  }
  // Room for `count` pages in all, claimed at once.
  void reserve(std::size_t count) { entries_.reserve(count); }
  void push_back(std::string_view url, TQDB::ItemPlace place, bool crawled) {
    entries_.push_back({urls_.Keep({url}), url.size(), place, crawled});
  }
  void clear() {
    std::vector<Entry>().swap(entries_);
    urls_.Clear();
  }

  // Walks the pages, each made as operator[] makes it.
  class const_iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = QueryPage;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = QueryPage;
    const_iterator(const PreparedPages& pages, std::size_t at) : pages_(&pages), at_(at) {}
    QueryPage operator*() const { return (*pages_)[at_]; }
    const_iterator& operator++() {
      ++at_;
      return *this;
    }
    bool operator==(const const_iterator& other) const { return at_ == other.at_; }

   private:
    const PreparedPages* pages_;
    std::size_t at_;
  };
  const_iterator begin() const { return {*this, 0}; }
  const_iterator end() const { return {*this, size()}; }

 private:
  struct Entry {
    const char* url;
    std::size_t size;
    TQDB::ItemPlace place;
    bool crawled;
  };
  std::vector<Entry> entries_;
  ByteBlocks urls_;
};

// Owned by the main window's controller; GUI thread only (workers reach it through
// synchronised calls).
struct QueryQueue {
  // Pages a running crawl has stored, with their texts, waiting to be matched.
  std::deque<QueryPage> querypending;
  // The prepared copy: every page of the site, in the order added, by place only.
  PreparedPages preparedcopy;
  // Reads the places of the prepared copy and of the pending pages.
  std::shared_ptr<const TQDB::PlaceReader> reader;

  // A page of the preparation pass: to the prepared copy, where it waits for a worker
  // without a second copy of its URL (a large site's query holds one entry a page). The
  // pass starts on a queue without waiting pages (ClearPrepared or ClearPending).
  void AddStoredPage(std::string_view url, TQDB::ItemPlace place) {
    if (prepared_end_ != preparedcopy.size()) prepared_next_ = prepared_end_ = preparedcopy.size();
    preparedcopy.push_back(url, place, false);
    prepared_end_ = preparedcopy.size();
  }
  // A page a running crawl has just stored: its text waits in the queue, the prepared
  // copy keeps only where its record lies.
  void AddCrawledPage(std::string text, std::string url, TQDB::ItemPlace place) {
    preparedcopy.push_back(url, place, true);
    querypending.push_back(
        {std::move(url), std::make_shared<const std::string>(std::move(text)), place, true});
  }
  // The prepared copy to the queue again, for the next query on the same site.
  void RequeuePrepared() {
    querypending.clear();
    prepared_next_ = 0;
    prepared_end_ = preparedcopy.size();
  }
  void ClearPending() {
    querypending.clear();
    prepared_next_ = prepared_end_ = preparedcopy.size();
  }
  void ClearPrepared() {
    preparedcopy.clear();
    prepared_next_ = prepared_end_ = 0;
    reader.reset();
  }

  // Pages waiting for a worker: those of the prepared copy first, then the crawled ones.
  std::size_t PendingCount() const { return prepared_end_ - prepared_next_ + querypending.size(); }
  bool NothingPending() const { return PendingCount() == 0; }
  // Moves up to `count` waiting pages, from the front, to `out` (which is emptied first).
  void TakePending(std::size_t count, std::vector<QueryPage>& out) {
    out.clear();
    const std::size_t stored = std::min(count, prepared_end_ - prepared_next_);
    out.reserve(stored);
    for (std::size_t i = 0; i < stored; ++i) out.push_back(preparedcopy[prepared_next_ + i]);
    prepared_next_ += stored;
    const auto crawled = static_cast<std::ptrdiff_t>(std::min(count - stored, querypending.size()));
    out.insert(out.end(), std::make_move_iterator(querypending.begin()),
               std::make_move_iterator(querypending.begin() + crawled));
    querypending.erase(querypending.begin(), querypending.begin() + crawled);
  }

 private:
  // preparedcopy[prepared_next_, prepared_end_) wait for a worker.
  std::size_t prepared_next_ = 0;
  std::size_t prepared_end_ = 0;
};

}  // namespace ferrowyn
