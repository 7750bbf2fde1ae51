// The workers' retried passes: a failure is logged and the next pass follows, and a worker
// whose passes keep failing gives up instead of spinning for ever.
#include "base/worker_pool.h"

#include <gtest/gtest.h>

#include <QString>
#include <QtGlobal>
#include <stdexcept>
#include <string>
#include <vector>

namespace ferrowyn {
namespace {

std::vector<std::string>* warnings = nullptr;

void Collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtWarningMsg && warnings) warnings->push_back(text.toStdString());
}

class WorkerPassesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    warnings = &logged_;
    previous_ = qInstallMessageHandler(Collect);
  }
  void TearDown() override {
    qInstallMessageHandler(previous_);
    warnings = nullptr;
  }
  std::vector<std::string> logged_;
  QtMessageHandler previous_ = nullptr;
};

TEST_F(WorkerPassesTest, FailuresAreLoggedAndRetriedUntilTheWorkIsDone) {
  int passes = 0, recovered = 0;
  const bool ended = RunWorkerPasses(
      "crawl worker 2",
      [&] {
        ++passes;
        if (passes == 2) throw std::runtime_error("disk full");
        if (passes == 4) throw 7;
        return passes < 6;
      },
      [&] { ++recovered; }, [] { return false; });
  EXPECT_TRUE(ended);
  EXPECT_EQ(passes, 6);
  EXPECT_EQ(recovered, 2);
  // Failures apart from each other count one at a time.
  EXPECT_EQ(logged_, (std::vector<std::string>{
                         "crawl worker 2: a pass failed (1 in a row): disk full",
                         "crawl worker 2: a pass failed (1 in a row): unknown failure"}));
}

TEST_F(WorkerPassesTest, AWorkerWhosePassesKeepFailingGivesUp) {
  int passes = 0;
  const bool ended = RunWorkerPasses(
      "query worker 1",
      [&]() -> bool {
        ++passes;
        throw std::runtime_error("broken");
      },
      [] {}, [] { return false; });
  EXPECT_FALSE(ended);
  EXPECT_EQ(passes, kMaxFailedPasses);
  ASSERT_EQ(logged_.size(), static_cast<std::size_t>(kMaxFailedPasses) + 1);
  EXPECT_EQ(logged_[7], "query worker 1: a pass failed (8 in a row): broken");
  EXPECT_EQ(logged_[8], "query worker 1: gives up after 8 failed passes in a row");
}

}  // namespace
}  // namespace ferrowyn
