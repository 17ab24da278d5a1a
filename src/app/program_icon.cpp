#include "app/program_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace brevalt::app {

QIcon ProgramIcon() {
  QSvgRenderer drawing(QStringLiteral(":/brevalt/org.brevalt.Brevalt.svg"));
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    drawing.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace brevalt::app
