// The workers' thread priority.
#include "base/worker_priority.h"

#include <QThread>

#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace ferrowyn {

void LowerWorkerPriority() {
#if defined(__linux__)
  // On Linux a nice value set with a thread id applies to that thread alone.
  constexpr int kLowestNice = 19;
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kLowestNice);
#else
  QThread::currentThread()->setPriority(QThread::IdlePriority);
#endif
}

}  // namespace ferrowyn
