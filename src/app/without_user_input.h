// Work that must hold a window back without freezing it: the window keeps
// painting while no click or key reaches it.
#ifndef BREVALT_APP_WITHOUT_USER_INPUT_H
#define BREVALT_APP_WITHOUT_USER_INPUT_H

#include <functional>

class QWidget;

namespace brevalt::app {

// Runs work on a helper thread while the calling (interface) thread handles
// every event: paints, timers, window-system events and the calls other
// threads queue onto it, so work may call CallOnThreadOf. Mouse, wheel, key
// and shortcut events meant for window (or any control in it) are dropped
// while work runs, never held back to act once it has finished; other
// windows (a message box work shows) take input as usual. Window closes
// reach window as usual. Returns once work has returned. When no thread can
// be started, runs work here. Interface thread only.
void RunWithoutUserInput(QWidget* window, const std::function<void()>& work);

}  // namespace brevalt::app

#endif  // BREVALT_APP_WITHOUT_USER_INPUT_H
