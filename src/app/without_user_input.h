// Work that must hold the interface back without freezing it: the window
// keeps painting while no click or key reaches it.
#ifndef BREVALT_APP_WITHOUT_USER_INPUT_H
#define BREVALT_APP_WITHOUT_USER_INPUT_H

#include <functional>

namespace brevalt::app {

// Runs work on a helper thread while the calling (interface) thread handles
// every event except user input: paints, timers, window-system events and
// the calls other threads queue onto it, so work may call CallOnThreadOf.
// Mouse and key events wait until work has finished and are handled after
// it. Returns once work has returned. When no thread can be started, runs
// work here. Interface thread only.
void RunWithoutUserInput(const std::function<void()>& work);

}  // namespace brevalt::app

#endif  // BREVALT_APP_WITHOUT_USER_INPUT_H
