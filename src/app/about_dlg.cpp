#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/dialog_units.h"
#include "app/program_icon.h"
#include "platform/version.h"

namespace brevalt::app {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("关于 Brevalt"));
  setFont(DialogFont(9));
  const DialogUnits units(font());
  setFixedSize(units.ToPixels(170, 62));

  auto* icon = new QLabel(this);
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
  icon->setGeometry(QRect(units.ToPixels(14, 14, 0, 0).topLeft(), QSize(32, 32)));
  auto* line =
      new QLabel(QStringLiteral("Brevalt，%1 版").arg(QLatin1String(BrevaltVersion())), this);
  line->setGeometry(units.ToPixels(42, 14, 114, 8));
  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  ok->setGeometry(units.ToPixels(113, 41, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace brevalt::app
