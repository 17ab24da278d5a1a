#include "app/without_user_input.h"

#include <QEventLoop>
#include <QMetaObject>
#include <system_error>
#include <thread>

namespace brevalt::app {

void RunWithoutUserInput(const std::function<void()>& work) {
  QEventLoop loop;
  std::thread helper;
  try {
    helper = std::thread([&work, &loop] {
      work();
      // Queued, so it ends the loop even when work finished before exec().
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
  } catch (const std::system_error&) {
    work();
    return;
  }
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  helper.join();
}

}  // namespace brevalt::app
