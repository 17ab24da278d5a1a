// The seam between the verification engine and the main dialog.
//
// The engine, the pre-flight checks and the log writer reach the dialog's
// controls only through this interface. The Qt dialog implements it with
// blocking calls onto the interface thread (so a call from the worker returns
// once the interface thread has handled it); the command-line front end and the
// tests implement it in memory (MemoryDialog). Every method may be called from
// the interface thread or the verification worker.
#ifndef BREVALT_PLATFORM_DIALOG_SEAM_H
#define BREVALT_PLATFORM_DIALOG_SEAM_H

#include <string>
#include <vector>

namespace brevalt {

// Control ids of the main dialog.
enum ControlId : int {
  kEditBidPath = 1000,
  kButtonChoose = 1001,
  kButtonVerify = 1002,
  kListBidInfo = 1004,
  kListOpeners = 1006,
  kCheckVerifyRules = 1007,
  kEditVerifyCode = 1008,
  kButtonCopyCode = 1009,
  kEditStepNetwork = 1010,
  kEditStepTimestamp = 1011,
  kEditStepLocalClock = 1012,
  kEditStepRulesFile = 1013,
  kEditStepBidFormat = 1014,
  kEditStepSignature = 1015,
  kStaticVerdict = 1016,
  kEditBidder = 1017,
  kButtonViewBidderCert = 1018,
  kStaticBidderValidity = 1019,
  kListMessages = 1029,
  kCheckWriteLog = 1030,
};

enum class MessageBoxIcon { kInformation, kWarning, kError, kQuestion };

// One row of a list control: its cells from the first column on.
using ListRow = std::vector<std::u16string>;

class IDialogSeam {
 public:
  virtual ~IDialogSeam() = default;

  // Text of an edit or static control; unknown ids read as empty.
  virtual void SetControlText(int id, const std::u16string& text) = 0;
  virtual std::u16string GetControlText(int id) = 0;
  // State of a check box.
  virtual bool IsChecked(int id) = 0;
  // Replaces or reads all rows of a list control.
  virtual void SetListRows(int id, const std::vector<ListRow>& rows) = 0;
  virtual std::vector<ListRow> GetListRows(int id) = 0;
  // Shows the wait dialog and disables the main window, and the reverse.
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;
  // Shows the wait cursor over the application, or restores the normal one;
  // called on the interface thread while its own steps block it.
  virtual void ShowWaitCursor(bool shown) = 0;
  // A modal message box; returns when the user closed it.
  virtual void ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                              MessageBoxIcon icon) = 0;
};

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_DIALOG_SEAM_H
