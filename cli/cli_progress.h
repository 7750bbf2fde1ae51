// The live progress display of a crawl on a terminal: elapsed time, pages, kilobytes and
// what each slot is doing, redrawn in place a few times a second.
#pragma once

#include <QTimer>
#include <cstdio>

namespace ferrowyn {
class Tsearchmain;
}

namespace ferrowyn::cli {

// Lives while the run goes; main thread only. Draws nothing unless started, and clears
// its block when stopped, so that the run's message follows on a clean line.
class CrawlProgress {
 public:
  CrawlProgress(Tsearchmain& main, std::FILE* out, bool with_queries);
  ~CrawlProgress();
  void Start();
  void Stop();

 private:
  void Draw();

  Tsearchmain& main_;
  std::FILE* out_;
  bool with_queries_;
  int lines_drawn_ = 0;
  QTimer timer_;
};

}  // namespace ferrowyn::cli
