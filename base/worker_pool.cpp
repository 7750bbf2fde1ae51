// The workers' wake-up, hold, retried passes and end.
#include "base/worker_pool.h"

#include <QCoreApplication>
#include <QThread>
#include <QtGlobal>
#include <exception>
#include <string>

namespace ferrowyn {

void WorkerWake::Wake() {
  {
    std::lock_guard lock(mutex_);
    ++generation_;
  }
  wake_.notify_all();
}

std::uint64_t WorkerWake::Generation() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

void WorkerWake::WaitAfter(std::uint64_t generation, const std::function<bool()>& stop) {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [&] { return generation_ != generation || stop(); });
}

void WorkerWake::Hold() {
  std::lock_guard lock(mutex_);
  held_ = true;
}

void WorkerWake::Release() {
  {
    std::lock_guard lock(mutex_);
    held_ = false;
  }
  wake_.notify_all();
}

void WorkerWake::WaitWhileHeld() {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return !held_; });
}

bool RunWorkerPasses(std::string_view worker, const std::function<bool()>& pass,
                     const std::function<void()>& recover, const std::function<bool()>& stopping) {
  const std::string name(worker);
  int failed = 0;
  while (!stopping()) {
    std::string failure;
    try {
      if (!pass()) return true;
      failed = 0;
      continue;
    } catch (const std::exception& error) {
      failure = error.what();
    } catch (...) {
      failure = "unknown failure";
    }
    recover();
    ++failed;
    qWarning("%s: a pass failed (%d in a row): %s", name.c_str(), failed, failure.c_str());
    if (failed >= kMaxFailedPasses) {
      qWarning("%s: gives up after %d failed passes in a row", name.c_str(), failed);
      return false;
    }
  }
  return true;
}

void ServeEventsUntil(const std::function<bool()>& ended) {
  while (!ended()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
}

}  // namespace ferrowyn
