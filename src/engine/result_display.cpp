#include "engine/result_display.h"

#include "config/text_convert.h"
#include "engine/cert_validity.h"
#include "platform/plain_text.h"
#include "record/result_texts.h"
#include "tavik/tavik_handles.h"
#include "timestamp/may_open.h"

namespace brevalt {
namespace {

std::u16string ValidityText(bool valid) {
  return valid ? u"有效" : u"无效";
}

std::u16string Decimal(std::size_t n) {
  return Utf8ToWide(std::to_string(n));
}

void AddRowIfSet(std::vector<ListRow>& rows, const char16_t* name, const std::u16string& value) {
  if (!value.empty())
    rows.push_back({name, value});
}

}  // namespace

VerdictColour VerdictColourOf(const CVerifyResult& r) {
  const bool all_passed = r.StepBidFormat == StepPassed && r.StepSignature == StepPassed &&
                          r.StepNetwork == StepPassed && r.StepLocalClock == StepPassed &&
                          r.StepRulesFile == StepPassed;
  return all_passed ? VerdictColour::kBlue : VerdictColour::kRed;
}

std::u16string BidderLineText(const CVerifyResult& r) {
  if (r.BidderName.empty())
    return {};
  if (r.BidderName == r.BidderUnit)
    return r.BidderName;
  return r.BidderName + u"  单位： " + r.BidderUnit;
}

std::vector<OpenerEntry> ReadableOpeners(const CVerifyResult& result) {
  std::vector<OpenerEntry> openers;
  for (std::size_t i = 0; i < result.OpenerCerts.size(); ++i) {
    TAVIK_CERT_st* cert = result.OpenerCerts[i].get();
    char* raw = nullptr;
    if (cert == nullptr ||
        TavikPKICertGetCertStringAttribute(cert, TAVIK_CERT_ATTR_SUBJECT_CN, &raw) != 1) {
      continue;
    }
    UniqueLibBuffer<char> name(raw);
    openers.push_back({i, PlainText(Utf8ToWide(name.get())), IsCertStillValid(cert)});
  }
  return openers;
}

void CResultDisplay::UpdateResultDisplay(CVerifyResult& r, IDialogSeam& dialog,
                                         const BeforeRequest& before_request) {
  dialog.SetControlText(kEditVerifyCode, r.VerifyCode);
  dialog.SetControlText(kEditStepTimestamp, r.TimestampTimeText);
  dialog.SetControlText(kEditStepNetwork, StepStateText(r.StepNetwork));
  dialog.SetControlText(kEditStepLocalClock, StepStateText(r.StepLocalClock));
  dialog.SetControlText(kEditStepRulesFile, StepStateText(r.StepRulesFile));
  dialog.SetControlText(kEditStepBidFormat, StepStateText(r.StepBidFormat));
  dialog.SetControlText(kEditStepSignature, StepStateText(r.StepSignature));
  dialog.SetControlText(kStaticVerdict, r.FinalResult);
  dialog.SetControlText(kEditBidder, BidderLineText(r));
  dialog.SetControlText(kStaticBidderValidity,
                        r.BidderCert ? ValidityText(IsCertStillValid(r.BidderCert.get())) : u"");
  FillMessageList(r, dialog);
  FillBidInfoList(r, dialog);
  FillOpenerList(r, dialog, before_request);
}

void CResultDisplay::FillMessageList(const CVerifyResult& r, IDialogSeam& dialog) {
  std::vector<ListRow> rows;
  if (r.ErrorCategory >= CategoryEnvironment && r.ErrorCategory <= CategoryOther) {
    rows.push_back(
        {CategoryText(r.ErrorCategory), r.ErrorDetail, NatureText(r.ErrorCategory), r.ErrorAdvice});
  }
  dialog.SetListRows(kListMessages, rows);
}

void CResultDisplay::FillBidInfoList(const CVerifyResult& r, IDialogSeam& dialog) {
  std::vector<ListRow> rows;
  AddRowIfSet(rows, u"招标单位", r.TenderOrg);
  AddRowIfSet(rows, u"项目编号", PlainText(r.ProjectNumber));
  AddRowIfSet(rows, u"项目名称", r.ProjectName);
  AddRowIfSet(rows, u"开标时间", r.OpenTime);
  if (r.MayOpen >= 0) {
    const bool decided = r.MayOpen == StepPassed || r.MayOpen == StepFailed;
    rows.push_back({u"是否可以开标", decided ? StepStateText(r.MayOpen) : u"未知"});
  }
  dialog.SetListRows(kListBidInfo, rows);
}

void CResultDisplay::FillOpenerList(CVerifyResult& r, IDialogSeam& dialog,
                                    const BeforeRequest& before_request) {
  std::vector<ListRow> rows;
  std::vector<std::size_t> mapping;
  dialog.SetListRows(kListOpeners, rows);  // emptied before a time request
  if (r.StepNetwork != StepFailed && DecideMayOpen(r, before_request) == StepPassed) {
    for (const OpenerEntry& opener : ReadableOpeners(r)) {
      rows.push_back({Decimal(rows.size()), opener.name, ValidityText(opener.valid)});
      mapping.push_back(opener.cert_index);
    }
    dialog.SetListRows(kListOpeners, rows);
  }
  std::lock_guard lock(mutex_);
  opener_rows_ = std::move(mapping);
}

int CResultDisplay::OpenerCertIndex(int row) const {
  std::lock_guard lock(mutex_);
  if (row < 0 || static_cast<std::size_t>(row) >= opener_rows_.size())
    return -1;
  return static_cast<int>(opener_rows_[row]);
}

}  // namespace brevalt
