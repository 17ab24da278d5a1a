// The wait cursor of a step that blocks the interface thread.
#ifndef BREVALT_PLATFORM_WAIT_CURSOR_H
#define BREVALT_PLATFORM_WAIT_CURSOR_H

#include "platform/dialog_seam.h"

namespace brevalt {

// Shows the wait cursor through the seam from Show() on and restores the
// normal one when it goes out of scope; nothing when Show() was not called.
// Interface thread, like the seam's ShowWaitCursor.
class WaitCursor {
 public:
  explicit WaitCursor(IDialogSeam& dialog) : dialog_(dialog) {}
  ~WaitCursor() {
    if (shown_)
      dialog_.ShowWaitCursor(false);
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  // Shows the cursor; a second call changes nothing.
  void Show() {
    if (shown_)
      return;
    dialog_.ShowWaitCursor(true);
    shown_ = true;
  }

 private:
  IDialogSeam& dialog_;
  bool shown_ = false;
};

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_WAIT_CURSOR_H
