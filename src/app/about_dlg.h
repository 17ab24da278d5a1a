// The About box: the program icon, the name and version, and an OK button.
#ifndef BREVALT_APP_ABOUT_DLG_H
#define BREVALT_APP_ABOUT_DLG_H

#include <QDialog>

namespace brevalt::app {

// Title "关于 Brevalt", 170 x 62 dialog units, the line "Brevalt，VERSION 版"
// with the project's version. Run it with exec(); "确定" ends it.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent);
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_ABOUT_DLG_H
