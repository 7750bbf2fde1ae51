// The URL queue of a crawl run and QueueLinks, which decides which of a page's candidate
// links are new, not too deep and in scope, records them in the URL store and queues them.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "crawl/url_toolkit.h"

namespace ferrowyn {

class TQDB;

// An opaque handle of a site-map node, given out by the site map model (an id or a
// pointer value). kNoNode stands for "no node", as for the start URL.
using SiteMapNode = std::uintptr_t;
inline constexpr SiteMapNode kNoNode = 0;

// One queued job: a URL and the site-map node of the page on which it was found.
struct QueuedUrl {
  std::string Url;
  SiteMapNode Node = kNoNode;
  bool operator==(const QueuedUrl&) const = default;
};

// First in, first out: append at the back, take from the front. GUI thread only.
using UrlQueue = std::deque<QueuedUrl>;

// The URL store's record for the start URL.
inline constexpr std::string_view kUrlRecord = "URL\r\n";

// What QueueLinks needs to know about the page whose candidates it queues.
// Records the start URL of a run (cut to 255 characters) with the data kUrlRecord, so
// that links back to it are repeats. An EQDBIndexError (already there) is ignored; any
// other store failure propagates to the caller, which abandons the start.
// GUI thread only.
void AddStartUrl(TQDB& urldb, std::string_view start_url);

struct QueuePage {
  SiteMapNode PageNode = kNoNode;  // the page's own site-map node, paired with its links
  int Depth = 0;                   // ancestors of that node; the start page has 0
};

struct LevelLimit {
  bool LimitLevels = false;
  int MaxLevels = 3;  // a page is too deep when Depth >= MaxLevels; negative: every page
};

struct QueueLinksResult {
  int QueuedCount = 0;  // links of this page appended to the queue
  // A URL store failure other than EQDBIndexError ended QueueLinks; the caller sets the
  // worker's DbError and stops the run with the database error. ErrorText holds what().
  bool DbError = false;
  std::string ErrorText;
};

// Queues the page's candidates, in two passes:
//  1. The seen test, in candidate order. An index page ("index.htm" in the lower-cased
//     file name) is folded to its directory without the final "/"; the folded key k, k +
//     "/" (when the name has no ".", "?", "=", or there is no name and k does not end in
//     "/") and k without its final "/" are looked up, each cut to 255 characters. A hit,
//     or EQDBIndexError from adding k, makes the candidate a repeat: AddRejectedNode.
//     Otherwise k has been added (empty data) and committed.
//  2. When the page is too deep every remaining candidate goes to AddRejectedNode; else
//     each in scope (InScope) is appended to `queue` with page.PageNode, the rest go to
//     AddRejectedNode.
// So every link that reaches the second pass is in the URL store: a link too deep or out
// of scope is not queued later in the run either.
// `StopAll` (may be empty) is tested before each candidate of both passes; when it gives
// true the rest of the page is left unqueued. Calling UpdateIdleAfterPage afterwards is
// the caller's business.
// GUI thread only (owner of `urldb`, `queue` and the site map). Throws only
// std::bad_alloc; store failures come back in the result.
QueueLinksResult QueueLinks(const std::vector<std::string>& Candidates, const QueuePage& page,
                            const CrawlOrigin& origin, const LevelLimit& levels, TQDB& urldb,
                            UrlQueue& queue,
                            const std::function<void(const std::string& link)>& AddRejectedNode,
                            const std::function<bool()>& StopAll);

}  // namespace ferrowyn
