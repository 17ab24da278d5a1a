// The main dialog: every control of the verification, its commands, and the
// dialog seam through which the verification run reaches the controls.
#ifndef BREVALT_APP_BREVALT_DLG_H
#define BREVALT_APP_BREVALT_DLG_H

#include <QDialog>
#include <atomic>
#include <map>
#include <memory>

#include "platform/dialog_seam.h"

class QScrollArea;
class QTableWidget;

namespace brevalt {
class CVerificationRun;
struct CVerifyResult;
}  // namespace brevalt

namespace brevalt::app {

class CLogReceipts;
class CVerifyTipInfoDlg;

// Lives on the interface thread. The seam methods may be called from any
// thread: from another thread each call waits until the interface thread has
// handled it. The dialog owns the verification run and with it the result
// record; it refuses to close while a run is in progress, so the record
// outlives every worker.
class CBrevaltDlg : public QDialog, public IDialogSeam {
  Q_OBJECT

 public:
  // Builds the controls, checks both boxes, sets up the lists and shows the
  // empty record (one trusted-time request, see the result display).
  explicit CBrevaltDlg(QWidget* parent = nullptr);
  ~CBrevaltDlg() override;

  void SetControlText(int id, const std::u16string& text) override;
  std::u16string GetControlText(int id) override;
  bool IsChecked(int id) override;
  void SetListRows(int id, const std::vector<ListRow>& rows) override;
  std::vector<ListRow> GetListRows(int id) override;
  void BeginWait() override;
  void EndWait() override;
  void ShowWaitCursor(bool shown) override;
  void ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                      MessageBoxIcon icon) override;

  // The control with this id (kNoId controls are not reachable); null when
  // none. For drawing and tests.
  QWidget* Control(int id) const;
  CVerifyTipInfoDlg* WaitDialog() const { return wait_dialog_; }
  // The content that scrolls: every control at its place.
  QWidget* Content() const { return content_; }
  const CVerifyResult& Result() const;
  bool IsVerifying() const;

  // Shows the record as it is now (every control, the verdict's colour) and
  // brings a failure's reason into sight. Interface thread, not during a run.
  void RefreshDisplay();

  // The choose command once path was picked: the bid file name rule, and its
  // warning when the name is refused. What `brevalt FILE` starts with.
  void ChooseBidFile(const QString& path);
  // Shows a copy of record, and each field and list as shown showed it, with
  // the certificate viewers on the copy's certificates. Not during a run.
  // Until the next choose or verify command, closing does not ask: the
  // record stays with the window that keeps it.
  void ShowRecord(const CVerifyResult& record, IDialogSeam& shown);

 public slots:
  // Every way of ending the dialog comes here; refused during a run.
  void done(int result) override;
  // Escape (and anything else that rejects): asks first, as closing does.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void BuildControls();
  void SetUpScrolling();
  void ConnectCommands();
  void OnInitDialog();
  QTableWidget* List(int id) const;
  void ApplyVerdictColour();
  void WatchCutTexts();
  void NameControls();
  void ShowResetRecord();
  void ShowReasonInSight();
  bool AskToQuit();
  bool IsBusy() const;
  bool RefuseWhileVerifying();

  void OnBnClickedChoose();
  void OnBnClickedVerify();
  void OnBnClickedCopy();
  void OnBnClickedViewBidderCert();
  void OnNMDblclkOpenerList(int row);
  void OnBnClickedViewOpenerCert();
  void OnBnClickedClearMessages();
  void OnAbout();

  std::map<int, QWidget*> controls_;  // owned through Qt's parent chain
  QScrollArea* scroll_ = nullptr;
  QWidget* content_ = nullptr;
  CVerifyTipInfoDlg* wait_dialog_ = nullptr;
  QSize preferred_size_;  // content and scroll bar, less the rows that scroll
  bool fitted_ = false;   // fitted again once the window system framed it
  // The verify command's steps before the worker (up to the trusted time and
  // the clock) are running; the window paints but takes no input.
  // Cleared on the helper thread when they end.
  std::atomic<bool> interface_steps_{false};
  bool quitting_ = false;  // the user said yes to ending the dialog
  // Shows a record kept by another window (ShowRecord) and nothing of its
  // own since: closing loses nothing, so it does not ask.
  bool stored_record_ = false;
  std::unique_ptr<CLogReceipts> receipts_;  // outlives the run's worker
  std::unique_ptr<CVerificationRun> run_;
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_BREVALT_DLG_H
