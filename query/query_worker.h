// TSimulGo: the query worker of one query slot. Its thread takes pages from the query
// queue a few at a time, matches them against its own keyword list and hands the matches
// back as result rows; everything that touches shared state is a synchronised call onto
// the GUI thread, one per batch of pages.
#pragma once

#include <QThread>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "query/page_matching.h"
#include "store/query_queue.h"

namespace ferrowyn {

class QueryRun;

// One object per slot and query, made by QueryRun::StartWorkers and deleted on the GUI
// thread once its thread has ended (after QueryRun::querythreadterminated).
//
// The fields below the constants are written on the GUI thread inside synchronised calls
// and read by the worker thread after the call has returned (and the other way round for
// the result fields); the atomics are shared freely.
class TSimulGo : public QThread {
  Q_OBJECT

 public:
  TSimulGo(QueryRun& run, int SlotNo, std::string KeywordText, std::vector<std::string> KeywordList,
           MatchOptions options, bool Standalone);

  const int SlotNo;
  const std::string KeywordText;
  const std::vector<std::string> KeywordList;
  const bool MatchAny;
  const bool WholeWord;
  const bool MatchCase;
  // A query over a stored site (true) or alongside a crawl.
  const bool Standalone;

  // The stop request, written on the GUI thread and polled by the worker.
  std::atomic<bool> Stopping{false};
  // The worker ended because its passes kept failing (read once its thread has ended).
  bool GaveUp = false;
  // Set while the worker takes or matches a page.
  std::atomic<bool> Busy{false};

  // The pages taken in one visit to the GUI thread, matched in order; empty when the queue
  // had none. `Reader` reads those that carry no text.
  std::vector<QueryPage> Batch;
  std::shared_ptr<const TQDB::PlaceReader> Reader;
  // What matching gave for each page of the batch, handed back in one visit.
  struct PageResult {
    std::string url;
    bool listed = false;
    std::int64_t hits = 0;
    std::string found;
    std::optional<std::string> unreadable;  // the store's message: the record was not read
  };
  std::vector<PageResult> Results;
  // The page whose result is being handed back: its URL, result row cells and hits.
  std::string PageUrl;
  std::string HitsText, FoundText;
  std::int64_t PageHits = 0;
  std::string StatusText;

 protected:
  // The worker loop (`Execute`).
  void run() override;

 private:
  // Runs `step` on the GUI thread while this thread waits; rethrows its failure here.
  void Sync(const std::function<void()>& step);
  // Matches the pages of Batch into Results, reading those that carry no text; a page
  // that cannot be read is not listed. Stops early when told to stop.
  void MatchBatch();

  QueryRun& run_;
  const bool lowerpriority_;  // read on the GUI thread when the worker is made
  PageMatcher matcher_;
  PageReadBuffers buffers_;
};

}  // namespace ferrowyn
