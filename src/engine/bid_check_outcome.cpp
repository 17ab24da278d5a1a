#include "engine/bid_check_outcome.h"

#include "bid/bid_file_reader.h"
#include "record/result_texts.h"

namespace brevalt {

void SetCheckSteps(CVerifyResult& result, StepState rules, StepState format_and_signature) {
  result.StepRulesFile = rules;
  result.StepBidFormat = format_and_signature;
  result.StepSignature = format_and_signature;
}

int FailCheck(CVerifyResult& result, IDialogSeam& dialog, MessageCategory category,
              const Message& message, bool mark_at_once) {
  SetMessage(result, category, message);
  if (mark_at_once)
    dialog.SetControlText(kEditStepRulesFile, kMarkFailed);
  return kBidCheckFailed;
}

int FailVerifyAndRead(CVerifyResult& result, int code) {
  switch (code) {
    case kReaderSignerCert:
      SetMessage(result, CategorySignature, msg::kGetSignerCertFailed);
      break;
    case kReaderNoMemory:
      SetMessage(result, CategoryOther, msg::kOutOfMemory);
      break;
    case kReaderRulesLength:
      SetMessage(result, CategoryBidFormat, msg::kRulesLengthMismatch);
      break;
    default:
      SetVerifyFailedMessage(result, code);
      break;
  }
  return kBidCheckFailed;
}

int CheckOpenerCounts(CVerifyResult& result, IDialogSeam& dialog, int32_t total, int32_t min) {
  if (total < 1)
    return FailCheck(result, dialog, CategoryBidFormat, msg::kOpenerTotalBelowOne, true);
  if (min < 1)
    return FailCheck(result, dialog, CategoryBidFormat, msg::kOpenerMinBelowOne, true);
  if (min > total)
    return FailCheck(result, dialog, CategoryBidFormat, msg::kOpenerTotalBelowMin, true);
  return 0;
}

}  // namespace brevalt
