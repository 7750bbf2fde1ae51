// The priority of the crawl and query workers: below everything else the user runs.
#pragma once

namespace ferrowyn {

// Lowers the calling thread to the lowest priority at which it still gets a share of the
// processor while other programs keep it busy. Called by each worker as its thread begins.
//
// On Linux that is nice 19 for this thread. Qt's IdlePriority would be SCHED_IDLE there,
// which runs a thread only on a processor that would otherwise sit idle: on a busy machine
// a crawl then stalls for minutes, where the idle priority of Windows still lets it go on
// slowly. Elsewhere it is QThread::IdlePriority. Never throws; a refusal leaves the
// thread as it was.
void LowerWorkerPriority();

}  // namespace ferrowyn
