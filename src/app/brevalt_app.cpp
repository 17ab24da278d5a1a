#include "app/brevalt_app.h"

#include <QApplication>

#include "app/brevalt_dlg.h"
#include "app/dialog_units.h"
#include "app/program_icon.h"

namespace brevalt::app {

int CBrevaltApp::Run(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brevalt"));
  QApplication::setWindowIcon(ProgramIcon());
  QApplication::setFont(DialogFont(9));
  CBrevaltDlg dialog;
  dialog.exec();
  return 0;
}

}  // namespace brevalt::app
