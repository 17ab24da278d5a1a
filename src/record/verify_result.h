// The record one verification run leaves its results in.
#ifndef BREVALT_RECORD_VERIFY_RESULT_H
#define BREVALT_RECORD_VERIFY_RESULT_H

#include <cstdint>
#include <string>
#include <vector>

#include "record/trusted_anchor.h"
#include "tavik/tavik_handles.h"

namespace brevalt {

// The state of one verification step.
enum StepState : int32_t {
  StepNotRun = -1,  // shown as empty text
  StepUnknown = 0,  // "未知"
  StepPassed = 1,   // "√"
  StepFailed = 2,   // "×"
};

// The category of the one message row; it also decides the row's nature text.
enum MessageCategory : int32_t {
  CategoryNone = 0,  // no row
  CategoryEnvironment = 1,
  CategoryTimestamp = 2,
  CategoryBidFormat = 3,
  CategorySignature = 4,
  CategoryOther = 5,
};

// One verification's results. Text fields are UTF-16 and start empty.
// The record owns every certificate in OpenerCerts and BidderCert (each a
// copy of its own); they are released when cleared or when the record dies.
// No lock: written by the interface thread before the worker starts and by the
// worker while the main window is disabled. TrustedAnchor alone locks itself.
struct CVerifyResult {
  std::u16string BidPath;
  std::u16string BidFileName;
  std::u16string VerifyCode;
  std::u16string BidderName;
  std::u16string BidderUnit;
  std::u16string TenderOrg;
  std::u16string OpenTime;
  std::u16string ProjectName;
  std::u16string ProjectNumber;
  std::u16string PackageNumber;
  std::u16string TimestampTimeText;
  StepState StepBidFormat = StepNotRun;
  StepState StepSignature = StepNotRun;
  StepState StepNetwork = StepNotRun;
  StepState StepLocalClock = StepNotRun;
  StepState StepRulesFile = StepNotRun;
  StepState MayOpen = StepNotRun;
  std::u16string FinalResult;
  std::u16string ErrorDetail;
  std::u16string ErrorAdvice;
  std::vector<UniqueCert> OpenerCerts;
  UniqueCert BidderCert;
  int32_t DigestLength = 0;
  MessageCategory ErrorCategory = CategoryNone;
  // When step 2 found no trusted time: what happened at each authority of
  // the list, in list order, as "<url>: <what happened>" (UTF-8). Only the
  // command line reports it; the dialog and the log keep their texts.
  std::vector<std::string> TimestampFailures;
  // The trusted time of step 2 on a clock that counts a suspend: the may-open decision
  // and every display refresh of this verification read it instead of asking
  // an authority again (see timestamp/trusted_clock.h). Empty until step 2
  // obtained a time, and again after the next run's reset.
  CTrustedAnchor TrustedAnchor;
};

}  // namespace brevalt

#endif  // BREVALT_RECORD_VERIFY_RESULT_H
