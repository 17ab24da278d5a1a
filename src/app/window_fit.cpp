#include "app/window_fit.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace brevalt::app {
namespace {

// The window's frame, or an assumed one while the window system has not
// reported it: a title bar of the style's height and a thin border.
QMargins FrameOf(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  const QRect client = window.geometry();
  const QMargins known(client.left() - frame.left(), client.top() - frame.top(),
                       frame.right() - client.right(), frame.bottom() - client.bottom());
  if (!known.isNull())
    return known;
  const int border = std::max(4, window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
  const int title = std::max(window.style()->pixelMetric(QStyle::PM_TitleBarHeight),
                             2 * window.fontMetrics().height());
  return QMargins(border, title + border, border, border);
}

}  // namespace

QRect FitIntoArea(const QRect& available, const QSize& wanted, const QMargins& frame) {
  const QSize room = available.size().shrunkBy(frame);
  const QSize size = wanted.boundedTo(room).expandedTo(QSize(1, 1));
  QRect framed(QPoint(0, 0), size.grownBy(frame));
  framed.moveCenter(available.center());
  // Never above or left of the area: its title bar and first controls stay
  // reachable even when the frame does not fit.
  framed.moveTopLeft(
      QPoint(std::max(framed.left(), available.left()), std::max(framed.top(), available.top())));
  return framed - frame;
}

void FitIntoScreen(QWidget& window, const QSize& preferred) {
  const QScreen* screen = window.screen();
  if (screen == nullptr)
    return;
  const QMargins frame = FrameOf(window);
  const QRect client = FitIntoArea(screen->availableGeometry(), preferred, frame);
  window.resize(client.size());
  window.move(client.topLeft() - QPoint(frame.left(), frame.top()));  // move() places the frame
}

}  // namespace brevalt::app
