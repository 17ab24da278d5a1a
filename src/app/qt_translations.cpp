#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace brevalt::app {

void LoadQtTranslations(QCoreApplication& application) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"), folder) &&
      !translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                        QStringLiteral("_"), folder)) {
    return;
  }
  translator->setParent(&application);
  QCoreApplication::installTranslator(translator.release());
}

}  // namespace brevalt::app
