#include "app/verify_tip_info_dlg.h"

#include <QCloseEvent>
#include <QLabel>

#include "app/dialog_units.h"

namespace brevalt::app {

CVerifyTipInfoDlg::CVerifyTipInfoDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QStringLiteral("正在验证中..."));
  setFont(DialogFont(8));
  const DialogUnits units(font());
  setFixedSize(units.ToPixels(154, 50));
  auto* line = new QLabel(QStringLiteral("正在验证中，请稍候..."), this);
  line->setGeometry(units.ToPixels(21, 20, 118, 8));
  hide();
}

void CVerifyTipInfoDlg::OnVerifyBegin() {
  QWidget* owner = parentWidget();
  if (owner != nullptr) {
    const QRect frame = owner->window()->frameGeometry();
    move(frame.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  show();
  if (owner != nullptr) {
    owner->setEnabled(false);
    // Disabling the owner disables its child windows too; this one stays
    // drawn as enabled, as an owned window is.
    setEnabled(true);
  }
}

void CVerifyTipInfoDlg::OnVerifyEnd() {
  if (parentWidget() != nullptr)
    parentWidget()->setEnabled(true);
  hide();
}

void CVerifyTipInfoDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
}

}  // namespace brevalt::app
