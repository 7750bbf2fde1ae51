// The synchronised call of the workers: a step run on the GUI thread while the worker's
// own thread waits for it.
#pragma once

#include <QObject>
#include <functional>

namespace ferrowyn {

// Runs `step` on the thread of `context` (the GUI thread) while the calling thread waits,
// and rethrows here whatever the step threw. Worker threads only: called on the thread of
// `context` itself it would wait for itself for ever.
void SynchronisedCall(QObject& context, const std::function<void()>& step);

}  // namespace ferrowyn
