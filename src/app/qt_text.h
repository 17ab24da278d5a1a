// Text between the engine's UTF-16 strings and Qt's.
#ifndef BREVALT_APP_QT_TEXT_H
#define BREVALT_APP_QT_TEXT_H

#include <QString>
#include <string>

namespace brevalt::app {

inline QString ToQString(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<size_t>(text.size()));
}

}  // namespace brevalt::app

#endif  // BREVALT_APP_QT_TEXT_H
