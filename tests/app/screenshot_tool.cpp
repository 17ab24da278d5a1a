// brevalt_screenshot FILE.png: draws the main dialog after verifying a good
// bid against the development server on loopback, on the offscreen
// platform, and saves its content (every control) as a PNG. Makes
// docs/screenshot.png.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <cstdio>

#include "app/brevalt_dlg.h"
#include "app/dialog_units.h"
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

}  // namespace

int main(int argc, char** argv) {
  using namespace brevalt::app;
  if (argc != 2) {
    std::fprintf(stderr, "usage: brevalt_screenshot FILE.png\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setFont(DialogFont(9));
  brevalt::app::testing::VerificationEnv env;
  if (!env.ok()) {
    std::fprintf(stderr, "brevalt_screenshot: %s\n", env.error().c_str());
    return 1;
  }
  brevalt::app::testing::ScriptedUser user;
  CBrevaltDlg dialog;
  dialog.show();
  user.ChooseNextFile(QString::fromStdString(env.good_bid()));
  static_cast<QPushButton*>(dialog.Control(brevalt::kButtonChoose))->click();
  static_cast<QPushButton*>(dialog.Control(brevalt::kButtonVerify))->click();
  if (!WaitUntilIdle(dialog, 30000) ||
      !dialog.Content()->grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "brevalt_screenshot: no picture\n");
    return 1;
  }
  return 0;
}
