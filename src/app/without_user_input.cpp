#include "app/without_user_input.h"

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QWidget>
#include <system_error>
#include <thread>

namespace brevalt::app {
namespace {

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
      return true;
    default:
      return false;
  }
}

// The top-level window target belongs to: its own for a widget, its nearest
// widget ancestor's for anything else (an action, a shortcut).
const QWidget* WindowOf(const QObject* target) {
  for (const QObject* object = target; object != nullptr; object = object->parent()) {
    if (object->isWidgetType())
      return static_cast<const QWidget*>(object)->window();
  }
  return nullptr;
}

// Drops the user's input to one window for as long as it lives.
class InputDropper : public QObject {
 public:
  explicit InputDropper(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
  ~InputDropper() override { qApp->removeEventFilter(this); }
  InputDropper(const InputDropper&) = delete;
  InputDropper& operator=(const InputDropper&) = delete;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    return IsUserInput(event->type()) && WindowOf(target) == window_;
  }

 private:
  const QWidget* window_;
};

}  // namespace

void RunWithoutUserInput(QWidget* window, const std::function<void()>& work) {
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
  {
    const InputDropper dropper(window);
    loop.exec();
  }
  helper.join();
}

}  // namespace brevalt::app
