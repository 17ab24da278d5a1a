// Receipts of logs asked for one after another by a helper thread, so that a
// run goes on (to its next bid, or back to the person) while an authority
// answers for the last log.
#ifndef BREVALT_LOG_RECEIPT_QUEUE_H
#define BREVALT_LOG_RECEIPT_QUEUE_H

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace brevalt {

class CReceiptQueue {
 public:
  // Called on the helper thread with the log and WriteVerifyReceipt's result.
  using Done = std::function<void(const std::u16string& log, int rc)>;

  CReceiptQueue() = default;
  // Runs every job still queued, then ends the helper.
  ~CReceiptQueue();
  CReceiptQueue(const CReceiptQueue&) = delete;
  CReceiptQueue& operator=(const CReceiptQueue&) = delete;

  // Queues the receipt of log (WriteVerifyReceipt); done is called once it is
  // written or failed. Any thread.
  void Add(std::u16string log, Done done);
  // Queues a job of the caller's own that asks for a receipt. Jobs run one
  // at a time, in order; when no helper thread can be started, the job runs
  // in the caller before Post returns. Any thread.
  void Post(std::function<void()> job);
  // Returns once every job queued so far has run.
  void WaitUntilIdle();

 private:
  void Work();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> jobs_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread helper_;
};

}  // namespace brevalt

#endif  // BREVALT_LOG_RECEIPT_QUEUE_H
