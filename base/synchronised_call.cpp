// The workers' synchronised call onto the GUI thread.
#include "base/synchronised_call.h"

#include <QMetaObject>
#include <exception>

namespace ferrowyn {

void SynchronisedCall(QObject& context, const std::function<void()>& step) {
  std::exception_ptr failure;
  QMetaObject::invokeMethod(
      &context,
      [&] {
        try {
          step();
        } catch (...) {
          failure = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace ferrowyn
