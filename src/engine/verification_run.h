// One verification from the verify command to the verdict, split between the
// interface thread (guards, reset, steps 1 to 3) and one worker thread (the
// bid check, the bidder query, the may-open decision, the final display and
// the log).
#ifndef BREVALT_ENGINE_VERIFICATION_RUN_H
#define BREVALT_ENGINE_VERIFICATION_RUN_H

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "engine/result_display.h"
#include "platform/dialog_seam.h"
#include "platform/wait_cursor.h"
#include "record/verify_result.h"

namespace brevalt {

// The run's last step, on the worker after the final display refresh; front
// ends pass one that calls WriteVerifyLog. May be empty.
using FinalStep = std::function<void(const CVerifyResult&, IDialogSeam&)>;
// Starts body on a new thread; a thread that is not joinable means it could
// not be created.
using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

// A std::thread running body; not joinable when the system refused a thread.
std::thread StartThread(std::function<void()> body);

// Owns the result record, the busy flag and the worker thread of one main
// dialog. The commands (OnBnClickedVerify, ChooseBidFile) run on the
// interface thread; the worker reaches the dialog only through the seam.
//
// Deadlock note: with a seam whose calls from the worker wait for the
// interface thread, that thread must not block in WaitForWorker (or the
// destructor) while IsVerifying() is true; refuse closing until it is false.
class CVerificationRun {
 public:
  CVerificationRun(IDialogSeam& dialog, FinalStep final_step,
                   ThreadStarter start_thread = StartThread);
  ~CVerificationRun();  // joins the worker
  CVerificationRun(const CVerificationRun&) = delete;
  CVerificationRun& operator=(const CVerificationRun&) = delete;

  // The verify command. A run in progress: message box "正在验证中，请稍候...！"
  // and nothing else. No bid chosen: message box "标书路径为空，请选择要验证的
  // 标书！". Otherwise resets the record and runs steps 1 to 3 here; a failing
  // step stops with its result shown and no worker, no log. When all three
  // pass, starts the worker and returns at once.
  void OnBnClickedVerify();

  // The choose command once a file was picked (see ApplyChosenBidFile).
  // While a run is in progress shows "正在验证中，请稍候...！" and changes
  // nothing: the worker still reads the bid path and file name. Returns
  // whether the name was accepted.
  bool ChooseBidFile(const std::u16string& full_path, const std::u16string& file_name);

  // True from a verify command that passed the guards until the worker's
  // very last step (display refresh and final step included). Any thread.
  bool IsVerifying() const { return verifying_; }

  // Joins a worker that was started; returns at once when there is none.
  void WaitForWorker();

  // Shows the record (dialog initialisation; interface thread, not while a
  // run is in progress). When the refresh must ask an authority (an open
  // time and no fresh anchor), the wait cursor shows while it blocks.
  void UpdateResultDisplay();

  // The record and the display, for viewers of certificates and for front
  // ends reading the outcome. Do not change the record while IsVerifying().
  CVerifyResult& Result() { return result_; }
  const CResultDisplay& Display() const { return display_; }

  // Clears everything the previous run left in the record except the four
  // fields the choose command sets (BidPath, BidFileName, ProjectNumber,
  // PackageNumber); releases the certificates and forgets the trusted-time
  // anchor.
  void ResetResults();
  // Releases every certificate of OpenerCerts and empties the list.
  void FreeOpenerCerts();

  // Thread entry: runs RunVerification on the CVerificationRun at run; 0.
  static unsigned VerifyThreadProc(void* run);
  // The worker's work: begin wait, the bid check chosen by box 1007, the
  // code into 1008, the bidder query sent beside what follows: the may-open
  // decision, end wait, the final display, the final step; and only when
  // the query has ended too, the busy flag cleared.
  void RunVerification();

 private:
  // Steps 1 to 3; true when the worker may start. Clears the busy flag and
  // shows the result on every stop.
  bool RunInterfaceSteps(WaitCursor& cursor);
  void Stop();
  void StartWorker();

  IDialogSeam& dialog_;
  FinalStep final_step_;
  ThreadStarter start_thread_;
  CVerifyResult result_;
  CResultDisplay display_;
  std::atomic<bool> verifying_{false};
  std::thread worker_;
};

}  // namespace brevalt

#endif  // BREVALT_ENGINE_VERIFICATION_RUN_H
