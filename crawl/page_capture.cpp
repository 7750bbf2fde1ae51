// Page capture on the GUI thread, and the worker-side preparation that leads to it.
#include "crawl/page_capture.h"

#include <exception>
#include <utility>

#include "base/case_folding.h"
#include "crawl/page_assembly.h"
#include "store/qdb_errors.h"
#include "store/record_store.h"
#include "store/site_layout.h"

namespace ferrowyn {

void PreparePage(std::vector<std::string>& PageLines, LinkPage& page, bool allow_https) {
  page.Base = MakePageBase(page.CurrentUrl, allow_https);
  AssembledPage assembled = AssemblePage(PageLines);
  // An empty body stays empty, so that StorePage leaves it out.
  if (!PageLines.empty()) PageLines.assign(1, std::move(assembled.DisplayText));
  page.PageText = std::move(assembled.PageText);
}

PageCapture::PageCapture(TQDB& QDB, SiteMapTarget& mainview, PageListTarget& urllistview,
                         MailListTarget& maillist, QueryQueue& queries)
    : QDB_(QDB),
      mainview_(mainview),
      urllistview_(urllistview),
      maillist_(maillist),
      queries_(queries) {}

SiteMapNode PageCapture::AddPageNode(SiteMapNode PageNode, std::string_view CurrentUrl,
                                     const std::atomic<bool>& Stopping) {
  if (Stopping.load()) return PageNode;
  try {
    const SiteMapNode node = PageNode == kNoNode
                                 ? mainview_.AddTopLevelNode(CurrentUrl, kStartPageImage)
                                 : mainview_.AddChildNode(PageNode, CurrentUrl, kPageImage);
    return node == kNoNode ? PageNode : node;
  } catch (const std::exception&) {
    return PageNode;  // the page goes on without its node
  }
}

PreparedPage PreparePageRecords(const std::vector<std::string>& PageLines, std::string QueryText) {
  PreparedPage page;
  page.Empty = PageLines.empty();
  if (page.Empty) return page;
  page.Display = TQDB::PrepareItem(JoinRecordLines(PageLines));
  page.Query = TQDB::PrepareItem(QueryText + "\r\n");
  page.QueryText = std::move(QueryText);
  return page;
}

StoreOutcome PageCapture::StorePage(const std::string& CurrentUrl, const PreparedPage& page,
                                    bool livequery, bool& DbError,
                                    const std::function<void()>& StopForLimit) {
  if (page.Empty) return StoreOutcome::kNothing;
  TQDB::ItemPlace place;
  try {
    QDB_.AddPreparedItem(page.Display, DisplayKey(CurrentUrl));
    QDB_.AddPreparedItem(page.Query, QueryKey(CurrentUrl));
    place = QDB_.CurrentPlace();
    QDB_.Commit();
    // Later queries on this site read the page back through the store's reader.
    if (livequery && !queries_.reader) queries_.reader = QDB_.Reader();
  } catch (const EQDBIndexError&) {
    return StoreOutcome::kRefused;
  } catch (const std::exception&) {
    DbError = true;
    if (StopForLimit) StopForLimit();
    return StoreOutcome::kDatabaseError;
  }
  if (livequery) queries_.AddCrawledPage(page.QueryText, CurrentUrl, place);
  return StoreOutcome::kStored;
}

void PageCapture::AddPageListRow(std::string_view CurrentUrl, std::string_view PageTitle,
                                 const std::atomic<bool>& Stopping) {
  if (Stopping.load() || CurrentUrl.empty()) return;
  try {
    urllistview_.AddRow(CurrentUrl, PageTitle);
  } catch (const std::exception&) {
    // A row that cannot be added is left out; the crawl goes on.
  }
}

void PageCapture::AddRejectedNode(SiteMapNode PageNode, std::string_view link) {
  try {
    mainview_.AddChildNode(PageNode, link, kPageImage);
  } catch (const std::exception&) {
    // A leaf that cannot be added is left out; the crawl goes on.
  }
}

void PageCapture::AddMailAddress(std::string_view MailAddress, const std::atomic<bool>& Stopping) {
  if (Stopping.load()) return;
  try {
    std::string lower(MailAddress);
    for (char& c : lower) c = Latin1Lower(c);
    maillist_.AddAddress(lower);
  } catch (const std::exception&) {
    // An address that cannot be added is left out; the crawl goes on.
  }
}

}  // namespace ferrowyn
