#include "summary/batch_run.h"

#include <filesystem>

#include "config/text_convert.h"
#include "log/verify_log.h"
#include "log/verify_receipt.h"

namespace brevalt {

CBatchBid::CBatchBid(std::u16string path) : path_(std::move(path)) {}

std::u16string CBatchBid::Verify(const BatchOptions& options, SummaryRow& row) {
  shown_.SetChecked(kCheckVerifyRules, options.verify_rules);
  shown_.SetChecked(kCheckWriteLog, options.write_log);
  std::u16string log;
  int log_rc = -1;  // stays so when the run stops before its worker, which writes no log
  run_ = std::make_unique<CVerificationRun>(
      shown_, [&log, &log_rc](const CVerifyResult& result, IDialogSeam& seam) {
        log_rc = WriteVerifyLog(result, seam, &log);
      });
  const std::u16string name =
      Utf8ToWide(std::filesystem::path(WideToUtf8(path_)).filename().string());
  if (!run_->ChooseBidFile(path_, name))
    return u"";  // the row keeps the refused name's reason
  run_->OnBnClickedVerify();
  run_->WaitForWorker();
  verified_ = true;
  FillRowFromRun(row, run_->Result(), shown_);
  if (log_rc == kLogWritten)
    row.log = LogState::kWritten;
  else if (log_rc == kLogNotWanted)
    row.log = LogState::kNotWanted;
  else if (log_rc >= 0)
    row.log = LogState::kFailed;
  return log_rc == kLogWritten ? log : u"";
}

CBatchRun::CBatchRun(Events events) : events_(std::move(events)) {}

CBatchRun::~CBatchRun() {
  Cancel();
  Wait();
}

bool CBatchRun::Start(std::vector<CBatchBid*> bids, std::vector<SummaryRow> rows,
                      BatchOptions options) {
  if (running_.exchange(true))
    return false;
  Wait();  // the thread of an earlier run, ended already
  cancelled_ = false;
  thread_ = std::thread(&CBatchRun::Run, this, std::move(bids), std::move(rows), options);
  return true;
}

void CBatchRun::Wait() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
    thread_.join();
}

void CBatchRun::Run(std::vector<CBatchBid*> bids, std::vector<SummaryRow> rows,
                    BatchOptions options) {
  std::size_t index = 0;
  for (; index < bids.size() && index < rows.size() && !cancelled_; ++index) {
    if (events_.started)
      events_.started(index);
    const std::u16string log = bids[index]->Verify(options, rows[index]);
    const bool receipt = !log.empty() && options.receipt;
    if (receipt)
      rows[index].receipt = ReceiptState::kPending;
    // Before the receipt is asked for, so its event always comes after this one.
    if (events_.finished)
      events_.finished(index, rows[index]);
    if (receipt) {
      receipts_.Add(log, [this, index](const std::u16string&, int rc) {
        if (events_.receipt)
          events_.receipt(index,
                          rc == kReceiptWritten ? ReceiptState::kWritten : ReceiptState::kFailed);
      });
    }
  }
  const bool cancelled = index < bids.size();
  running_ = false;
  if (events_.ended)
    events_.ended(cancelled);
}

}  // namespace brevalt
