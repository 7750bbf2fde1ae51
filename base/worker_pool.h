// What the crawl's and the query's pools of worker threads share: the wake-up their idle
// workers sleep on, the hold that keeps them from their next step, the loop that retries a
// failed pass a bounded number of times, and the end that keeps serving their synchronised
// calls until every thread has ended.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>

namespace ferrowyn {

// Owned by the run that owns the workers, and outlives them. Every operation may be called
// from any thread; none throws.
class WorkerWake {
 public:
  // Counts one more wake-up and wakes every worker in WaitAfter or WaitWhileHeld. Whoever
  // makes a worker's `stop` condition true calls it afterwards.
  void Wake();
  // The wake-ups counted so far, for a later WaitAfter.
  std::uint64_t Generation() const;
  // Worker thread: blocks until a wake-up after `generation` has been counted or `stop`
  // gives true (tested at once and after every wake-up).
  void WaitAfter(std::uint64_t generation, const std::function<bool()>& stop);

  // Hold: workers that call WaitWhileHeld block until Release.
  void Hold();
  void Release();
  void WaitWhileHeld();

 private:
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::uint64_t generation_ = 0;  // guarded by mutex_
  bool held_ = false;             // guarded by mutex_
};

// Failed passes in a row after which a worker gives up.
inline constexpr int kMaxFailedPasses = 8;

// Worker thread: calls `pass` until it gives false or `stopping` gives true. A pass that
// throws is logged (as a warning naming `worker` and the failure), `recover` puts the
// worker back in order (it must not throw), and the next pass follows; after
// kMaxFailedPasses passes in a row have failed the worker gives up, which is logged too.
// True when the passes ended normally, false when the worker gave up.
bool RunWorkerPasses(std::string_view worker, const std::function<bool()>& pass,
                     const std::function<void()>& recover, const std::function<bool()>& stopping);

// GUI thread: handles the thread's events, among them the workers' synchronised calls,
// until `ended` gives true. A run that is destroyed while its workers run stops them and
// joins them this way: a worker may be inside a synchronised call onto this thread.
void ServeEventsUntil(const std::function<bool()>& ended);

}  // namespace ferrowyn
