#include "app/log_receipts.h"

namespace brevalt::app {

CLogReceipts::CLogReceipts(std::function<void(const std::u16string&)> write_receipt,
                           std::function<void(const std::u16string&)> remove_receipt)
    : write_receipt_(std::move(write_receipt)), remove_receipt_(std::move(remove_receipt)) {}

unsigned long CLogReceipts::BeginLog(const std::u16string& name) {
  std::lock_guard lock(mutex_);
  latest_[name] = ++next_ticket_;
  return next_ticket_;
}

void CLogReceipts::Add(const std::u16string& name, const std::u16string& log_path,
                       unsigned long ticket) {
  queue_.Post([this, job = Job{name, log_path, ticket}] { Run(job); });
}

bool CLogReceipts::IsCurrent(const Job& job) {
  std::lock_guard lock(mutex_);
  return latest_[job.name] == job.ticket;
}

// A log begun again after this job's was written is (or will be) replaced,
// and writing a log removes the receipt of the log it replaces: the receipt
// is asked for only while the job's log is still the latest, and removed
// when a newer one was begun while it was asked for (whether or not the
// newer log could be written).
void CLogReceipts::Run(const Job& job) {
  if (!IsCurrent(job))
    return;
  write_receipt_(job.log_path);
  if (!IsCurrent(job))
    remove_receipt_(job.log_path);
}

}  // namespace brevalt::app
