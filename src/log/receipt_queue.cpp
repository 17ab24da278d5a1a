#include "log/receipt_queue.h"

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
  Post([log = std::move(log), done = std::move(done)] {
    const int rc = WriteVerifyReceipt(log);
    if (done)
      done(log, rc);
  });
}

void CReceiptQueue::Post(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    if (!helper_.joinable()) {
      try {
        helper_ = std::thread([this] { Work(); });
      } catch (const std::system_error&) {
        // run below, without a helper
      }
    }
    if (helper_.joinable()) {
      jobs_.push_back(std::move(job));
      changed_.notify_all();
      return;
    }
  }
  job();
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
      return;  // stopping, and nothing left to run
    const std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    lock.unlock();
    job();
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace brevalt
