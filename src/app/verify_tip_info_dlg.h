// The wait dialog shown while a verification runs. While it is shown the
// main dialog takes no input.
#ifndef BREVALT_APP_VERIFY_TIP_INFO_DLG_H
#define BREVALT_APP_VERIFY_TIP_INFO_DLG_H

#include <QDialog>
#include <QPointer>

namespace brevalt::app {

// Title "正在验证中...", the line "正在验证中，请稍候...", no close box. Created
// hidden as a child window of the main dialog; the user can never close it,
// nor keep it minimised (a window manager may offer a minimise button all
// the same). Interface thread only.
class CVerifyTipInfoDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CVerifyTipInfoDlg(QWidget* parent);

  // Centres the dialog over its parent, shows it in its normal state above
  // the parent and disables the parent, remembering which control had the
  // keyboard focus (disabling takes the focus away).
  void OnVerifyBegin();
  // Centres the dialog over its parent and shows it above, leaving the
  // parent enabled: for the steps run before the worker, during which a
  // message box owned by the parent may have to take input.
  void OnStepsBegin();
  // Enables the parent again, gives the focus back to that control and
  // hides the dialog.
  void OnVerifyEnd();

 public slots:
  // Escape would end the dialog: ignored, it hides only through OnVerifyEnd.
  void reject() override {}

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowNormalAboveOwner();

  QPointer<QWidget> focus_;  // the owner's focused control before the run
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_VERIFY_TIP_INFO_DLG_H
