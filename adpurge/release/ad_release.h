// Releasing an application's queued ads: its Pending and Done queues are walked, the
// references its Done ads held in the shared content folders are given back, and content
// that nobody needs any more is deleted. Runs on the calling thread; failures are passed
// over without a message, record by record. Nothing throws except std::bad_alloc.
#pragma once

#include <string>

namespace adpurge {

// Walks "Pending" and then "Done" in `channel_folder` (both with their open fallbacks; a
// queue that cannot be opened is skipped), with `ads_folder` as the shared content root.
// Records are upgraded when this is the first process to open a queue, never changed by
// the walks themselves.
void ReleaseQueues(const std::string& channel_folder, const std::string& ads_folder);

}  // namespace adpurge
