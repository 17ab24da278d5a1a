// Message boxes of the dialogs, behind one function so that tests answer
// them instead of a user (a test never blocks on a modal box).
#ifndef BREVALT_APP_MESSAGE_BOX_H
#define BREVALT_APP_MESSAGE_BOX_H

#include <QString>
#include <functional>

#include "platform/dialog_seam.h"

class QWidget;

namespace brevalt::app {

enum class BoxAnswer { kOk, kYes, kNo };

struct BoxRequest {
  QString text;
  QString caption;
  MessageBoxIcon icon = MessageBoxIcon::kInformation;
  bool yes_no = false;  // Yes and No buttons; otherwise one OK button
};

// Shows a modal box owned by parent (may be null) and returns the button
// pressed: kOk for an OK box, kYes or kNo for a Yes/No box (closing it counts
// as No). With a hook set, shows nothing and returns the hook's answer.
// Interface thread only.
BoxAnswer ShowMessageBox(QWidget* parent, const BoxRequest& request);

// As ShowMessageBox, but the box also closes by itself (answered kOk, or kNo
// for a Yes/No box) as soon as still_wanted() is false, which is asked
// several times a second: a box about a state that has ended does not stay.
BoxAnswer ShowMessageBoxWhile(QWidget* parent, const BoxRequest& request,
                              const std::function<bool()>& still_wanted);

// Installs (or, with an empty function, removes) the hook that answers every
// box in place of a user. For tests.
void SetMessageBoxHook(std::function<BoxAnswer(const BoxRequest&)> hook);

}  // namespace brevalt::app

#endif  // BREVALT_APP_MESSAGE_BOX_H
