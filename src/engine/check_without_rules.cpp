#include "engine/check_without_rules.h"

#include "bid/bid_file_reader.h"
#include "bid/verification_code.h"
#include "platform/user_folder.h"
#include "record/message_catalogue.h"
#include "record/result_texts.h"

namespace brevalt {
namespace {

void SetSteps(CVerifyResult& result, StepState rules, StepState format_and_signature) {
  result.StepRulesFile = rules;
  result.StepBidFormat = format_and_signature;
  result.StepSignature = format_and_signature;
}

int Fail(CVerifyResult& result, IDialogSeam& dialog, MessageCategory category,
         const Message& message, bool mark_at_once) {
  SetMessage(result, category, message);
  if (mark_at_once)
    dialog.SetControlText(kEditStepRulesFile, kMarkFailed);
  return kBidCheckFailed;
}

// The message for a failed VerifyAndRead; none of these marks step 4 at once.
int FailVerify(CVerifyResult& result, int code) {
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

// The opener counts of the environment document; 0 when they hold.
int CheckOpenerCounts(CVerifyResult& result, IDialogSeam& dialog, int32_t total, int32_t min) {
  if (total < 1)
    return Fail(result, dialog, CategoryBidFormat, msg::kOpenerTotalBelowOne, true);
  if (min < 1)
    return Fail(result, dialog, CategoryBidFormat, msg::kOpenerMinBelowOne, true);
  if (min > total) {
    return Fail(result, dialog, CategoryBidFormat, msg::kOpenerTotalBelowMin, true);
  }
  return 0;
}

// Copies the document's data and duplicates of its opener certificates.
int TakeEnvironment(CVerifyResult& result, IDialogSeam& dialog, CBidFileReader& reader) {
  result.OpenTime = reader.GetOpenTime();
  result.TenderOrg = reader.GetTenderOrg();
  result.ProjectName = reader.GetProjectName();
  for (const UniqueCert& cert : reader.m_arrOpenerCerts) {
    UniqueCert copy(TavikPKICertDupCert(cert.get()));
    if (!copy) {
      result.OpenerCerts.clear();
      return Fail(result, dialog, CategoryOther, msg::kBuildOpenerCertFailed, true);
    }
    result.OpenerCerts.push_back(std::move(copy));
  }
  return 0;
}

}  // namespace

std::u16string FolderOfPath(const std::u16string& path) {
  size_t last = path.rfind(kPathSeparator);
  return last == std::u16string::npos ? std::u16string() : path.substr(0, last);
}

int CheckBidWithoutRules(CVerifyResult& result, IDialogSeam& dialog) {
  CBidFileReader reader;
  reader.SetBidPath(result.BidPath);
  reader.SetFolder(FolderOfPath(result.BidPath));
  SetSteps(result, StepFailed, StepFailed);

  if (ComputeVerificationCode(result.BidPath, result) != 0) {
    return Fail(result, dialog, CategoryOther, msg::kVerifyCodeFailed, true);
  }
  if (reader.Open() != 0)
    return Fail(result, dialog, CategoryOther, msg::kOpenBidFailed, true);
  int rc = reader.VerifyAndRead();
  if (rc != 0) {
    reader.Close();
    return FailVerify(result, rc);
  }
  result.BidderName = reader.GetBidderName();
  result.BidderUnit = reader.GetBidderUnit();
  result.BidderCert.reset(TavikPKICertDupCert(reader.m_pSignerCert.get()));
  if (!result.BidderCert) {
    reader.Close();
    return Fail(result, dialog, CategoryOther, msg::kBuildSignerCertFailed, true);
  }
  SetSteps(result, StepFailed, StepPassed);
  reader.Close();

  // A bid without a usable environment document passes on its signature alone.
  if (reader.LoadEnvironment() == 0) {
    rc = CheckOpenerCounts(result, dialog, reader.m_nTotalOpeners, reader.m_nMinOpeners);
    if (rc == 0)
      rc = TakeEnvironment(result, dialog, reader);
    if (rc != 0)
      return rc;
  }
  SetSteps(result, StepPassed, StepPassed);
  result.FinalResult = kVerdictPassed;
  return kBidCheckPassed;
}

}  // namespace brevalt
