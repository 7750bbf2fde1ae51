// The workers' priority: lowered for the worker's own thread only.
#include "base/worker_priority.h"

#include <gtest/gtest.h>

#include <QThread>

#if defined(__linux__)
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

int OwnNice() { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); }

TEST(WorkerPriorityTest, TheWorkerThreadRunsAtTheLowestNiceAndTheCallerKeepsItsOwn) {
  const int before = OwnNice();
  int worker_nice = -100;
  int worker_policy = -1;
  QThread* thread = QThread::create([&] {
    LowerWorkerPriority();
    worker_nice = OwnNice();
    worker_policy = sched_getscheduler(0);
  });
  thread->start();
  ASSERT_TRUE(thread->wait(5000));
  delete thread;
  EXPECT_EQ(worker_nice, 19);
  // Still the ordinary scheduler, which gives a low-priority thread its share; not the
  // one that runs it only on an otherwise idle processor.
  EXPECT_EQ(worker_policy, SCHED_OTHER);
  EXPECT_EQ(OwnNice(), before);
}

}  // namespace
}  // namespace ferrowyn
#endif
