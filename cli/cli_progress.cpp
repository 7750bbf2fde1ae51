// The crawl's live progress block on a terminal.
#include "cli/cli_progress.h"

#include <string>
#include <vector>

#include "app/search_center.h"

namespace ferrowyn::cli {

namespace {
constexpr int kRedrawMilliseconds = 250;
constexpr std::size_t kLineWidth = 100;  // slot texts are cut to keep one line each
}  // namespace

CrawlProgress::CrawlProgress(Tsearchmain& main, std::FILE* out, bool with_queries)
    : main_(main), out_(out), with_queries_(with_queries) {
  timer_.setInterval(kRedrawMilliseconds);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Draw(); });
}

CrawlProgress::~CrawlProgress() { Stop(); }

void CrawlProgress::Start() { timer_.start(); }

void CrawlProgress::Stop() {
  if (!timer_.isActive()) return;
  timer_.stop();
  // Up to the block's first line, then clear to the end of the screen.
  if (lines_drawn_ > 0) std::fprintf(out_, "\x1b[%dA\x1b[J", lines_drawn_);
  lines_drawn_ = 0;
  std::fflush(out_);
}

void CrawlProgress::Draw() {
  const SearchCenterState& state = main_.state();
  std::vector<std::string> lines;
  std::string summary =
      "  " + state.elapsedview + "  pages " + state.numproc + "  kilobytes " + state.bytestran;
  if (with_queries_) summary += "  searched " + state.pagesavl + "  hits " + state.hits;
  lines.push_back(summary);
  SlotViewModel& slotrows = main_.slotview();
  for (int slot = 1; slot <= 4; ++slot) {
    lines.push_back("  Search " + std::to_string(slot) + ": " + slotrows.SearchAction(slot));
  }
  if (with_queries_) {
    for (int slot = 1; slot <= 4; ++slot) {
      lines.push_back("  Query " + std::to_string(slot) + ": " + slotrows.QueryAction(slot));
    }
  }
  if (lines_drawn_ > 0) std::fprintf(out_, "\x1b[%dA", lines_drawn_);
  for (std::string& line : lines) {
    if (line.size() > kLineWidth) line.resize(kLineWidth);
    std::fprintf(out_, "\x1b[K%s\n", line.c_str());
  }
  lines_drawn_ = static_cast<int>(lines.size());
  std::fflush(out_);
}

}  // namespace ferrowyn::cli
