// The main dialog's commands.
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "app/about_dlg.h"
#include "app/brevalt_dlg.h"
#include "app/file_chooser.h"
#include "app/main_dialog_layout.h"
#include "app/message_box.h"
#include "app/qt_text.h"
#include "app/verify_tip_info_dlg.h"
#include "app/without_user_input.h"
#include "engine/result_display.h"
#include "engine/verification_run.h"
#include "record/result_texts.h"
#include "tavik/tavik_pki_ui.h"

namespace brevalt::app {
void CBrevaltDlg::ConnectCommands() {
  const std::pair<int, void (CBrevaltDlg::*)()> commands[] = {
      {kButtonChoose, &CBrevaltDlg::OnBnClickedChoose},
      {kButtonVerify, &CBrevaltDlg::OnBnClickedVerify},
      {kButtonCopyCode, &CBrevaltDlg::OnBnClickedCopy},
      {kButtonViewBidderCert, &CBrevaltDlg::OnBnClickedViewBidderCert},
      {kButtonViewOpenerCert, &CBrevaltDlg::OnBnClickedViewOpenerCert},
      {kButtonClearMessages, &CBrevaltDlg::OnBnClickedClearMessages},
  };
  for (const auto& [id, handler] : commands)
    connect(static_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this, handler);
  // Both close buttons ask the window to close, which asks for confirmation.
  for (int id : {kButtonClose, kButtonCloseHidden})
    connect(static_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this, &QWidget::close);
  connect(List(kListOpeners), &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { OnNMDblclkOpenerList(row); });
}

void CBrevaltDlg::OnBnClickedChoose() {
  if (RefuseWhileVerifying())
    return;
  const QString path = ChooseFileToOpen(this);
  if (!path.isEmpty())
    ChooseBidFile(path);
}

// An accepted file is verified next: the focus goes to the verify button.
void CBrevaltDlg::ChooseBidFile(const QString& path) {
  stored_record_ = false;
  if (run_->ChooseBidFile(ToU16(path), ToU16(QFileInfo(path).fileName())))
    Control(kButtonVerify)->setFocus();
}

// Steps 1 to 3 block on the network (the trusted time above all, up to
// 30 s). They run beside this thread, which meanwhile paints and serves
// their calls, with the wait dialog shown; the user's clicks and keys on the
// window are dropped, so none acts after the verdict. The worker's own wait
// (and its end) then takes the wait dialog over.
void CBrevaltDlg::OnBnClickedVerify() {
  if (RefuseWhileVerifying())
    return;
  stored_record_ = false;
  if (Result().BidPath.empty()) {
    run_->OnBnClickedVerify();  // its warning, nothing else
    return;
  }
  ShowResetRecord();
  interface_steps_ = true;
  wait_dialog_->OnStepsBegin();
  RunWithoutUserInput(this, [this] {
    run_->OnBnClickedVerify();
    interface_steps_ = false;
  });
  if (!IsVerifying())  // stopped in steps 1 to 3, or the worker has ended
    wait_dialog_->OnVerifyEnd();
}

// What the run resets the record to, shown before its first step: the
// previous bid's results must not stand next to the new run's path.
void CBrevaltDlg::ShowResetRecord() {
  CVerifyResult reset;
  reset.BidPath = Result().BidPath;
  reset.BidFileName = Result().BidFileName;
  reset.ProjectNumber = Result().ProjectNumber;
  reset.PackageNumber = Result().PackageNumber;
  CResultDisplay().UpdateResultDisplay(reset, *this);
}

void CBrevaltDlg::OnBnClickedCopy() {
  auto* edit = static_cast<QLineEdit*>(Control(kEditVerifyCode));
  edit->selectAll();
  edit->copy();  // an empty field copies nothing
}

void CBrevaltDlg::OnBnClickedViewBidderCert() {
  if (Result().BidderCert)
    TavikPKIUIDisplayCert(this, Result().BidderCert.get());
}

void CBrevaltDlg::OnNMDblclkOpenerList(int row) {
  const int index = run_->Display().OpenerCertIndex(row);
  const auto& certs = Result().OpenerCerts;
  if (index >= 0 && static_cast<size_t>(index) < certs.size() && certs[index])
    TavikPKIUIDisplayCert(this, certs[index].get());
}

void CBrevaltDlg::OnBnClickedViewOpenerCert() {
  const QModelIndexList selected = List(kListOpeners)->selectionModel()->selectedRows();
  if (selected.isEmpty()) {
    app::ShowMessageBox(this,
                        {QStringLiteral("请选中开标人后点击查看证书按钮或者直接用鼠标双击开标人！"),
                         QStringLiteral("警告"), MessageBoxIcon::kWarning, false});
    return;
  }
  for (const QModelIndex& row : selected)
    OnNMDblclkOpenerList(row.row());
}

// The five category names with empty columns; the record keeps its message,
// so the next refresh shows it again.
void CBrevaltDlg::OnBnClickedClearMessages() {
  std::vector<ListRow> rows;
  for (int32_t category = CategoryEnvironment; category <= CategoryOther; ++category)
    rows.push_back({CategoryText(category), u"", u"", u""});
  SetListRows(kListMessages, rows);
}

void CBrevaltDlg::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

}  // namespace brevalt::app
