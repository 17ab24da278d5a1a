#include "summary/receipt_queue.h"

#include <system_error>

#include "log/verify_receipt.h"

namespace brevalt {

CReceiptQueue::~CReceiptQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (helper_.joinable())
    helper_.join();
}

void CReceiptQueue::Add(std::u16string log, Done done) {
  {
    std::lock_guard lock(mutex_);
    if (!helper_.joinable()) {
      try {
        helper_ = std::thread([this] { Work(); });
      } catch (const std::system_error&) {
        // written below, without a helper
      }
    }
    if (helper_.joinable()) {
      jobs_.push_back({std::move(log), std::move(done)});
      changed_.notify_all();
      return;
    }
  }
  // No thread to be had: this receipt is written here, in the caller.
  const int rc = WriteVerifyReceipt(log);
  if (done)
    done(log, rc);
}

void CReceiptQueue::WaitUntilIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void CReceiptQueue::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty())
      return;  // stopping, and nothing left to write
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    lock.unlock();
    const int rc = WriteVerifyReceipt(job.log);
    if (job.done)
      job.done(job.log, rc);
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace brevalt
