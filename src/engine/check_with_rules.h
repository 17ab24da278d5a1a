// The bid check that also asks the rules service: the project's published
// rules file must equal the one sealed into the bid, and the openers, the
// organisation and the open time come from the published file.
#ifndef BREVALT_ENGINE_CHECK_WITH_RULES_H
#define BREVALT_ENGINE_CHECK_WITH_RULES_H

#include "engine/bid_check_outcome.h"
#include "platform/dialog_seam.h"
#include "record/verify_result.h"

namespace brevalt {

// Decides steps 4 to 6 and fills the bid's data into result. Reads BidPath,
// ProjectNumber and PackageNumber; writes VerifyCode, OpenerCerts (the
// downloaded file's openers, kept even when a later test fails), and only
// when every test holds BidderName, BidderUnit, BidderCert, TenderOrg,
// OpenTime ("%Y-%m-%d %H:%M:%S", local time) and ProjectName, then
// FinalResult "通过". On a failure writes the one message row and marks step
// 4 "×" through dialog; the three step states stay failed.
// Returns 0, 3 when the rules file could not be downloaded, else 4.
// Worker thread; blocks for the download (bounded by the library's timeouts).
int CheckBidWithRules(CVerifyResult& result, IDialogSeam& dialog);

}  // namespace brevalt

#endif  // BREVALT_ENGINE_CHECK_WITH_RULES_H
