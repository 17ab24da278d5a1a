// The program icon: a sealed document with a check mark, rendered from the
// same SVG drawing that the package installs for the desktop
// (packaging/org.brevalt.Brevalt.svg, built into the program).
#ifndef BREVALT_APP_PROGRAM_ICON_H
#define BREVALT_APP_PROGRAM_ICON_H

#include <QIcon>

namespace brevalt::app {

// The icon at 16, 24, 32, 48 and 64 pixels. Needs a QGuiApplication.
QIcon ProgramIcon();

}  // namespace brevalt::app

#endif  // BREVALT_APP_PROGRAM_ICON_H
