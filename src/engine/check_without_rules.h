// The bid check that relies on the bid file alone: verification code,
// container and signature, and the environment document sealed into the bid.
#ifndef BREVALT_ENGINE_CHECK_WITHOUT_RULES_H
#define BREVALT_ENGINE_CHECK_WITHOUT_RULES_H

#include "engine/bid_check_outcome.h"
#include "platform/dialog_seam.h"
#include "record/verify_result.h"

namespace brevalt {

// Decides steps 4 to 6 and fills the bid's data into result: verification
// code, bidder name, unit and certificate, and, from the environment document,
// organisation, open time, project name and opener certificates. Sets
// FinalResult to "通过" when everything holds; on a failure writes the one
// message row, marks step 4 "×" through dialog where the failure calls for
// it, and leaves FinalResult as it was. Returns 0 or 4. Worker thread.
int CheckBidWithoutRules(CVerifyResult& result, IDialogSeam& dialog);

// The part of path before its last separator; empty when it has none; the
// root itself ("/") for a file directly under the root.
std::u16string FolderOfPath(const std::u16string& path);

}  // namespace brevalt

#endif  // BREVALT_ENGINE_CHECK_WITHOUT_RULES_H
