// Page capture: for every page a transfer slot has retrieved, its site-map node, its two
// site store records ("DISPLAYXX" and "QUERYXX" + URL), its page list row, the mail
// addresses among its links, its rejected links in the site map, and, during a dynamic
// query, its hand-over to the query workers.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "crawl/capture_targets.h"
#include "crawl/link_extraction.h"
#include "crawl/link_queue.h"
#include "crawl/query_text.h"
#include "store/query_queue.h"
#include "store/record_store.h"

namespace ferrowyn {

// Makes a retrieved page ready for storing (on the crawl worker's thread; the download
// limits are tested and the page stored afterwards, on the GUI thread):
//  1. page.Base := MakePageBase(page.CurrentUrl), where relative links are resolved from;
//  2. the lines are joined and decoded (AssemblePage): `PageLines` becomes the display text
//     as its only line (an empty body stays empty), page.PageText the page text.
// Throws std::bad_alloc.
void PreparePage(std::vector<std::string>& PageLines, LinkPage& page, bool allow_https = false);

// A page's two records made ready for the site store on the crawl worker's thread, so
// that the GUI thread, which every worker shares, only writes them: the display record
// (the page lines, each followed by CR LF) and the query record (the query text followed
// by CR LF), both already compressed.
struct PreparedPage {
  bool Empty = true;      // there were no page lines: nothing is stored
  std::string QueryText;  // what the query workers match
  TQDB::PreparedItem Display;
  TQDB::PreparedItem Query;
};
// Any thread; throws EQDBNoCompress when memory runs out.
PreparedPage PreparePageRecords(const std::vector<std::string>& PageLines, std::string QueryText);

// What StorePage did with a page.
enum class StoreOutcome {
  kNothing,        // `PageLines` was empty
  kStored,         // both records added and committed
  kRefused,        // EQDBIndexError: the key was stored already, or the store is read-only
  kDatabaseError,  // any other store failure: DbError set and the run stopped
};

// The crawl's page capture into the site store, the site map, the page list, the mail list
// and the query queue. Everything it changes is owned by the crawl controller and must
// outlive it. GUI thread only: the crawl workers call in through synchronised calls, one
// at a time. A failure of a view or list is ignored and store failures are reported as
// StorePage says, so nothing throws but the StopForLimit handed to StorePage.
class PageCapture {
 public:
  PageCapture(TQDB& QDB, SiteMapTarget& mainview, PageListTarget& urllistview,
              MailListTarget& maillist, QueryQueue& queries);

  // The page's own site-map node, added as soon as its transfer has succeeded: a new last
  // child of `PageNode` with the text `CurrentUrl` and image 0, or for the start page
  // (`PageNode` kNoNode) a new last top-level node with image 1. Gives the new node, which
  // becomes the worker's `PageNode`; gives `PageNode` unchanged when `Stopping` is set or
  // the node could not be added.
  SiteMapNode AddPageNode(SiteMapNode PageNode, std::string_view CurrentUrl,
                          const std::atomic<bool>& Stopping);

  // Stores a prepared page under `CurrentUrl` (keys cut to 255 characters): the display
  // record, then the query record, then Commit. A refusal (EQDBIndexError) skips the rest:
  // no query record when the display record was refused, no commit, no hand-over. Any
  // other store failure sets `DbError` and calls `StopForLimit` (the worker's, here on the
  // GUI thread). On success and when `livequery` is set, the query text and `CurrentUrl`
  // are appended to the pending queue and to the prepared copy.
  // The query text is made in full even when the worker has been told to stop: the record
  // pair of a stored page always matches, so a saved site never holds a page that no query
  // can find.
  StoreOutcome StorePage(const std::string& CurrentUrl, const PreparedPage& page, bool livequery,
                         bool& DbError, const std::function<void()>& StopForLimit);

  // Adds the page list row (`CurrentUrl`, `PageTitle`) unless `CurrentUrl` is empty, a row
  // has it as caption (letter case ignored), or `Stopping` is set. The worker's
  // LinkExtractionHooks::AddPageListRow calls it through a synchronised call.
  void AddPageListRow(std::string_view CurrentUrl, std::string_view PageTitle,
                      const std::atomic<bool>& Stopping);

  // A link found on the page of `PageNode` but not queued (a repeat, too deep, out of
  // scope): a new last child of `PageNode` with the text `link` and image 0. Nothing when
  // `PageNode` names no node. QueueLinks' AddRejectedNode calls it (already on the GUI
  // thread) with the worker's `PageNode`.
  void AddRejectedNode(SiteMapNode PageNode, std::string_view link);

  // Appends `MailAddress` lower-cased to the mail list unless the list holds it (letter
  // case ignored) or `Stopping` is set. The worker's LinkExtractionHooks::AddMailAddress
  // calls it through a synchronised call. Lower case here folds ASCII and Latin-1 capitals,
  // as the site store's keys do.
  void AddMailAddress(std::string_view MailAddress, const std::atomic<bool>& Stopping);

 private:
  TQDB& QDB_;
  SiteMapTarget& mainview_;
  PageListTarget& urllistview_;
  MailListTarget& maillist_;
  QueryQueue& queries_;
};

}  // namespace ferrowyn
