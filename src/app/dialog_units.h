// Dialog units: the dialogs are laid out in units of the dialog font, so
// they scale with it. A horizontal unit is a quarter of the font's average
// character width, a vertical unit an eighth of its height, both measured
// the way Windows measures a dialog font.
#ifndef BREVALT_APP_DIALOG_UNITS_H
#define BREVALT_APP_DIALOG_UNITS_H

#include <QFont>
#include <QRect>
#include <QSize>

namespace brevalt::app {

// The dialogs' font at the given point size: "MS Shell Dlg" where it exists,
// else a CJK font, so Chinese text renders.
QFont DialogFont(int point_size);

class DialogUnits {
 public:
  // Measures font: average width of "A".."Z" "a".."z" (rounded as Windows
  // rounds it) and the line height.
  explicit DialogUnits(const QFont& font);

  QRect ToPixels(int x, int y, int width, int height) const;
  QSize ToPixels(int width, int height) const;

  int base_x() const { return base_x_; }
  int base_y() const { return base_y_; }

 private:
  int base_x_;
  int base_y_;
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_DIALOG_UNITS_H
