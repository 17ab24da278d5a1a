#include "app/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace brevalt::app {
namespace {

QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);
  // The sheet, with a folded corner.
  QPainterPath sheet;
  sheet.moveTo(10, 4);
  sheet.lineTo(42, 4);
  sheet.lineTo(54, 16);
  sheet.lineTo(54, 60);
  sheet.lineTo(10, 60);
  sheet.closeSubpath();
  painter.setPen(QPen(QColor(0x1f, 0x4e, 0x9a), 3));
  painter.setBrush(Qt::white);
  painter.drawPath(sheet);
  // The seal: a blue disc with a white check mark.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1f, 0x4e, 0x9a));
  painter.drawEllipse(QPointF(34, 38), 17, 17);
  painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(QPolygonF({QPointF(25, 38), QPointF(31, 45), QPointF(43, 31)}));
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64})
    icon.addPixmap(DrawIcon(size));
  return icon;
}

}  // namespace brevalt::app
