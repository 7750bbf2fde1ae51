// TSimulGo: the query worker of one query slot. Its thread takes pages from the query
// queue, matches them against its own keyword list and hands each match back as a result
// row; everything that touches shared state is a synchronised call onto the GUI thread.
#pragma once

#include <QThread>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/query_queue.h"
#include "query/page_matching.h"

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
  // Set while the worker takes or matches a page.
  std::atomic<bool> Busy{false};

  // The page under test; PageUrl is empty when the queue had none.
  QueryPageText PageText;
  std::string PageUrl;
  // The result row's cells and the hits it adds.
  std::string HitsText, FoundText;
  std::int64_t PageHits = 0;
  std::string StatusText;

 protected:
  // The worker loop (`Execute`).
  void run() override;

 private:
  // Runs `step` on the GUI thread while this thread waits; rethrows its failure here.
  void Sync(const std::function<void()>& step);
  // Matches PageText; true when the page is to be listed.
  bool MatchPage();
  // GUI thread, inside a synchronised call: the end of a page (its row and hits when
  // `listed`, the slot row back to "Inactive", the end test).
  void FinishPage(bool listed);

  QueryRun& run_;
  PageMatcher matcher_;
};

}  // namespace ferrowyn
