// What the two bid checks write when a test ends: the three step states, the
// one message row and the "×" of step 4. Shared so both checks report the
// same failure the same way.
#ifndef BREVALT_ENGINE_BID_CHECK_OUTCOME_H
#define BREVALT_ENGINE_BID_CHECK_OUTCOME_H

#include <cstdint>

#include "platform/dialog_seam.h"
#include "record/message_catalogue.h"
#include "record/verify_result.h"

namespace brevalt {

// Results of the bid checks.
enum BidCheckCode : int {
  kBidCheckPassed = 0,
  kBidCheckDownloadFailed = 3,  // the rules service gave no rules file
  kBidCheckFailed = 4,
};

// Sets step 4 (rules file) and steps 5 and 6 (bid format, signature).
void SetCheckSteps(CVerifyResult& result, StepState rules, StepState format_and_signature);

// Writes the message row, marks step 4 "×" at once when asked, returns 4.
int FailCheck(CVerifyResult& result, IDialogSeam& dialog, MessageCategory category,
              const Message& message, bool mark_at_once);

// The message row for a nonzero result of CBidFileReader::VerifyAndRead:
// -2, -3, -4 their own rows, any other code "验证规则失败，错误代码 = N".
// Marks nothing; returns 4.
int FailVerifyAndRead(CVerifyResult& result, int code);

// The opener counts: total below 1, minimum below 1, minimum above total fail
// in that order (each marks step 4 at once and returns 4); 0 when they hold.
int CheckOpenerCounts(CVerifyResult& result, IDialogSeam& dialog, int32_t total, int32_t min);

}  // namespace brevalt

#endif  // BREVALT_ENGINE_BID_CHECK_OUTCOME_H
