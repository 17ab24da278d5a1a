// Qt's own texts (the file dialog, the edits' context menus, standard
// buttons) in the user's language.
#ifndef BREVALT_APP_QT_TRANSLATIONS_H
#define BREVALT_APP_QT_TRANSLATIONS_H

class QCoreApplication;

namespace brevalt::app {

// Installs Qt's translation for the first of the system's languages that has
// one in Qt's translations folder (Debian: qt6-translations-l10n), else
// Simplified Chinese, the language of the program's own texts. Without any
// translation file Qt stays English. The translator belongs to application.
// Interface thread, once.
void LoadQtTranslations(QCoreApplication& application);

}  // namespace brevalt::app

#endif  // BREVALT_APP_QT_TRANSLATIONS_H
