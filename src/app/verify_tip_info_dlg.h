// The wait dialog shown while a verification runs. While it is shown the
// main dialog takes no input.
#ifndef BREVALT_APP_VERIFY_TIP_INFO_DLG_H
#define BREVALT_APP_VERIFY_TIP_INFO_DLG_H

#include <QDialog>

namespace brevalt::app {

// Title "正在验证中...", the line "正在验证中，请稍候...", no close box. Created
// hidden as a child window of the main dialog; the user can never close it.
// Interface thread only.
class CVerifyTipInfoDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CVerifyTipInfoDlg(QWidget* parent);

  // Centres the dialog over its parent, shows it and disables the parent.
  void OnVerifyBegin();
  // Enables the parent again and hides the dialog.
  void OnVerifyEnd();

 public slots:
  // Escape would end the dialog: ignored, it hides only through OnVerifyEnd.
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_VERIFY_TIP_INFO_DLG_H
