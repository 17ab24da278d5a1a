// The receipts of the dialog's logs, asked for one after another on a
// background thread, so a slow time-stamp authority never keeps the dialog
// busy once the verdict shows.
#ifndef BREVALT_APP_LOG_RECEIPTS_H
#define BREVALT_APP_LOG_RECEIPTS_H

#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "log/receipt_queue.h"

namespace brevalt::app {

// A log is named for its bid file, so a later run of the same bid rewrites
// it: a receipt must never end up beside a log it was not asked for. Each
// run calls BeginLog (before writing) and, once written, Add; a receipt
// whose log has been begun again meanwhile is not asked for, or is removed
// again when the log was begun while it was being asked. Any thread.
class CLogReceipts {
 public:
  // write_receipt(log_path) asks for and stores the receipt of the log;
  // remove_receipt(log_path) removes a stored one.
  CLogReceipts(std::function<void(const std::u16string&)> write_receipt,
               std::function<void(const std::u16string&)> remove_receipt);
  // Finishes every receipt asked for: the logs written keep their receipts.
  ~CLogReceipts() = default;
  CLogReceipts(const CLogReceipts&) = delete;
  CLogReceipts& operator=(const CLogReceipts&) = delete;

  // Before a run writes the log of the bid named name; returns the run's
  // ticket for Add.
  unsigned long BeginLog(const std::u16string& name);
  // The run's log was written at log_path: asks for its receipt in the
  // background (CReceiptQueue::Post).
  void Add(const std::u16string& name, const std::u16string& log_path, unsigned long ticket);

 private:
  struct Job {
    std::u16string name;
    std::u16string log_path;
    unsigned long ticket;
  };
  void Run(const Job& job);
  bool IsCurrent(const Job& job);

  std::function<void(const std::u16string&)> write_receipt_;
  std::function<void(const std::u16string&)> remove_receipt_;
  std::mutex mutex_;
  std::map<std::u16string, unsigned long> latest_;  // per bid name, the last ticket
  unsigned long next_ticket_ = 0;
  CReceiptQueue queue_;  // declared last: finishes its jobs before the rest goes
};

}  // namespace brevalt::app

#endif  // BREVALT_APP_LOG_RECEIPTS_H
