// The font the verdict ("通过" / "没通过") is drawn in.
#ifndef BREVALT_APP_VERDICT_FONT_H
#define BREVALT_APP_VERDICT_FONT_H

#include <QFont>
#include <QString>

namespace brevalt::app {

// The first installed of "宋体", "SimSun", "Noto Serif CJK SC" (a Song face
// like 宋体), "Noto Sans CJK SC", else any font that covers Simplified
// Chinese; empty when none is installed.
QString VerdictFontFamily();

// 25 pixels, heaviest weight, in VerdictFontFamily(). Needs a QGuiApplication.
QFont VerdictFont();

}  // namespace brevalt::app

#endif  // BREVALT_APP_VERDICT_FONT_H
