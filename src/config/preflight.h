// Step 1 of a verification: the settings and the network are usable.
#ifndef BREVALT_CONFIG_PREFLIGHT_H
#define BREVALT_CONFIG_PREFLIGHT_H

#include "platform/dialog_seam.h"
#include "record/verify_result.h"

namespace brevalt {

enum PreflightCode : int {
  kPreflightOk = 0,
  kPreflightNoSettingsFile = 1,
  kPreflightNoTimestampUrl = 2,
  kPreflightBadTimestampUrl = 3,
  kPreflightNoRulesUrl = 4,
  kPreflightBadRulesUrl = 5,
  kPreflightNoNetwork = 6,
};

// Runs the checks in order and stops at the first failure. On failure writes
// the message row (category CategoryEnvironment) into result and "×" into the
// step-1 control through dialog, and returns the failure's code; 0 when all
// pass. The network check is skipped when every time-stamp authority and the
// rules service name a loopback host (NamesLoopbackHost). Does not set
// result.StepNetwork: the caller does. Interface thread.
int RunPreflightChecks(CVerifyResult& result, IDialogSeam& dialog);

}  // namespace brevalt

#endif  // BREVALT_CONFIG_PREFLIGHT_H
