// The program icon: a sealed document with a check mark, drawn in code so
// that it scales to every size the window system asks for.
#ifndef BREVALT_APP_PROGRAM_ICON_H
#define BREVALT_APP_PROGRAM_ICON_H

#include <QIcon>

namespace brevalt::app {

// The icon at 16, 24, 32, 48 and 64 pixels. Needs a QGuiApplication.
QIcon ProgramIcon();

}  // namespace brevalt::app

#endif  // BREVALT_APP_PROGRAM_ICON_H
