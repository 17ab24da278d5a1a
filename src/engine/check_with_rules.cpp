#include "engine/check_with_rules.h"

#include "bid/bid_file_reader.h"
#include "bid/verification_code.h"
#include "config/settings.h"
#include "engine/check_without_rules.h"
#include "engine/local_time.h"
#include "platform/user_folder.h"
#include "record/result_texts.h"
#include "rules/open_time.h"
#include "rules/rules_file_client.h"

namespace brevalt {
namespace {

// Every failure of this check marks step 4 "×" at once.
int Fail(CVerifyResult& result, IDialogSeam& dialog, MessageCategory category,
         const Message& message) {
  return FailCheck(result, dialog, category, message, true);
}

// Downloads the project's rules file and lists duplicates of its openers in
// the record (those appended before a failed duplicate stay listed).
int TakeOpeners(CVerifyResult& result, IDialogSeam& dialog, CRulesFileClient& client) {
  client.PrepareQuery(result.ProjectNumber);
  if (!client.m_hRulesFile ||
      TavikBidRulesFileGetRules(client.m_hRulesFile.get(), client.m_strQuery.data(),
                                static_cast<int>(client.m_strQuery.size())) != 0) {
    Fail(result, dialog, CategoryOther, msg::kDownloadRulesFailed);
    return kBidCheckDownloadFailed;
  }
  if (client.LoadOpenerCerts() != 0)
    return Fail(result, dialog, CategoryOther, msg::kGetOpenerCertsFailed);
  if (client.m_arrOpenerCerts.empty())
    return Fail(result, dialog, CategoryBidFormat, msg::kNoOpenerCerts);
  for (const UniqueCert& cert : client.m_arrOpenerCerts) {
    UniqueCert copy(TavikPKICertDupCert(cert.get()));
    if (!copy)
      return Fail(result, dialog, CategoryOther, msg::kBuildOpenerCertFailed);
    result.OpenerCerts.push_back(std::move(copy));
  }
  return 0;
}

// The container's working folder: the settings' working folder, then the
// project and package numbers, without a trailing separator.
std::u16string ProjectFolder(const CVerifyResult& result) {
  std::u16string folder = ReadWorkingDir();
  if (folder.empty() || folder.back() != kPathSeparator)
    folder += kPathSeparator;
  folder += result.ProjectNumber + kPathSeparator + result.PackageNumber + kPathSeparator;
  return FolderOfPath(folder);
}

// Opens and verifies the container and tests the opener counts it was sealed
// with; the container is closed on return.
int VerifyContainer(CVerifyResult& result, IDialogSeam& dialog, CBidFileReader& reader) {
  if (reader.Open() != 0)
    return Fail(result, dialog, CategoryOther, msg::kOpenBidFailed);
  int rc = reader.VerifyAndRead();
  if (rc != 0) {
    reader.Close();
    FailVerifyAndRead(result, rc);
    dialog.SetControlText(kEditStepRulesFile, kMarkFailed);
    return kBidCheckFailed;
  }
  int total = 0;  // a failed query leaves a count at 0, which fails below
  int min = 0;
  TavikSecretFileDecryptorGetTotalNum(reader.m_hDecryptor.get(), &total);
  if (total >= 1)
    TavikSecretFileDecryptorGetMinNum(reader.m_hDecryptor.get(), &min);
  reader.Close();
  return CheckOpenerCounts(result, dialog, total, min);
}

// The published open time as local "%Y-%m-%d %H:%M:%S"; empty when neither
// text form can be read. Showing the instant 0 instead would let the may-open
// decision find the opening time long past and list the openers of a bid whose
// opening time nobody knows; empty makes that decision "未知".
std::u16string OpenTimeText(const CRulesFileClient& client) {
  int64_t time = 0;
  if (ReadOpenTimeNormalized(client, &time) != 0 && ReadOpenTimeNumeric(client, &time) != 0)
    return std::u16string();
  return FormatLocalTime(time);
}

}  // namespace

int CheckBidWithRules(CVerifyResult& result, IDialogSeam& dialog) {
  SetCheckSteps(result, StepFailed, StepFailed);
  if (ComputeVerificationCode(result.BidPath, result) != 0)
    return Fail(result, dialog, CategoryOther, msg::kVerifyCodeFailed);
  CRulesFileClient client;
  int rc = TakeOpeners(result, dialog, client);
  if (rc != 0)
    return rc;
  CBidFileReader reader;
  reader.SetBidPath(result.BidPath);
  reader.SetFolder(ProjectFolder(result));
  rc = VerifyContainer(result, dialog, reader);
  if (rc != 0)
    return rc;
  if (TavikBidRulesFileCompareFile(client.m_hRulesFile.get(), reader.m_pRulesData,
                                   static_cast<int>(reader.m_nRulesDataLen)) != 0) {
    return Fail(result, dialog, CategoryBidFormat, msg::kRulesDiffer);
  }
  result.BidderCert.reset(TavikPKICertDupCert(reader.m_pSignerCert.get()));
  if (!result.BidderCert)
    return Fail(result, dialog, CategoryOther, msg::kBuildSignerCertFailed);
  result.OpenTime = OpenTimeText(client);
  result.TenderOrg = client.GetOpenOrg();
  if (reader.LoadEnvironment() == 0)
    result.ProjectName = reader.GetProjectName();
  result.BidderName = reader.GetBidderName();
  result.BidderUnit = reader.GetBidderUnit();
  SetCheckSteps(result, StepPassed, StepPassed);
  result.FinalResult = kVerdictPassed;
  return kBidCheckPassed;
}

}  // namespace brevalt
