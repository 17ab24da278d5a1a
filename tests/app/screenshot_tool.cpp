// brevalt_screenshot FILE.png [BID]: draws the main dialog on the offscreen
// platform after verifying a bid and saves its content (every control) as a
// PNG. Without BID it seals a good bid and verifies it against an in-process
// development server; with BID it verifies that file with the settings of
// the per-user folder as they are (the demo's, while scripts/demo runs its
// devserver). Makes docs/screenshot.png.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <cstdio>
#include <memory>

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
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: brevalt_screenshot FILE.png [BID]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setFont(DialogFont(9));
  std::unique_ptr<brevalt::app::testing::VerificationEnv> env;
  if (argc == 2)
    env = std::make_unique<brevalt::app::testing::VerificationEnv>();
  if (env && !env->ok()) {
    std::fprintf(stderr, "brevalt_screenshot: %s\n", env->error().c_str());
    return 1;
  }
  brevalt::app::testing::ScriptedUser user;
  CBrevaltDlg dialog;
  dialog.show();
  user.ChooseNextFile(env ? QString::fromStdString(env->good_bid())
                          : QString::fromLocal8Bit(argv[2]));
  static_cast<QPushButton*>(dialog.Control(brevalt::kButtonChoose))->click();
  static_cast<QPushButton*>(dialog.Control(brevalt::kButtonVerify))->click();
  if (!WaitUntilIdle(dialog, 30000) ||
      !dialog.Content()->grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "brevalt_screenshot: no picture\n");
    return 1;
  }
  return 0;
}
