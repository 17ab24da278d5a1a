// Many bids verified one after another, each exactly as the dialog verifies
// one: its own in-memory dialog and verification run, its own log and, in the
// background, its receipt. Never two bids at once.
#ifndef BREVALT_SUMMARY_BATCH_RUN_H
#define BREVALT_SUMMARY_BATCH_RUN_H

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/verification_run.h"
#include "platform/memory_dialog.h"
#include "log/receipt_queue.h"
#include "summary/summary_row.h"

namespace brevalt {

// The dialog's two check boxes and whether logs get receipts.
struct BatchOptions {
  bool verify_rules = true;  // "验证规则文件"
  bool write_log = true;     // "写日志"
  bool receipt = true;
};

// One bid and, once verified, what its run left: the record and every
// control as the run showed it. Kept after the run, so the whole result can
// be shown again.
class CBatchBid {
 public:
  explicit CBatchBid(std::u16string path);
  CBatchBid(const CBatchBid&) = delete;
  CBatchBid& operator=(const CBatchBid&) = delete;

  // Chooses and verifies the bid as the dialog's "选择" and "标书验证" do and
  // waits for the run's end; the log is written as the run's last step when
  // options.write_log. Fills row from the run; a name the bid file name rule
  // refuses is not verified. Returns the log written, or empty. Not while
  // another thread reads Result() or Shown().
  std::u16string Verify(const BatchOptions& options, SummaryRow& row);

  bool Verified() const { return verified_; }
  const std::u16string& Path() const { return path_; }
  // Valid once Verify returned.
  const CVerifyResult& Result() const { return run_->Result(); }
  MemoryDialog& Shown() { return shown_; }

 private:
  std::u16string path_;
  MemoryDialog shown_;
  std::unique_ptr<CVerificationRun> run_;
  bool verified_ = false;
};

// Runs a list of bids on a thread of its own, in the list's order. Events are
// called on that thread (receipt events on the receipt helper's); a front end
// hands them on to its own thread.
class CBatchRun {
 public:
  struct Events {
    std::function<void(std::size_t index)> started;
    std::function<void(std::size_t index, const SummaryRow& row)> finished;
    std::function<void(std::size_t index, ReceiptState state)> receipt;
    std::function<void(bool cancelled)> ended;  // after the last bid's run
  };

  explicit CBatchRun(Events events);
  // Cancels, waits for the bid in hand and for the receipts queued.
  ~CBatchRun();
  CBatchRun(const CBatchRun&) = delete;
  CBatchRun& operator=(const CBatchRun&) = delete;

  // Starts verifying bids[i] into rows[i], i = 0, 1, ...; the bids must live
  // until the run ended. False, and nothing started, while a run is going on.
  bool Start(std::vector<CBatchBid*> bids, std::vector<SummaryRow> rows, BatchOptions options);
  // The run stops before the next bid: the bid in hand ends whole, log
  // included. Any thread.
  void Cancel() { cancelled_ = true; }
  bool IsRunning() const { return running_; }
  // Waits for the run's thread (not for receipts).
  void Wait();
  // Waits for every receipt queued so far.
  void WaitForReceipts() { receipts_.WaitUntilIdle(); }

 private:
  void Run(std::vector<CBatchBid*> bids, std::vector<SummaryRow> rows, BatchOptions options);

  Events events_;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> running_{false};
  std::thread thread_;
  CReceiptQueue receipts_;  // declared last: ends first, while the events still work
};

}  // namespace brevalt

#endif  // BREVALT_SUMMARY_BATCH_RUN_H
