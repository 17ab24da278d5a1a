// Opening the display: a program started without one ends with one line and
// status 2 instead of Qt's abort.
#ifndef BREVALT_APP_DISPLAY_START_H
#define BREVALT_APP_DISPLAY_START_H

#include <QApplication>
#include <memory>

namespace brevalt::app {

// Exit status of a start without a display (also that of an unusable command
// line).
inline constexpr int kExitNoDisplay = 2;

// Creates the application on the window system. When none is named (no
// platform chosen through QT_QPA_PLATFORM or -platform, and neither DISPLAY
// nor WAYLAND_DISPLAY set), or the one named cannot be opened, writes one
// line naming the cause to stderr and ends the process with kExitNoDisplay.
// Qt's messages printed while it opens are held back and printed once it
// opened. argc and argv must outlive the application. Main thread, once.
std::unique_ptr<QApplication> OpenDisplay(int& argc, char** argv);

}  // namespace brevalt::app

#endif  // BREVALT_APP_DISPLAY_START_H
