#include "app/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace brevalt::app {
namespace {

// value * numerator / denominator, rounded half away from zero (MulDiv).
int MulDiv(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

}  // namespace

QFont DialogFont(int point_size) {
  QFont font;
  font.setFamilies({QStringLiteral("MS Shell Dlg 2"), QStringLiteral("Microsoft YaHei"),
                    QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC")});
  font.setPointSize(point_size);
  return font;
}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  base_x_ = (letters / 26 + 1) / 2;
  base_y_ = metrics.height();
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  return QRect(MulDiv(x, base_x_, 4), MulDiv(y, base_y_, 8), MulDiv(width, base_x_, 4),
               MulDiv(height, base_y_, 8));
}

QSize DialogUnits::ToPixels(int width, int height) const {
  return QSize(MulDiv(width, base_x_, 4), MulDiv(height, base_y_, 8));
}

}  // namespace brevalt::app
