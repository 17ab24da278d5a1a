// An in-memory dialog: controls are plain values. Used by the command-line
// front end and by tests. Thread-safe: the worker and the caller may use it at
// the same time.
#ifndef BREVALT_PLATFORM_MEMORY_DIALOG_H
#define BREVALT_PLATFORM_MEMORY_DIALOG_H

#include <map>
#include <mutex>

#include "platform/dialog_seam.h"

namespace brevalt {

class MemoryDialog final : public IDialogSeam {
 public:
  struct MessageBoxRecord {
    std::u16string text;
    std::u16string caption;
    MessageBoxIcon icon;
  };

  // Both check boxes start checked, as in the main dialog.
  MemoryDialog();

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

  void SetChecked(int id, bool checked);
  bool IsWaiting() const;
  int WaitCount() const;  // number of BeginWait calls so far
  bool IsWaitCursorShown() const;
  int WaitCursorCount() const;  // number of times the wait cursor was shown
  std::vector<MessageBoxRecord> MessageBoxes() const;

 private:
  mutable std::mutex mutex_;
  std::map<int, std::u16string> texts_;
  std::map<int, bool> checks_;
  std::map<int, std::vector<ListRow>> lists_;
  std::vector<MessageBoxRecord> boxes_;
  bool waiting_ = false;
  int wait_count_ = 0;
  bool wait_cursor_ = false;
  int wait_cursor_count_ = 0;
};

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_MEMORY_DIALOG_H
