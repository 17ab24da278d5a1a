// brevalt_screenshot [--file-dialog | --failed] FILE.png [BID]: draws the main dialog
// after verifying a bid and saves it as a PNG. Without BID it seals a good
// bid and verifies it against an in-process development server; with BID it
// verifies that file with the settings of the per-user folder as they are
// (the demo's, while scripts/demo runs its devserver). Plain: the dialog's
// content (every control) on the offscreen platform; makes
// docs/screenshot.png. --file-dialog: the whole screen of the platform in
// use (Xvfb, say) with Qt's file dialog open over the window, in the
// language Qt's translations give; makes docs/screenshot-file-dialog.png.
// --failed: that screen after verifying a damaged bid, without the file
// dialog; makes docs/screenshot-failed.png.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <cstdio>
#include <memory>

#include "app/brevalt_dlg.h"
#include "app/dialog_units.h"
#include "app/file_chooser.h"
#include "app/qt_translations.h"
#include "app/scripted_user.h"
#include "app/verification_env.h"

namespace {

bool WaitUntilIdle(brevalt::app::CBrevaltDlg& dialog, int timeout_ms) {
  QElapsedTimer timer;
  timer.start();
  while (dialog.IsVerifying() && timer.elapsed() < timeout_ms)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return !dialog.IsVerifying();
}

void LetItPaint(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// The screen with the choose command's dialog open in the bid's folder.
QPixmap ScreenWithFileDialog(brevalt::app::CBrevaltDlg& dialog, const QString& bid) {
  LetItPaint(1000);  // the window manager places and frames the window
  auto* chooser = new QFileDialog(&dialog, QString(), QFileInfo(bid).absolutePath(),
                                  QString::fromUtf8(brevalt::app::kBidFileFilter));
  chooser->setOption(QFileDialog::DontUseNativeDialog);
  chooser->setAttribute(Qt::WA_DeleteOnClose);
  chooser->open();
  LetItPaint(1500);
  return dialog.screen()->grabWindow(0);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brevalt::app;
  const bool failed = argc > 1 && QByteArray(argv[1]) == "--failed";
  const bool file_dialog = failed || (argc > 1 && QByteArray(argv[1]) == "--file-dialog");
  const int first = file_dialog ? 2 : 1;
  if (argc - first != 1 && argc - first != 2) {
    std::fprintf(stderr, "usage: brevalt_screenshot [--file-dialog | --failed] FILE.png [BID]\n");
    return 2;
  }
  if (!file_dialog && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setFont(DialogFont(9));
  LoadQtTranslations(application);
  std::unique_ptr<brevalt::app::testing::VerificationEnv> env;
  if (argc - first == 1)
    env = std::make_unique<brevalt::app::testing::VerificationEnv>();
  if (env && !env->ok()) {
    std::fprintf(stderr, "brevalt_screenshot: %s\n", env->error().c_str());
    return 1;
  }
  const QString bid = !env     ? QString::fromLocal8Bit(argv[first + 1])
                      : failed ? QString::fromStdString(env->damaged_bid())
                               : QString::fromStdString(env->good_bid());
  brevalt::app::testing::ScriptedUser user;
  CBrevaltDlg dialog;
  dialog.show();
  user.ChooseNextFile(bid);
  static_cast<QPushButton*>(dialog.Control(brevalt::kButtonChoose))->click();
  static_cast<QPushButton*>(dialog.Control(brevalt::kButtonVerify))->click();
  if (!WaitUntilIdle(dialog, 30000)) {
    std::fprintf(stderr, "brevalt_screenshot: the verification did not end\n");
    return 1;
  }
  const QPixmap picture = failed        ? (LetItPaint(1000), dialog.screen()->grabWindow(0))
                          : file_dialog ? ScreenWithFileDialog(dialog, bid)
                                        : dialog.Content()->grab();
  if (!picture.save(QString::fromLocal8Bit(argv[first]))) {
    std::fprintf(stderr, "brevalt_screenshot: no picture\n");
    return 1;
  }
  return 0;
}
