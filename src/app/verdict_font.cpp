#include "app/verdict_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace brevalt::app {

QString VerdictFontFamily() {
  const QStringList installed = QFontDatabase::families();
  for (const char* preferred : {"宋体", "SimSun", "Noto Serif CJK SC", "Noto Sans CJK SC"}) {
    const QString family = QString::fromUtf8(preferred);
    if (installed.contains(family))
      return family;
  }
  const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
  return chinese.isEmpty() ? QString() : chinese.first();
}

QFont VerdictFont() {
  QFont font;
  const QString family = VerdictFontFamily();
  if (!family.isEmpty())
    font.setFamily(family);
  font.setPixelSize(25);
  font.setWeight(QFont::Black);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace brevalt::app
