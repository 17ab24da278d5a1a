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
// project and package numbers, without a trailing separator. Empty when the
// settings' folder cannot be read, which the reader refuses.
std::u16string ProjectFolder(const CVerifyResult& result) {
  std::u16string folder = ReadWorkingDir();
  if (folder.empty())
    return folder;
  if (folder.back() != kPathSeparator)
    folder += kPathSeparator;
  folder += result.ProjectNumber + kPathSeparator + result.PackageNumber + kPathSeparator;
  return FolderOfPath(folder);
}

// What reading the container gave; the check applies it after the download.
struct ContainerRead {
  int open_rc = 0;
  int verify_rc = 0;
  int total = 0;  // a failed query leaves a count at 0, which fails the test
  int min = 0;
};

// Opens and verifies the container and asks for the opener counts it was
// sealed with; the container is closed on return. Writes nothing.
ContainerRead ReadContainer(CBidFileReader& reader) {
  ContainerRead read;
  read.open_rc = reader.Open();
  if (read.open_rc != 0)
    return read;
  read.verify_rc = reader.VerifyAndRead();
  if (read.verify_rc == 0) {
    TavikSecretFileDecryptorGetTotalNum(reader.m_hDecryptor.get(), &read.total);
    if (read.total >= 1)
      TavikSecretFileDecryptorGetMinNum(reader.m_hDecryptor.get(), &read.min);
  }
  reader.Close();
  return read;
}

// The failures of opening and verifying the container, then the counts test.
int ApplyContainer(CVerifyResult& result, IDialogSeam& dialog, const ContainerRead& read) {
  if (read.open_rc != 0)
    return Fail(result, dialog, CategoryOther, msg::kOpenBidFailed);
  if (read.verify_rc != 0) {
    FailVerifyAndRead(result, read.verify_rc);
    dialog.SetControlText(kEditStepRulesFile, kMarkFailed);
    return kBidCheckFailed;
  }
  return CheckOpenerCounts(result, dialog, read.total, read.min);
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
  // The bid is locked for its code before the container is read; a verified
  // container's digest of the bytes it read is the code (no second read). The
  // outcomes are applied in the order code, download, container, so a failed
  // code still wins.
  PendingVerificationCode code(result.BidPath);
  CBidFileReader reader;
  reader.SetBidPath(result.BidPath);
  reader.SetFolder(ProjectFolder(result));
  const ContainerRead container = ReadContainer(reader);
  const bool verified = container.open_rc == 0 && container.verify_rc == 0;
  if (code.Join(result, verified ? &reader.m_FileDigest : nullptr) != 0)
    return Fail(result, dialog, CategoryOther, msg::kVerifyCodeFailed);
  CRulesFileClient client;
  int rc = TakeOpeners(result, dialog, client);
  if (rc != 0)
    return rc;
  rc = ApplyContainer(result, dialog, container);
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
