// Calls onto the interface thread, the way a window message is sent: the
// caller waits until the interface thread has run the call.
#ifndef BREVALT_APP_INTERFACE_THREAD_H
#define BREVALT_APP_INTERFACE_THREAD_H

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <type_traits>

namespace brevalt::app {

// Runs function on the thread that owns context and returns its result. On
// that thread it is a direct call. From any other thread the call is queued
// to that thread's event loop and the caller blocks until it has run, so the
// interface thread must not itself be waiting for the caller.
template <typename Function>
auto CallOnThreadOf(QObject* context, Function function) -> std::invoke_result_t<Function> {
  using Result = std::invoke_result_t<Function>;
  if (QThread::currentThread() == context->thread())
    return function();
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(context, std::move(function), Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(context, std::move(function), Qt::BlockingQueuedConnection, &result);
    return result;
  }
}

}  // namespace brevalt::app

#endif  // BREVALT_APP_INTERFACE_THREAD_H
