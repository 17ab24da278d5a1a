#include "app/verify_tip_info_dlg.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

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

void CVerifyTipInfoDlg::OnStepsBegin() {
  if (QWidget* owner = parentWidget()) {
    const QRect frame = owner->window()->frameGeometry();
    move(frame.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  ShowNormalAboveOwner();
}

void CVerifyTipInfoDlg::OnVerifyBegin() {
  OnStepsBegin();
  QWidget* owner = parentWidget();
  if (owner != nullptr) {
    focus_ = owner->window()->focusWidget();
    owner->setEnabled(false);
    // Disabling the owner disables its child windows too; this one stays
    // drawn as enabled, as an owned window is.
    setEnabled(true);
  }
}

void CVerifyTipInfoDlg::OnVerifyEnd() {
  QWidget* owner = parentWidget();
  if (owner != nullptr)
    owner->setEnabled(true);
  if (focus_ != nullptr && focus_->isEnabled() && focus_->isVisibleTo(focus_->window()))
    focus_->setFocus(Qt::ActiveWindowFocusReason);
  focus_ = nullptr;
  const bool was_active = isActiveWindow();
  hide();
  if (owner != nullptr && was_active)
    owner->window()->activateWindow();
}

// Un-minimises this dialog, and the owner that a window manager minimised
// along with it, and puts it on top.
void CVerifyTipInfoDlg::ShowNormalAboveOwner() {
  QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  if (owner != nullptr && owner->isMinimized())
    owner->setWindowState(owner->windowState() & ~Qt::WindowMinimized);
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

// A minimised wait dialog would hide the program until the run ends (and,
// left minimised, during every later run): it comes back at once.
void CVerifyTipInfoDlg::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isVisible() && isMinimized())
    QTimer::singleShot(0, this, [this] {
      if (isVisible())  // not once the run has ended
        ShowNormalAboveOwner();
    });
}

void CVerifyTipInfoDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
}

}  // namespace brevalt::app
