#include "engine/result_copy.h"

#include "tavik/tavik_pki.h"

namespace brevalt {
namespace {

UniqueCert Duplicate(const UniqueCert& cert) {
  return UniqueCert(cert ? TavikPKICertDupCert(cert.get()) : nullptr);
}

}  // namespace

CVerifyResult CopyOfResult(const CVerifyResult& result) {
  CVerifyResult copy;
  copy.BidPath = result.BidPath;
  copy.BidFileName = result.BidFileName;
  copy.VerifyCode = result.VerifyCode;
  copy.BidderName = result.BidderName;
  copy.BidderUnit = result.BidderUnit;
  copy.TenderOrg = result.TenderOrg;
  copy.OpenTime = result.OpenTime;
  copy.ProjectName = result.ProjectName;
  copy.ProjectNumber = result.ProjectNumber;
  copy.PackageNumber = result.PackageNumber;
  copy.TimestampTimeText = result.TimestampTimeText;
  copy.StepBidFormat = result.StepBidFormat;
  copy.StepSignature = result.StepSignature;
  copy.StepNetwork = result.StepNetwork;
  copy.StepLocalClock = result.StepLocalClock;
  copy.StepRulesFile = result.StepRulesFile;
  copy.MayOpen = result.MayOpen;
  copy.FinalResult = result.FinalResult;
  copy.ErrorDetail = result.ErrorDetail;
  copy.ErrorAdvice = result.ErrorAdvice;
  for (const UniqueCert& cert : result.OpenerCerts)
    copy.OpenerCerts.push_back(Duplicate(cert));
  copy.BidderCert = Duplicate(result.BidderCert);
  copy.DigestLength = result.DigestLength;
  copy.ErrorCategory = result.ErrorCategory;
  copy.TrustedAnchor = result.TrustedAnchor;
  return copy;
}

}  // namespace brevalt
