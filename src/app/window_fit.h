// Keeping a window inside the screen: on a small screen, or with large fonts
// or a scale factor, the main dialog is taller than the screen.
#ifndef BREVALT_APP_WINDOW_FIT_H
#define BREVALT_APP_WINDOW_FIT_H

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace brevalt::app {

// The client geometry for a window that would like client size wanted, with
// a frame of frame around it: the wanted size, cut to what fits available
// with the frame, and the frame centred on available. Pure.
QRect FitIntoArea(const QRect& available, const QSize& wanted, const QMargins& frame);

// Resizes and moves the top-level window to FitIntoArea of its screen's
// available area (the area without panels and docks), wanting
// preferred. The frame is the one the window system reports; before it
// reports one (a window not shown yet), a title bar and border of the style's
// size are assumed. Interface thread.
void FitIntoScreen(QWidget& window, const QSize& preferred);

}  // namespace brevalt::app

#endif  // BREVALT_APP_WINDOW_FIT_H
