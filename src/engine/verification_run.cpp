#include "engine/verification_run.h"

#include <memory>
#include <system_error>

#include "config/preflight.h"
#include "engine/bid_file_name.h"
#include "engine/check_with_rules.h"
#include "engine/check_without_rules.h"
#include "engine/local_time.h"
#include "platform/time_convert.h"
#include "record/message_catalogue.h"
#include "record/result_texts.h"
#include "rules/rules_file_client.h"
#include "timestamp/clock_rule.h"
#include "timestamp/may_open.h"
#include "timestamp/time_stamp_client.h"
#include "timestamp/trusted_clock.h"

namespace brevalt {
namespace {

void ShowBusy(IDialogSeam& dialog) {
  dialog.ShowMessageBox(u"正在验证中，请稍候...！", u"验证中", MessageBoxIcon::kInformation);
}

// Sends the bidder query on a thread of its own, over copies of what it
// reads: nobody reads the service's answer, so the verdict, the display and
// the log need not wait for it (a silent service holds it for its whole
// wait). Sent here, and the empty thread returned, when no thread starts.
std::thread StartBidderQuery(const CVerifyResult& result) {
  auto query = [project = result.ProjectNumber,
                cert = std::shared_ptr<TAVIK_CERT_st>(
                    result.BidderCert ? TavikPKICertDupCert(result.BidderCert.get()) : nullptr,
                    TavikPKICertFreeCert)] { QueryRulesWithBidderCert(project, cert.get()); };
  std::thread thread = StartThread(query);
  if (!thread.joinable())
    query();
  return thread;
}

}  // namespace

std::thread StartThread(std::function<void()> body) {
  try {
    return std::thread(std::move(body));
  } catch (const std::system_error&) {
    return std::thread();
  }
}

CVerificationRun::CVerificationRun(IDialogSeam& dialog, FinalStep final_step,
                                   ThreadStarter start_thread)
    : dialog_(dialog), final_step_(std::move(final_step)), start_thread_(std::move(start_thread)) {}

CVerificationRun::~CVerificationRun() {
  WaitForWorker();
}

void CVerificationRun::WaitForWorker() {
  if (worker_.joinable())
    worker_.join();
}

bool CVerificationRun::ChooseBidFile(const std::u16string& full_path,
                                     const std::u16string& file_name) {
  if (verifying_) {
    ShowBusy(dialog_);
    return false;
  }
  return ApplyChosenBidFile(result_, dialog_, full_path, file_name);
}

void CVerificationRun::ResetResults() {
  for (std::u16string* text :
       {&result_.VerifyCode, &result_.BidderName, &result_.BidderUnit, &result_.TenderOrg,
        &result_.OpenTime, &result_.ProjectName, &result_.TimestampTimeText, &result_.ErrorAdvice,
        &result_.ErrorDetail}) {
    text->clear();
  }
  for (StepState* step : {&result_.StepBidFormat, &result_.StepSignature, &result_.StepNetwork,
                          &result_.StepLocalClock, &result_.StepRulesFile, &result_.MayOpen}) {
    *step = StepNotRun;
  }
  result_.BidderCert.reset();
  result_.DigestLength = 0;
  result_.ErrorCategory = CategoryNone;
  result_.TrustedAnchor.Clear();
  result_.TimestampFailures.clear();
  FreeOpenerCerts();
}

void CVerificationRun::UpdateResultDisplay() {
  WaitCursor cursor(dialog_);
  display_.UpdateResultDisplay(result_, dialog_, [&cursor] { cursor.Show(); });
}

void CVerificationRun::FreeOpenerCerts() {
  result_.OpenerCerts.clear();
}

void CVerificationRun::OnBnClickedVerify() {
  if (verifying_) {
    ShowBusy(dialog_);
    return;
  }
  WaitForWorker();  // a finished worker: its last step has cleared the flag
  verifying_ = true;
  if (result_.BidPath.empty()) {
    verifying_ = false;
    dialog_.ShowMessageBox(u"标书路径为空，请选择要验证的标书！", u"警告",
                           MessageBoxIcon::kWarning);
    return;
  }
  ResetResults();
  result_.FinalResult.clear();
  WaitCursor cursor(dialog_);
  if (RunInterfaceSteps(cursor))
    StartWorker();
}

// Ends the handler's part after a failed step: not passed, shown, not busy.
void CVerificationRun::Stop() {
  result_.FinalResult = kVerdictNotPassed;
  verifying_ = false;
  display_.UpdateResultDisplay(result_, dialog_);
}

bool CVerificationRun::RunInterfaceSteps(WaitCursor& cursor) {
  if (RunPreflightChecks(result_, dialog_) != kPreflightOk) {
    result_.StepNetwork = StepFailed;
    Stop();
    return false;
  }
  result_.StepNetwork = StepPassed;
  dialog_.SetControlText(kEditStepNetwork, kMarkPassed);

  cursor.Show();  // the trusted-time request blocks this thread
  int64_t trusted = 0;
  if (GetTimeStampTime(&trusted, &result_.TimestampFailures) == 0) {
    // A category of its own, so the message list says why the run stopped.
    SetMessage(result_, CategoryTimestamp, msg::kTimestampFailed);
    Stop();
    return false;
  }
  // The rest of this verification reads its trusted time from this answer.
  AnchorTrustedTime(result_.TrustedAnchor, trusted);
  result_.TimestampTimeText = FormatLocalTime(trusted);
  dialog_.SetControlText(kEditStepTimestamp, result_.TimestampTimeText);

  if (!IsLocalClockCorrect(CurrentTime(), trusted)) {
    result_.StepLocalClock = StepFailed;
    SetMessage(result_, CategoryTimestamp, msg::kClockWrong);
    Stop();
    return false;
  }
  result_.StepLocalClock = StepPassed;
  display_.UpdateResultDisplay(result_, dialog_);
  result_.FinalResult = kVerdictNotPassed;  // stands unless the bid check passes
  return true;
}

void CVerificationRun::StartWorker() {
  worker_ = start_thread_([this] { VerifyThreadProc(this); });
  if (!worker_.joinable()) {
    verifying_ = false;
    dialog_.ShowMessageBox(u"创建验证的线程失败！", u"错误", MessageBoxIcon::kError);
  }
}

unsigned CVerificationRun::VerifyThreadProc(void* run) {
  static_cast<CVerificationRun*>(run)->RunVerification();
  return 0;
}

void CVerificationRun::RunVerification() {
  dialog_.BeginWait();
  if (dialog_.IsChecked(kCheckVerifyRules))
    CheckBidWithRules(result_, dialog_);
  else
    CheckBidWithoutRules(result_, dialog_);
  dialog_.SetControlText(kEditVerifyCode, result_.VerifyCode);
  std::thread bidder_query = StartBidderQuery(result_);
  DecideMayOpen(result_);
  dialog_.EndWait();
  display_.UpdateResultDisplay(result_, dialog_);
  if (final_step_)
    final_step_(result_, dialog_);
  if (bidder_query.joinable())
    bidder_query.join();
  // Only now may a new run reset the record: the display and the final step
  // have finished reading it, and no request of this run is left.
  verifying_ = false;
}

}  // namespace brevalt
