#include "app/brevalt_app.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "app/app_command_line.h"
#include "app/batch/batch_entry.h"
#include "app/brevalt_dlg.h"
#include "app/dialog_units.h"
#include "app/display_start.h"
#include "app/message_box.h"
#include "app/program_icon.h"
#include "app/qt_translations.h"
#include "platform/version.h"

namespace brevalt::app {
namespace {

using Action = AppCommandLine::Action;

QStringList ArgumentsOf(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i)
    args.append(QString::fromLocal8Bit(argv[i]));
  return args;
}

int ReportUsageError(const QString& error) {
  std::fprintf(stderr, "brevalt: %s (see brevalt --help)\n", error.toLocal8Bit().constData());
  return kExitNoDisplay;
}

// A FILE that does not exist: said on standard error and, since a file
// manager's "Open with" shows no terminal, in a box too where a display is
// seen (not on the offscreen or minimal platforms, where nobody could
// answer it). A folder is no error: it opens the many-bids window.
int MissingFileError(const QString& path) {
  const int status = ReportUsageError(QStringLiteral("%1: no such file").arg(path));
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
    return status;
  ShowMessageBox(nullptr, {QStringLiteral("找不到文件“%1”。").arg(path), QStringLiteral("Brevalt"),
                           MessageBoxIcon::kWarning, false});
  return status;
}

// Whether args hold a word that QApplication takes for itself (-platform,
// -style, ...; Qt also reads them with two dashes or "=VALUE"). Such a
// command line can only be judged once Qt has removed its options.
bool MayHoldQtOptions(const QStringList& args) {
  static const QStringList kQtOptions = {
      QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
      QStringLiteral("platformtheme"), QStringLiteral("plugin"),
      QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
      QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
      QStringLiteral("reverse"),       QStringLiteral("session"),
      QStringLiteral("style"),         QStringLiteral("stylesheet"),
      QStringLiteral("widgetcount"),   QStringLiteral("display"),
      QStringLiteral("geometry"),      QStringLiteral("title"),
      QStringLiteral("name"),          QStringLiteral("visual"),
      QStringLiteral("nograb"),        QStringLiteral("dograb"),
      QStringLiteral("sync"),
  };
  for (const QString& word : args) {
    if (word == QStringLiteral("--"))
      return false;
    if (!word.startsWith(QLatin1Char('-')))
      continue;
    const QString name = word.mid(word.startsWith(QStringLiteral("--")) ? 2 : 1).section('=', 0, 0);
    if (kQtOptions.contains(name))
      return true;
  }
  return false;
}

}  // namespace

int CBrevaltApp::Run(int argc, char** argv) {
  // Before the display: --help, --version and a command line that cannot be
  // used need none, so they are answered even where no display opens.
  const QStringList arguments = ArgumentsOf(argc, argv);
  const AppCommandLine early = ParseAppCommandLine(arguments);
  if (early.action == Action::kUsageError && !MayHoldQtOptions(arguments))
    return ReportUsageError(early.error);
  if (early.action == Action::kHelp) {
    std::fputs(AppHelpText().toLocal8Bit().constData(), stdout);
    return 0;
  }
  if (early.action == Action::kVersion) {
    std::printf("brevalt %s\n", BrevaltVersion());
    return 0;
  }
  const std::unique_ptr<QApplication> application = OpenDisplay(argc, argv);
  // Now without the options Qt took (-platform, -style, ...).
  const AppCommandLine line = ParseAppCommandLine(QApplication::arguments().mid(1));
  if (line.action == Action::kUsageError)
    return ReportUsageError(line.error);
  const QFileInfo file(line.file);
  if (!line.file.isEmpty() && !file.isFile() && !file.isDir())
    return MissingFileError(line.file);

  QApplication::setApplicationName(QStringLiteral("Brevalt"));
  QApplication::setApplicationVersion(QString::fromLatin1(BrevaltVersion()));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.brevalt.Brevalt"));  // its entry and icon
  QApplication::setWindowIcon(ProgramIcon());
  QApplication::setFont(DialogFont(9));
  LoadQtTranslations(*application);
  CBrevaltDlg dialog;
  if (!line.batch.isEmpty() || file.isDir()) {
    const QStringList names = file.isDir() ? QStringList{file.absoluteFilePath()} : line.batch;
    QTimer::singleShot(0, &dialog, [&dialog, names] { OpenBatchWindow(dialog, names); });
  } else if (!line.file.isEmpty()) {
    // Once the dialog is on screen, so a refused name's warning sits on it.
    const QString path = file.absoluteFilePath();
    QTimer::singleShot(0, &dialog, [&dialog, path] { dialog.ChooseBidFile(path); });
  }
  dialog.exec();
  return 0;
}

}  // namespace brevalt::app
