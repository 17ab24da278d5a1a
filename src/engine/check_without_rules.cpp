#include "engine/check_without_rules.h"

#include "bid/bid_file_reader.h"
#include "bid/verification_code.h"
#include "engine/bid_check_outcome.h"
#include "platform/user_folder.h"
#include "record/message_catalogue.h"
#include "record/result_texts.h"

namespace brevalt {
namespace {

// Copies the document's data and duplicates of its opener certificates.
int TakeEnvironment(CVerifyResult& result, IDialogSeam& dialog, CBidFileReader& reader) {
  result.OpenTime = reader.GetOpenTime();
  result.TenderOrg = reader.GetTenderOrg();
  result.ProjectName = reader.GetProjectName();
  for (const UniqueCert& cert : reader.m_arrOpenerCerts) {
    UniqueCert copy(TavikPKICertDupCert(cert.get()));
    if (!copy) {
      result.OpenerCerts.clear();
      return FailCheck(result, dialog, CategoryOther, msg::kBuildOpenerCertFailed, true);
    }
    result.OpenerCerts.push_back(std::move(copy));
  }
  return 0;
}

}  // namespace

std::u16string FolderOfPath(const std::u16string& path) {
  const size_t last = path.rfind(kPathSeparator);
  if (last == std::u16string::npos)
    return {};
  // A file directly under the root lies in the root, whose name keeps its
  // separator ("/" on POSIX, "C:\" on Windows); without it the folder would
  // be empty or drive-relative.
  bool root = last == 0;
#ifdef _WIN32
  root = root || (last == 2 && path[1] == u':');
#endif
  return path.substr(0, root ? last + 1 : last);
}

int CheckBidWithoutRules(CVerifyResult& result, IDialogSeam& dialog) {
  CBidFileReader reader;
  reader.SetBidPath(result.BidPath);
  reader.SetFolder(FolderOfPath(result.BidPath));
  SetCheckSteps(result, StepFailed, StepFailed);

  // The bid is locked for its code before the container is verified; a
  // verified container's digest of the bytes it read is the code (no second
  // read). The outcomes are applied in this order, so a failed code still wins.
  PendingVerificationCode code(result.BidPath);
  const int open_rc = reader.Open();
  int rc = open_rc == 0 ? reader.VerifyAndRead() : 0;
  if (code.Join(result, open_rc == 0 && rc == 0 ? &reader.m_FileDigest : nullptr) != 0) {
    reader.Close();
    return FailCheck(result, dialog, CategoryOther, msg::kVerifyCodeFailed, true);
  }
  if (open_rc != 0)
    return FailCheck(result, dialog, CategoryOther, msg::kOpenBidFailed, true);
  if (rc != 0) {
    reader.Close();
    return FailVerifyAndRead(result, rc);
  }
  result.BidderName = reader.GetBidderName();
  result.BidderUnit = reader.GetBidderUnit();
  result.BidderCert.reset(TavikPKICertDupCert(reader.m_pSignerCert.get()));
  if (!result.BidderCert) {
    reader.Close();
    return FailCheck(result, dialog, CategoryOther, msg::kBuildSignerCertFailed, true);
  }
  SetCheckSteps(result, StepFailed, StepPassed);
  reader.Close();

  // A bid without a usable environment document passes on its signature alone.
  if (reader.LoadEnvironment() == 0) {
    rc = CheckOpenerCounts(result, dialog, reader.m_nTotalOpeners, reader.m_nMinOpeners);
    if (rc == 0)
      rc = TakeEnvironment(result, dialog, reader);
    if (rc != 0)
      return rc;
  }
  SetCheckSteps(result, StepPassed, StepPassed);
  result.FinalResult = kVerdictPassed;
  return kBidCheckPassed;
}

}  // namespace brevalt
